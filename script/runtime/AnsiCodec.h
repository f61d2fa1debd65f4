// Conversion between script strings (UTF-16) and 8-bit "ANSI" text: the
// system code page on Windows, Windows-1252 elsewhere (text/AnsiText.h, the
// one codec of the program). Characters the code page cannot hold become "?".
#pragma once

#include "text/AnsiText.h"

namespace orvet {

using lumbra::text::ansiToUtf16;
using lumbra::text::utf16ToAnsi;

} // namespace orvet
