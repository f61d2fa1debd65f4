// Module linking: a loaded image becomes runnable functions of a context.
// The module's constants are appended to the context's constant table (once
// per module), each function is translated into word code with its line
// records, named functions become globals, and ".main" runs.
//
// All of these may raise runtime errors: call them under a recovery record
// (protectedCall).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvet {

struct BytecodeModule;
struct ScriptContext;
struct ScriptFunction;

// Links the module; returns its ".main" function, or null when it has none.
ScriptFunction* linkModule(ScriptContext& ctx, BytecodeModule& module);
// Links the module and runs its ".main" (if any) with no receiver and no
// arguments; the value it leaves is the context's result.
void linkAndRun(ScriptContext& ctx, BytecodeModule& module);

// The function whose code holds a word-code address, found among the
// globals and then on the interpreter stack; ".main" when none is.
std::string_view functionNameAt(const ScriptContext& ctx, const std::uint32_t* address);
struct SourceLocation {
    std::string source;
    std::uint32_t line = 0;
};
// The source name and line of an address; false when the function carries
// no line information or none is found.
bool sourceLineAt(const ScriptContext& ctx, const std::uint32_t* address, SourceLocation& out);

} // namespace orvet
