// Running source text from inside a running script ("eval", "evals",
// new Function): compiled with the engine's options and run under the
// caller's recovery record; "eval" and "evals" put one of their own around
// it (EngineEval.cpp).
#pragma once

#include <string>

namespace orvet {

struct ScriptEngine;

// Each runs the program and leaves its value in the context's result. False
// when it did not compile; the messages are then in the context's compiler
// messages and written to the trace output.
bool runNestedText(ScriptEngine& engine, const std::string& text);
bool runNestedFile(ScriptEngine& engine, const std::string& path);

} // namespace orvet
