// The actions of the orvet tool. Each returns the process exit status.
#pragma once

#include "tools/orvet/CommandLine.h"

namespace orvet::tool {

int runFile(const CommandLine& line);
int compileFile(const CommandLine& line);
int disassembleFile(const CommandLine& line);
int evalText(const CommandLine& line);
int interactive(const CommandLine& line);

} // namespace orvet::tool
