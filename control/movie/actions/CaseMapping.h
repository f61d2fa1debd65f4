// Upper and lower case of single UTF-16 units for String.toUpperCase,
// toLowerCase and case-insensitive sorting: the Latin letters (with Latin-1
// and Latin Extended-A), Greek, Cyrillic, Armenian and the full-width Latin
// forms. Mappings that change a text's length (German sharp s) are left out,
// as the player leaves them.
#pragma once

#include <string>

namespace lumbra::movie {

char16_t upperUnit(char16_t ch);
char16_t lowerUnit(char16_t ch);
std::u16string toUpper(std::u16string text);
std::u16string toLower(std::u16string text);

} // namespace lumbra::movie
