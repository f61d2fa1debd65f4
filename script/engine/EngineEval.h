// The global functions "eval" (run a text as a program) and "evals" (run a
// source file), whose native data is the engine. Each program runs as its own
// entry point: its errors end it alone, never the calling script.
#pragma once

namespace orvet {

struct ScriptEngine;

void registerEval(ScriptEngine& engine);

} // namespace orvet
