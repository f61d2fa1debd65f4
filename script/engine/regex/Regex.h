// Regular expressions over UTF-16 text, in the shape of the POSIX calls
// (compile, execute, error text, free) that the script runtime builds its
// RegExp values and String methods on. Positions are UTF-16 positions.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace orvet {

// Compile flags: the POSIX REG_* flags with their traditional values (the
// REG_ names themselves are macros of the system's regex.h).
inline constexpr int kRegExtended = 01;
inline constexpr int kRegIcase = 02;
inline constexpr int kRegNewline = 010;  // "." does not match a line break
inline constexpr int kRegNoCollate = 0400;
inline constexpr int kRegEscapeInLists = 01000;  // "\" escapes inside [...]

// Execute flags.
inline constexpr int kRegNotBol = 01;  // the text does not start a line
inline constexpr int kRegNotEol = 02;  // the text does not end a line

// Results of compile and execute; the error codes index the library's texts.
enum RegexStatus : int {
  kRegOk = 0,
  kRegNoMatch = 1,
  kRegBadPat = 2,
  kRegECollate = 3,
  kRegECtype = 4,
  kRegEEscape = 5,
  kRegESubReg = 6,
  kRegEBrack = 7,
  kRegEParen = 8,
  kRegEBrace = 9,
  kRegBadBr = 10,
  kRegERange = 11,
  kRegESpace = 12,
  kRegBadRpt = 13,
  kRegEEnd = 14,
  kRegESize = 15,
  kRegERParen = 16,
  kRegEmpty = 17,
  kRegEComplexity = 18,
  kRegEStack = 19,
  kRegEPerl = 20,
  kRegEUnknown = 21,
};

// One group of a match: [start, end), both -1 when the group took no part.
struct RegexMatch {
  std::ptrdiff_t start;
  std::ptrdiff_t end;
};

class Regex {
 public:
  Regex();
  ~Regex();  // regfree
  Regex(Regex&&) noexcept;
  Regex& operator=(Regex&&) noexcept;

  // regcomp: kRegOk, or the error code (the expression is then empty).
  int compile(std::u16string_view pattern, int cflags);
  bool compiled() const { return impl_ != nullptr; }
  // Number of parenthesised groups (re_nsub).
  std::size_t groupCount() const;

  // regexec: searches text for the leftmost match and fills groups (group 0 =
  // the whole match; entries past the expression's groups get -1). Returns
  // kRegOk, kRegNoMatch, or an error code when matching had to be
  // abandoned (an expression too costly for the text).
  int exec(std::u16string_view text, std::span<RegexMatch> groups, int eflags = 0) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// regerror: the library's message for a status code.
std::u16string regexErrorText(int code);

}  // namespace orvet
