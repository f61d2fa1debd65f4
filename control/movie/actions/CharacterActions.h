// The character actions of the oldest scripts (substring, length, ord, chr)
// in their two forms: the plain ones count UTF-16 units and, before version 6,
// map character codes through the Windows-1252 code page; the multi-byte ones
// count whole characters, a surrogate pair being one.
#pragma once

#include <string>
#include <string_view>

namespace lumbra::movie {

enum class CharacterUnit { CodeUnit, CodePoint };

std::size_t characterCount(std::u16string_view text, CharacterUnit unit);
// substring(text, index, count): index from 1 (anything below reads as 1), a
// negative count takes the rest.
std::u16string extractCharacters(std::u16string_view text, double index, double count, CharacterUnit unit);
// The code of the first character; 0 for the empty text.
double characterCode(std::u16string_view text, CharacterUnit unit, int version);
// The character of a code; code 0 gives the empty text, as texts end at a zero.
std::u16string characterOf(double code, CharacterUnit unit, int version);

} // namespace lumbra::movie
