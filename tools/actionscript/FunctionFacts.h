// What the code generator needs to know about a body of code before writing
// it: the variables it declares, whether anything in it can reach those
// variables by name (an inner function, with, eval), and which of the names
// a function can have preloaded into registers it uses.
#pragma once

#include <string>
#include <vector>

#include "script/compiler/SyntaxNode.h"

namespace lumbra::actionscript {

struct FunctionFacts {
    std::vector<std::string> locals; // var and catch names, in order of first declaration
    bool hasInnerFunction = false;
    bool hasWith = false;
    bool usesEval = false;
    bool usesThis = false, usesArguments = false, usesSuper = false;
    bool usesRoot = false, usesParent = false, usesGlobal = false;

    // Locals may live in registers only where nothing looks them up by name.
    bool namesReachable() const { return hasInnerFunction || hasWith || usesEval; }
};

// The facts of a statement list; inner functions are noted, not entered.
FunctionFacts factsOf(const orvet::SyntaxNode* statements);

} // namespace lumbra::actionscript
