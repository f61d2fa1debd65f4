// The text work of the String methods, on UTF-16 text and plain integers;
// the String class converts script values to these and back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvet {

// A range of characters [start, end) of a string.
struct TextRange {
  std::size_t start = 0;
  std::size_t end = 0;
};

// indexOf: the first position >= from where part occurs, or -1.
std::int64_t findForward(std::u16string_view text, std::u16string_view part, std::int64_t from);
// lastIndexOf: the last position <= from (or the last possible position when
// from is absent) where part occurs, or -1.
std::int64_t findBackward(std::u16string_view text, std::u16string_view part,
                          std::optional<std::int64_t> from);

// The ranges of slice, substr and substring for a string of the given length.
TextRange sliceRange(std::size_t length, std::int64_t start, std::optional<std::int64_t> end);
TextRange substrRange(std::size_t length, std::int64_t start, std::optional<std::int64_t> count);
TextRange substringRange(std::size_t length, std::int64_t start, std::optional<std::int64_t> end);

// split with a string separator: at most limit pieces; an empty separator
// splits into single characters.
std::vector<std::u16string_view> splitText(std::u16string_view text, std::u16string_view separator,
                                           std::int64_t limit);

// replace with a string pattern: the first occurrence replaced, without "$"
// processing; nothing when the pattern does not occur.
std::optional<std::u16string> replaceFirst(std::u16string_view text, std::u16string_view pattern,
                                           std::u16string_view replacement);

// A decimal integer read like the C library's atoi: leading white space, a
// sign, digits up to the first other character; saturates at the 32-bit
// limits; 0 when there are no digits.
std::int32_t parseDecimalPrefix(std::u16string_view text);

// Fills an HTML format: each "%s" takes the next of the arguments.
std::u16string fillHtmlFormat(std::string_view format, std::u16string_view first,
                              std::u16string_view second = {});

}  // namespace orvet
