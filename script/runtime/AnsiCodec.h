// Conversion between script strings (UTF-16) and 8-bit "ANSI" text: the
// system code page on Windows, Windows-1252 elsewhere. Characters the code
// page cannot hold become "?".
#pragma once

#include <string>
#include <string_view>

namespace orvet {

std::u16string ansiToUtf16(std::string_view text);
std::string utf16ToAnsi(std::u16string_view text);

} // namespace orvet
