#include "script/engine/builtins/StringText.h"

#include <algorithm>
#include <limits>

namespace orvet {

namespace {

std::int64_t clampTo(std::int64_t value, std::int64_t low, std::int64_t high) {
  return std::min(std::max(value, low), high);
}

// A negative position counts from the end; the result lies in [0, length].
std::size_t fromEnd(std::int64_t position, std::int64_t length) {
  if (position < 0) position += length;
  return static_cast<std::size_t>(clampTo(position, 0, length));
}

bool isWideSpace(char16_t c) {
  return (c >= u'\t' && c <= u'\r') || c == u' ' || c == 0x85 || c == 0xA0 || c == 0x1680 ||
         (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
         c == 0x205F || c == 0x3000;
}

}  // namespace

std::int64_t findForward(std::u16string_view text, std::u16string_view part, std::int64_t from) {
  const auto length = static_cast<std::int64_t>(text.size());
  if (from < 0 || from > length - static_cast<std::int64_t>(part.size())) return -1;
  std::size_t found = text.find(part, static_cast<std::size_t>(from));
  return found == std::u16string_view::npos ? -1 : static_cast<std::int64_t>(found);
}

std::int64_t findBackward(std::u16string_view text, std::u16string_view part,
                          std::optional<std::int64_t> from) {
  const auto last = static_cast<std::int64_t>(text.size()) - static_cast<std::int64_t>(part.size());
  const std::int64_t start = std::min(from.value_or(last), last);
  if (start < 0) return -1;
  std::size_t found = text.rfind(part, static_cast<std::size_t>(start));
  return found == std::u16string_view::npos ? -1 : static_cast<std::int64_t>(found);
}

TextRange sliceRange(std::size_t length, std::int64_t start, std::optional<std::int64_t> end) {
  const auto n = static_cast<std::int64_t>(length);
  TextRange range{fromEnd(start, n), fromEnd(end.value_or(n), n)};
  if (range.end < range.start) range.end = range.start;
  return range;
}

TextRange substrRange(std::size_t length, std::int64_t start, std::optional<std::int64_t> count) {
  const auto n = static_cast<std::int64_t>(length);
  const std::size_t first = fromEnd(start, n);
  const std::int64_t wanted = std::max<std::int64_t>(count.value_or(n), 0);
  return {first, first + static_cast<std::size_t>(std::min(wanted, n - static_cast<std::int64_t>(first)))};
}

TextRange substringRange(std::size_t length, std::int64_t start, std::optional<std::int64_t> end) {
  // Unlike slice, negative ends are not counted from the end and the bounds
  // are not swapped: an end before the start gives the empty string.
  const auto n = static_cast<std::int64_t>(length);
  const std::int64_t first = std::max<std::int64_t>(start, 0);
  const std::int64_t last = std::min(end.value_or(n), n);
  if (last < first) return {};
  return {static_cast<std::size_t>(first), static_cast<std::size_t>(last)};
}

std::vector<std::u16string_view> splitText(std::u16string_view text, std::u16string_view separator,
                                           std::int64_t limit) {
  std::vector<std::u16string_view> pieces;
  if (limit <= 0) return pieces;
  const auto wanted = static_cast<std::uint64_t>(limit);
  if (separator.empty()) {
    for (std::size_t i = 0; i < text.size() && pieces.size() < wanted; ++i)
      pieces.push_back(text.substr(i, 1));
    return pieces;
  }
  std::size_t cut = 0;
  for (std::size_t found; pieces.size() < wanted &&
                          (found = text.find(separator, cut)) != std::u16string_view::npos;) {
    pieces.push_back(text.substr(cut, found - cut));
    cut = found + separator.size();
  }
  if (pieces.size() < wanted) pieces.push_back(text.substr(cut));
  return pieces;
}

std::optional<std::u16string> replaceFirst(std::u16string_view text, std::u16string_view pattern,
                                           std::u16string_view replacement) {
  std::size_t found = text.find(pattern);
  if (found == std::u16string_view::npos) return std::nullopt;
  std::u16string result(text.substr(0, found));
  result += replacement;
  result += text.substr(found + pattern.size());
  return result;
}

std::int32_t parseDecimalPrefix(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && isWideSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min<std::int64_t>(value * 10 + (text[i] - u'0'),
                                   std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1);
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(clampTo(value, std::numeric_limits<std::int32_t>::min(),
                                           std::numeric_limits<std::int32_t>::max()));
}

std::u16string fillHtmlFormat(std::string_view format, std::u16string_view first,
                              std::u16string_view second) {
  std::u16string result;
  std::u16string_view next[] = {first, second};
  int used = 0;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && used < 2) {
      result += next[used++];
      ++i;
    } else {
      result += static_cast<char16_t>(format[i]);
    }
  }
  return result;
}

}  // namespace orvet
