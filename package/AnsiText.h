// Conversion between the system's ANSI code page and UTF-16 (text/AnsiText.h,
// the one codec of the program): CP_ACP on Windows, Windows-1252 natively.
// Characters without an ANSI form become '?'.
#pragma once

#include "text/AnsiText.h"

namespace lumbra {

using text::ansiToUtf16;
using text::utf16ToAnsi;

} // namespace lumbra
