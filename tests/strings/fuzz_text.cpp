// Date texts and regular expressions come from scripts: neither may crash,
// hang or read outside its input, whatever the bytes.
//
// Input: one selector byte, then the data. Selector even: the data is a date
// text. Selector odd: the data is UTF-16 (little-endian) "pattern\0text",
// run through match, replace and split.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/engine/builtins/DateCalendar.h"
#include "script/engine/builtins/DateFormat.h"
#include "script/engine/builtins/DateParse.h"
#include "script/engine/builtins/RegExpMatching.h"

namespace {

void fuzzDate(std::string_view text) {
  if (auto t = orvet::parseDateText(text, -3600000.0); t && orvet::isValidTime(*t)) {
    orvet::formatLocalDate(*t, -3600000.0);
    orvet::formatUtcDate(*t);
  }
}

void fuzzRegExp(const std::uint8_t* data, std::size_t size, std::uint8_t flags) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < size; i += 2) units += static_cast<char16_t>(data[i] | data[i + 1] << 8);
  std::u16string_view all(units);
  std::size_t split = all.find(u'\0');
  std::u16string_view pattern = all.substr(0, split);
  std::u16string_view text = split == std::u16string_view::npos ? all : all.substr(split + 1);
  orvet::RegExpData re;
  if (!orvet::compileRegExp(re, pattern, flags).empty()) return;
  orvet::RegExpMatchState state;
  orvet::regExpMatch(re, state, text);
  orvet::regExpReplace(re, state, text, u"[$&$1$+$`$']");
  orvet::regExpSplit(re, text, 100);
  orvet::regExpSearch(re, state, text);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t selector = data[0];
  if (selector % 2 == 0) {
    fuzzDate(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  } else {
    fuzzRegExp(data + 1, size - 1, static_cast<std::uint8_t>((selector >> 1) & 7));
  }
  return 0;
}
