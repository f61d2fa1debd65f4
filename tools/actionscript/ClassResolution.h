// What ActionScript 2 names mean, settled on the syntax tree before any code
// is written, as the authoring tool settles them:
// - an imported short name (import a.b.C, or a.b.* for the classes of a.b
//   that this source or another script of the movie declares) stands for its
//   dotted path a.b.C;
// - inside a class's functions a name no local declares that is one of the
//   class's members (or an inherited one: of a class declared here or of
//   the player's classes, BuiltinMembers.h) is this.name, a static member
//   Owner.name;
// - a call of a class or interface by name with one argument is a cast
//   (the Call node's flag), written as CastOp;
// - every class has a constructor (an empty one when it declares none), and
//   a subclass's constructor that never calls super(...) calls super() first;
// - classes are defined after the superclass and interfaces they name, when
//   those are declared in the same script.
#pragma once

#include <set>
#include <string>

#include "script/compiler/SyntaxNode.h"

namespace lumbra::actionscript {

// The statement list, reordered where classes must be. A class that extends
// itself, directly or through others, throws SourceError (lines are the
// tree's plus lineOffset). movieClasses: the dotted names of the classes the
// movie's other scripts declare, which `import a.b.*` covers too.
orvet::SyntaxNode* resolveClasses(orvet::SyntaxNode* topLevel, orvet::NodePool& pool, int lineOffset,
                                  const std::set<std::string>& movieClasses = {});

} // namespace lumbra::actionscript
