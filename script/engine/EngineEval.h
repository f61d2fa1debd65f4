// The global functions "eval" (run a text as a program) and "evals" (run a
// source file), whose native data is the engine.
#pragma once

namespace orvet {

struct ScriptEngine;

void registerEval(ScriptEngine& engine);

} // namespace orvet
