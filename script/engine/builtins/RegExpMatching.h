// The regular-expression side of the String methods match, search, replace
// and split. Each search treats the rest of the text as a new string, so "^"
// matches wherever a search starts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "script/engine/builtins/RegExpData.h"
#include "script/engine/builtins/StringText.h"

namespace orvet {

// Thrown by every function below when the library abandoned a search (the
// expression was too costly for the text): there may well be a match, so
// the caller must not answer as if there were none.
struct RegExpAbandoned {
  int status;  // the Regex status, for regexErrorText
};

// One search from lastIndex: the groups of the match up to the first group
// that took no part, as absolute ranges (element 0 is the whole match).
// Updates lastIndex of a global expression; nothing when there is no match.
std::optional<std::vector<TextRange>> regExpExecOnce(RegExpData& re, RegExpMatchState& state,
                                                     std::u16string_view text);

// match: for a non-global expression the groups of the first match; for a
// global one the whole match of every match in turn. The state's input
// becomes text.
std::optional<std::vector<TextRange>> regExpMatch(RegExpData& re, RegExpMatchState& state,
                                                  std::u16string_view text);

// search: the position of the first match from lastIndex, or -1.
std::int64_t regExpSearch(RegExpData& re, RegExpMatchState& state, std::u16string_view text);

// replace: every match (a non-global expression: the first non-empty one)
// replaced by replacement with its "$" forms filled in.
std::u16string regExpReplace(RegExpData& re, RegExpMatchState& state, std::u16string_view text,
                             std::u16string_view replacement);

// split: the pieces between matches, at most limit of them.
std::vector<TextRange> regExpSplit(const RegExpData& re, std::u16string_view text,
                                   std::int64_t limit);

}  // namespace orvet
