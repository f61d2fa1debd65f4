// Byte strings of movie files to UTF-16 and back: files from version 6 on hold
// UTF-8, older ones the Windows-1252 code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/Utf8.h"
#include "text/Windows1252.h"

namespace lumbra::movie {

using text::decodeUtf8;
using text::decodeWindows1252;
using text::encodeUtf8;
std::u16string decodeMovieString(std::string_view bytes, int version);
std::u16string fromAscii(std::string_view text);
// ASCII letters folded to lower case; movie names compare without case.
std::u16string foldCase(std::u16string_view text);
bool equalsFolded(std::u16string_view a, std::u16string_view b);
// Hexadecimal digits as a number; none when there are no digits, more than
// eight, or anything else.
std::optional<std::uint32_t> parseHex(std::u16string_view digits);
// %XX escapes as bytes in the given encoding (version 6 and later: UTF-8,
// else Windows-1252); "+" becomes a space when `plusIsSpace`. A malformed
// escape stays as written.
std::u16string decodePercentEscapes(std::u16string_view text, bool utf8, bool plusIsSpace);

} // namespace lumbra::movie
