// The native data of a regular-expression value and the match state that
// all regular expressions of a context share.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/engine/regex/Regex.h"

namespace orvet {

// Flag bits of a regular expression (as stored in compiled images).
inline constexpr std::uint8_t kRegExpGlobal = 1;
inline constexpr std::uint8_t kRegExpIgnoreCase = 2;
inline constexpr std::uint8_t kRegExpMultiline = 4;
inline constexpr std::uint8_t kRegExpLiteral = 8;  // made from a literal

inline constexpr std::size_t kRegExpGroups = 256;

struct RegExpData {
  std::u16string pattern;  // an empty pattern is kept as "^"
  std::uint8_t flags = 0;
  Regex compiled;
  std::int64_t lastIndex = 0;  // where the next search of a global expression starts

  bool global() const { return flags & kRegExpGlobal; }
};

// Compiles pattern with the options of the flags into data. On failure gives
// the message of the runtime error: "RegExp runtime error: " and the
// library's text; on success the empty string.
std::u16string compileRegExp(RegExpData& data, std::u16string_view pattern, std::uint8_t flags);

// The input and the (start, end) pairs of the last match of any expression,
// as absolute positions in the input; -1 marks groups that took no part.
struct RegExpMatchState {
  std::u16string input;
  std::array<RegexMatch, kRegExpGroups> groups;

  RegExpMatchState() { clearGroups(); }
  // A match, search or replace begins: remember its input, forget groups.
  void begin(std::u16string_view text);
  void clearGroups() { groups.fill({-1, -1}); }
};

}  // namespace orvet
