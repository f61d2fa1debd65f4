// Byte strings of movie files to UTF-16 and back: files from version 6 on hold
// UTF-8, older ones the Windows-1252 code page.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::movie {

std::u16string decodeUtf8(std::string_view bytes);
std::u16string decodeWindows1252(std::string_view bytes);
std::u16string decodeMovieString(std::string_view bytes, int version);
std::string encodeUtf8(std::u16string_view text);
std::u16string fromAscii(std::string_view text);
// ASCII letters folded to lower case; movie names compare without case.
std::u16string foldCase(std::u16string_view text);
bool equalsFolded(std::u16string_view a, std::u16string_view b);

} // namespace lumbra::movie
