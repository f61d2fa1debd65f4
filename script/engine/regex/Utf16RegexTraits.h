// Boost.Regex traits for UTF-16 code units. The library ships traits only for
// char and wchar_t; script strings are char16_t everywhere, so matching works
// on them directly and every position is a UTF-16 position. Character
// classes and case follow the C runtime's wide-character functions, the way
// the library's own C traits do for wchar_t. Collation is plain code order:
// expressions are always compiled without locale collation.
#pragma once

#include <cstdint>
#include <string>

// The matcher keeps its backtracking states in blocks of 4 KiB on the heap
// (never on the machine stack) and gives up after this many blocks. The
// library's 1024 (4 MiB) end a search of /^(a)*$/ on 50,000 characters; 64 MiB
// let a group repeated over a megabyte of text complete.
#define BOOST_REGEX_MAX_BLOCKS 16384
#include <boost/regex.hpp>

namespace orvet {

class Utf16RegexTraits {
 public:
  using char_type = char16_t;
  using size_type = std::size_t;
  using string_type = std::u16string;
  struct locale_type {};
  using char_class_type = std::uint32_t;
  // Tells the library that the optional members below are provided.
  using boost_extensions_tag = void;

  Utf16RegexTraits() = default;
  Utf16RegexTraits(const Utf16RegexTraits&) = delete;
  Utf16RegexTraits& operator=(const Utf16RegexTraits&) = delete;

  static size_type length(const char_type* p) {
    return std::char_traits<char16_t>::length(p);
  }

  char_type translate(char_type c) const { return c; }
  char_type translate_nocase(char_type c) const;
  char_type translate(char_type c, bool icase) const {
    return icase ? translate_nocase(c) : c;
  }
  char_type tolower(char_type c) const;
  char_type toupper(char_type c) const;

  string_type transform(const char_type* p1, const char_type* p2) const {
    return string_type(p1, p2);
  }
  string_type transform_primary(const char_type* p1, const char_type* p2) const;

  char_class_type lookup_classname(const char_type* p1, const char_type* p2) const;
  string_type lookup_collatename(const char_type* p1, const char_type* p2) const;
  bool isctype(char_type c, char_class_type mask) const;

  int value(char_type c, int radix) const;
  std::intmax_t toi(const char_type*& p1, const char_type* p2, int radix) const {
    return boost::BOOST_REGEX_DETAIL_NS::global_toi(p1, p2, radix, *this);
  }

  boost::regex_constants::syntax_type syntax_type(char_type c) const;
  boost::regex_constants::escape_syntax_type escape_syntax_type(char_type c) const;
  std::string error_string(boost::regex_constants::error_type e) const {
    return boost::BOOST_REGEX_DETAIL_NS::get_default_error_string(e);
  }

  locale_type imbue(locale_type l) { return l; }
  locale_type getloc() const { return locale_type(); }
};

}  // namespace orvet
