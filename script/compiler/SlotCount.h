// How many local slots a function reserves in its prologue: for a statement
// list, the declarations standing directly in it plus the largest need of any
// nested statement (sibling scopes share their slots).
#pragma once

#include "script/compiler/SyntaxNode.h"

namespace orvet {

int localSlotCount(const SyntaxNode* statements);

} // namespace orvet
