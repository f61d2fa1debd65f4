// Paths the player derives from the running program and from folder names.
#pragma once

#include <string>

namespace lumbra {

// The full path of the program file.
std::string programFile();

// The program's file name without folder and extension: the caption of its
// own message boxes and the profile name when the identity names no product.
std::string applicationName();

// A folder path ending in a backslash (a trailing "/" becomes one).
std::string withTrailingBackslash(std::string folder);

} // namespace lumbra
