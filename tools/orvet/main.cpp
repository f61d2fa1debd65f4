// orvet: runs, compiles and disassembles Orvet scripts from the command line.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/orvet/CommandLine.h"
#include "tools/orvet/Commands.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char** argv)
{
#ifdef _WIN32
    // The same bytes as the native build: lines end in "\n" on both.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    using namespace orvet::tool;
    std::string error;
    const auto line = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!line) {
        std::fprintf(stderr, "orvet: %s (see orvet --help)\n", error.c_str());
        return 2;
    }
    switch (line->action) {
    case Action::Run:
        return runFile(*line);
    case Action::Compile:
        return compileFile(*line);
    case Action::Disassemble:
        return disassembleFile(*line);
    case Action::Eval:
        return evalText(*line);
    case Action::Interactive:
        return interactive(*line);
    case Action::Help:
        std::fputs(kUsage, stdout);
        return 0;
    }
    return 2;
}
