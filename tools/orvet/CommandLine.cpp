#include "tools/orvet/CommandLine.h"

namespace orvet::tool {

const char* const kUsage =
    "usage: orvet [--warn-undefined] [COMMAND ARGS]\n"
    "\n"
    "  run FILE                  run a script: compiled (.ovc, or a file starting with\n"
    "                            the image magic, after an optional \"#\" line) or source\n"
    "  compile SRC [-o OUT] [-g] compile source to an image (default OUT: SRC with the\n"
    "                            extension .ovc); -g adds the line table\n"
    "  disasm FILE               print a compiled image readably\n"
    "  eval TEXT                 run TEXT as a program and print its value\n"
    "  (no command)              the prompt: read programs and print their values; a\n"
    "                            program goes on over lines until its brackets and\n"
    "                            braces balance; \"exit\" or end of input leaves\n"
    "\n"
    "  --warn-undefined          warn when a script reads an undefined variable\n"
    "  --help                    this text\n"
    "\n"
    "trace() output and warnings go to standard output; compiler messages and\n"
    "runtime errors go to standard error, and the exit status is then 1. A\n"
    "script compiled with -g also names on standard error the file, line and\n"
    "function of each warning and runtime error. Compiler messages count lines\n"
    "from 0 (\"error: line 0\" is the first line); locations count from 1.\n";

namespace {

struct Verb {
    const char* name;
    Action action;
};

constexpr Verb kVerbs[] = {
    {"run", Action::Run},
    {"compile", Action::Compile},
    {"disasm", Action::Disassemble},
    {"eval", Action::Eval},
};

} // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args, std::string& error)
{
    CommandLine line;
    std::vector<std::string> words;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.action = Action::Help;
            return line;
        }
        if (arg == "--warn-undefined") {
            line.warnUndefined = true;
        } else if (arg == "-g") {
            line.debugInfo = true;
        } else if (arg == "-o") {
            if (++i == args.size()) {
                error = "-o needs a file name";
                return std::nullopt;
            }
            line.output = args[i];
        } else if (arg.size() > 1 && arg[0] == '-' && words.empty()) {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            words.push_back(arg);
        }
    }
    if (words.empty())
        return line;

    const Verb* verb = nullptr;
    for (const Verb& v : kVerbs)
        if (words[0] == v.name)
            verb = &v;
    if (!verb) {
        error = "unknown command " + words[0];
        return std::nullopt;
    }
    if (words.size() != 2) {
        error = std::string(verb->name) + " needs exactly one " + (verb->action == Action::Eval ? "text" : "file");
        return std::nullopt;
    }
    if ((line.debugInfo || !line.output.empty()) && verb->action != Action::Compile) {
        error = "-o and -g belong to compile";
        return std::nullopt;
    }
    line.action = verb->action;
    line.operand = words[1];
    return line;
}

} // namespace orvet::tool
