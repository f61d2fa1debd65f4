#include "script/engine/builtins/RegExpMatching.h"

#include <algorithm>
#include <span>

namespace orvet {

namespace {

std::size_t startOf(const RegExpData& re, std::u16string_view text) {
  return static_cast<std::size_t>(
      std::clamp<std::int64_t>(re.lastIndex, 0, static_cast<std::int64_t>(text.size())));
}

// One search: true when it matched, false when there is no match.
bool matched(const Regex& compiled, std::u16string_view text, std::span<RegexMatch> groups) {
  const int status = compiled.exec(text, groups);
  if (status == kRegOk) return true;
  if (status == kRegNoMatch) return false;
  throw RegExpAbandoned{status};
}

// Searches text from offset; on success the state's groups hold the match
// with absolute positions.
bool searchFrom(const RegExpData& re, RegExpMatchState& state, std::u16string_view text,
                std::size_t offset) {
  if (!matched(re.compiled, text.substr(offset), state.groups)) return false;
  for (RegexMatch& group : state.groups) {
    if (group.start < 0) continue;
    group.start += static_cast<std::ptrdiff_t>(offset);
    group.end += static_cast<std::ptrdiff_t>(offset);
  }
  return true;
}

TextRange rangeOf(const RegexMatch& group) {
  return {static_cast<std::size_t>(group.start), static_cast<std::size_t>(group.end)};
}

// Appends replacement to out with its "$" forms filled in from the match in
// piece (positions relative to piece).
void appendExpansion(std::u16string& out, std::u16string_view replacement,
                     std::u16string_view piece, std::span<const RegexMatch> groups) {
  auto groupText = [&](std::size_t n) -> std::u16string_view {
    const RegexMatch& g = groups[n];
    if (g.start < 0) return {};
    return piece.substr(static_cast<std::size_t>(g.start), static_cast<std::size_t>(g.end - g.start));
  };
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char16_t c = replacement[i];
    if (c != u'$' || i + 1 == replacement.size()) {
      out += c;
      continue;
    }
    const char16_t form = replacement[++i];
    if (form == u'$') {
      out += u'$';
    } else if (form == u'&') {
      out += groupText(0);
    } else if (form == u'\'') {
      out += piece.substr(static_cast<std::size_t>(groups[0].end));
    } else if (form == u'`') {
      out += piece.substr(0, static_cast<std::size_t>(groups[0].start));
    } else if (form == u'+') {
      std::size_t taking = 1;
      while (taking < groups.size() && groups[taking].start >= 0) ++taking;
      if (taking > 1) out += groupText(taking - 1);
    } else if (form >= u'1' && form <= u'9') {
      out += groupText(form - u'0');
    } else {
      out += u'$';
      out += form;
    }
  }
}

}  // namespace

std::optional<std::vector<TextRange>> regExpExecOnce(RegExpData& re, RegExpMatchState& state,
                                                     std::u16string_view text) {
  if (!searchFrom(re, state, text, startOf(re, text))) {
    if (re.global()) re.lastIndex = 0;
    return std::nullopt;
  }
  std::vector<TextRange> groups;
  for (const RegexMatch& group : state.groups) {
    if (group.start < 0) break;
    groups.push_back(rangeOf(group));
  }
  if (re.global()) re.lastIndex = static_cast<std::int64_t>(groups[0].end);
  return groups;
}

std::optional<std::vector<TextRange>> regExpMatch(RegExpData& re, RegExpMatchState& state,
                                                  std::u16string_view text) {
  state.begin(text);
  if (!re.global()) return regExpExecOnce(re, state, text);
  std::vector<TextRange> matches;
  re.lastIndex = 0;
  const auto length = static_cast<std::int64_t>(text.size());
  while (true) {
    const std::int64_t before = re.lastIndex;
    auto found = regExpExecOnce(re, state, text);
    if (!found) break;
    matches.push_back((*found)[0]);
    if (re.lastIndex == before) {
      // An empty match: step over it. Past the end nothing more can match
      // (the search would start at the end again and never finish).
      if (++re.lastIndex > length) {
        re.lastIndex = 0;
        break;
      }
    }
  }
  return matches;
}

std::int64_t regExpSearch(RegExpData& re, RegExpMatchState& state, std::u16string_view text) {
  state.begin(text);
  if (!searchFrom(re, state, text, startOf(re, text))) {
    if (re.global()) re.lastIndex = 0;
    return -1;
  }
  if (re.global()) re.lastIndex = state.groups[0].end;
  return state.groups[0].start;
}

std::u16string regExpReplace(RegExpData& re, RegExpMatchState& state, std::u16string_view text,
                             std::u16string_view replacement) {
  state.begin(text);
  std::u16string result;
  std::size_t pos = 0;
  if (!re.global()) {
    pos = startOf(re, text);
    result.assign(text.substr(0, pos));
  }
  std::array<RegexMatch, kRegExpGroups> groups;
  while (pos < text.size()) {
    const std::u16string_view piece = text.substr(pos);
    if (!matched(re.compiled, piece, groups)) break;
    const auto start = static_cast<std::size_t>(groups[0].start);
    const auto end = static_cast<std::size_t>(groups[0].end);
    for (std::size_t i = 0; i < groups.size(); ++i) {
      state.groups[i] = groups[i].start < 0
                            ? groups[i]
                            : RegexMatch{groups[i].start + static_cast<std::ptrdiff_t>(pos),
                                         groups[i].end + static_cast<std::ptrdiff_t>(pos)};
    }
    result += piece.substr(0, start);
    if (start == end) {
      // Empty matches are not replaced; the character after one is kept
      // (an empty match at the very end has none).
      if (start < piece.size()) result += piece[start];
      pos += start + 1;
      continue;
    }
    appendExpansion(result, replacement, piece, groups);
    pos += end;
    if (!re.global()) break;
  }
  if (pos < text.size()) result += text.substr(pos);
  if (re.global()) re.lastIndex = 0;
  return result;
}

std::vector<TextRange> regExpSplit(const RegExpData& re, std::u16string_view text,
                                   std::int64_t limit) {
  std::vector<TextRange> pieces;
  if (limit <= 0) return pieces;
  const auto wanted = static_cast<std::uint64_t>(limit);
  std::array<RegexMatch, 1> match;
  std::size_t cut = 0;
  std::size_t d = 0;
  while (pieces.size() < wanted && d <= text.size()) {
    if (!matched(re.compiled, text.substr(d), match)) break;
    const std::size_t s = d + static_cast<std::size_t>(match[0].start);
    const std::size_t e = d + static_cast<std::size_t>(match[0].end);
    pieces.push_back({cut, s});
    cut = e;
    d = (s == d && e == d) ? d + 1 : e;
  }
  if (pieces.size() < wanted) pieces.push_back({cut, text.size()});
  return pieces;
}

}  // namespace orvet
