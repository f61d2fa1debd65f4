// UTF-8 for the packager's text files and console output; the package
// itself stores ANSI and UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::pack {

// Malformed sequences become U+FFFD.
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);

// Through UTF-16 to and from the ANSI code page.
std::string utf8ToAnsi(std::string_view text);
std::string ansiToUtf8(std::string_view text);

} // namespace lumbra::pack
