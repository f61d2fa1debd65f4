// Case mapping of single UTF-16 characters, shared by the String methods and
// by case-insensitive regular expressions so that both agree on what a
// letter's other case is.
#pragma once

namespace orvet {

// The C runtime's wide-character mapping (its current locale decides which
// characters have a case; the player never changes the "C" locale, where
// only the ASCII letters do).
char16_t lowerChar(char16_t c);
char16_t upperChar(char16_t c);

}  // namespace orvet
