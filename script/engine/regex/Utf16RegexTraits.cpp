#include "script/engine/regex/Utf16RegexTraits.h"

#include <cwctype>

#include "script/engine/regex/CharCase.h"

namespace orvet {

namespace {

namespace detail = boost::BOOST_REGEX_DETAIL_NS;

enum : std::uint32_t {
  kSpace = 1u << 0,
  kPrint = 1u << 1,
  kCntrl = 1u << 2,
  kUpper = 1u << 3,
  kLower = 1u << 4,
  kAlpha = 1u << 5,
  kDigit = 1u << 6,
  kPunct = 1u << 7,
  kXdigit = 1u << 8,
  kBlank = 1u << 9,
  kWord = 1u << 10,
  kUnicode = 1u << 11,
  kHorizontal = 1u << 12,
  kVertical = 1u << 13,
  kAlnum = kAlpha | kDigit,
  kGraph = kAlnum | kPunct,
};

bool isAscii(char16_t c) { return c < 0x80; }

}  // namespace

char16_t Utf16RegexTraits::translate_nocase(char16_t c) const { return lowerChar(c); }
char16_t Utf16RegexTraits::tolower(char16_t c) const { return lowerChar(c); }
char16_t Utf16RegexTraits::toupper(char16_t c) const { return upperChar(c); }

std::u16string Utf16RegexTraits::transform_primary(const char16_t* p1,
                                                   const char16_t* p2) const {
  // Without collation the best equivalence key is the case-folded text.
  std::u16string key(p1, p2);
  for (char16_t& c : key) c = lowerChar(c);
  if (key.empty()) key.push_back(u'\0');
  return key;
}

Utf16RegexTraits::char_class_type Utf16RegexTraits::lookup_classname(
    const char16_t* p1, const char16_t* p2) const {
  // Indexed by the library's class id + 1 (0 = unknown name); the order is
  // the one of get_default_class_id.
  static constexpr char_class_type kMasks[] = {
      0,      kAlnum, kAlpha,      kBlank, kCntrl,  kDigit,   kDigit,
      kGraph, kHorizontal, kLower, kLower, kPrint,  kPunct,   kSpace,
      kSpace, kUpper, kUnicode,    kUpper, kVertical, kAlnum | kWord,
      kAlnum | kWord, kXdigit,
  };
  int id = detail::get_default_class_id(p1, p2);
  if (id < 0) {
    std::u16string folded = transform_primary(p1, p2);
    id = detail::get_default_class_id(folded.data(), folded.data() + (p2 - p1));
  }
  return kMasks[id + 1];
}

std::u16string Utf16RegexTraits::lookup_collatename(const char16_t* p1,
                                                    const char16_t* p2) const {
  std::string name;
  for (const char16_t* p = p1; p != p2; ++p) {
    if (!isAscii(*p)) return std::u16string();
    name.push_back(static_cast<char>(*p));
  }
  name = detail::lookup_default_collate_name(name);
  if (!name.empty()) return std::u16string(name.begin(), name.end());
  if (p2 - p1 == 1) return std::u16string(1, *p1);
  return std::u16string();
}

bool Utf16RegexTraits::isctype(char16_t c, char_class_type mask) const {
  const std::wint_t w = c;
  const bool separator = detail::is_separator(c);
  return ((mask & kSpace) && std::iswspace(w)) ||
         ((mask & kPrint) && std::iswprint(w)) ||
         ((mask & kCntrl) && std::iswcntrl(w)) ||
         ((mask & kUpper) && std::iswupper(w)) ||
         ((mask & kLower) && std::iswlower(w)) ||
         ((mask & kAlpha) && std::iswalpha(w)) ||
         ((mask & kDigit) && std::iswdigit(w)) ||
         ((mask & kPunct) && std::iswpunct(w)) ||
         ((mask & kXdigit) && std::iswxdigit(w)) ||
         ((mask & kBlank) && std::iswspace(w) && !separator) ||
         ((mask & kWord) && c == u'_') ||
         ((mask & kUnicode) && c > 0xFF) ||
         ((mask & kVertical) && (separator || c == u'\v')) ||
         ((mask & kHorizontal) && std::iswspace(w) && !separator && c != u'\v');
}

int Utf16RegexTraits::value(char16_t c, int radix) const {
  int digit = -1;
  if (c >= u'0' && c <= u'9') digit = c - u'0';
  else if (c >= u'a' && c <= u'z') digit = c - u'a' + 10;
  else if (c >= u'A' && c <= u'Z') digit = c - u'A' + 10;
  return digit < radix ? digit : -1;
}

boost::regex_constants::syntax_type Utf16RegexTraits::syntax_type(char16_t c) const {
  return isAscii(c) ? detail::get_default_syntax_type(static_cast<char>(c))
                    : boost::regex_constants::syntax_char;
}

boost::regex_constants::escape_syntax_type Utf16RegexTraits::escape_syntax_type(
    char16_t c) const {
  return isAscii(c) ? detail::get_default_escape_syntax_type(static_cast<char>(c))
                    : boost::regex_constants::escape_type_identity;
}

}  // namespace orvet
