// Number to text for the Number class: integers in a radix, and the
// printf-style "format" method with a script-supplied format text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvet {

// Digits in radix 2-36 (lower-case letters), a leading "-" for negatives.
// Another radix counts as 10.
std::string integerToText(std::int64_t value, int radix);

// Formats one number with a printf format text. The text may hold at most one
// conversion, of a number kind (d i o u x X c for integers, e E f F g G a A for
// doubles; the value is converted to the kind the conversion wants), plus
// literal text and "%%". Width and precision are limited to four digits.
// Anything else - "%s", "%n", "*", a second conversion - would read arguments
// that are not there, and gives nothing.
std::optional<std::string> formatNumber(std::string_view format, std::int64_t value);
std::optional<std::string> formatNumber(std::string_view format, double value);

} // namespace orvet
