// Conversion between the system's ANSI code page and UTF-16. On Windows the
// code page is CP_ACP; the native build uses Windows-1252. Characters without
// an ANSI form become '?'.
#pragma once

#include <string>
#include <string_view>

namespace lumbra {

std::u16string ansiToUtf16(std::string_view ansi);
std::string utf16ToAnsi(std::u16string_view text);

} // namespace lumbra
