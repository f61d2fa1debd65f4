// The Function class: the global "Function" (new Function(p1, ..., body)
// compiles a function from text) and the class of Function values.
#pragma once

namespace orvet {

struct ScriptEngine;

void registerFunctionClass(ScriptEngine& engine);

} // namespace orvet
