// The command line of the orvet tool.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orvet::tool {

enum class Action { Run, Compile, Disassemble, Eval, Interactive, Help };

struct CommandLine {
    Action action = Action::Interactive;
    std::string operand;      // the file (run, compile, disasm) or the text (eval)
    std::string output;       // compile -o
    bool debugInfo = false;   // compile -g
    bool warnUndefined = false;
};

// The parsed command line, or nothing with the reason in `error`.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& error);

extern const char* const kUsage;

} // namespace orvet::tool
