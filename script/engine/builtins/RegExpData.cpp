#include "script/engine/builtins/RegExpData.h"

namespace orvet {

namespace {

// The whole error text of a pattern fits the 256 characters (terminator
// included) that the runtime has always allowed it.
constexpr std::size_t kErrorTextLimit = 255;

}  // namespace

std::u16string compileRegExp(RegExpData& data, std::u16string_view pattern, std::uint8_t flags) {
  // The library refuses an empty expression; "^" matches where it would.
  data.pattern = pattern.empty() ? std::u16string(u"^") : std::u16string(pattern);
  data.flags = flags;
  data.lastIndex = 0;
  int options = kRegExtended | kRegNoCollate | kRegEscapeInLists;
  if (flags & kRegExpIgnoreCase) options |= kRegIcase;
  if (flags & kRegExpMultiline) options |= kRegNewline;
  int status = data.compiled.compile(data.pattern, options);
  if (status == kRegOk) return {};
  std::u16string message = u"RegExp runtime error: " + regexErrorText(status);
  if (message.size() > kErrorTextLimit) message.resize(kErrorTextLimit);
  return message;
}

void RegExpMatchState::begin(std::u16string_view text) {
  input.assign(text);
  clearGroups();
}

}  // namespace orvet
