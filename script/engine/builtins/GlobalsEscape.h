// The text transformations of the global functions "escape" and "unescape".
#pragma once

#include <string>
#include <string_view>

namespace orvet {

// Letters, digits and "@*_+-./" stay; other code units below 256 become
// "%XX", the rest "%uXXXX" (upper-case hexadecimal).
std::u16string escapeText(std::u16string_view text);

// Reverses escapeText: "%uXXXX" and "%XX" with digits of either case; any
// other "%" stays as it is.
std::u16string unescapeText(std::u16string_view text);

} // namespace orvet
