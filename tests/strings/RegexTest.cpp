#include "script/engine/regex/Regex.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace orvet {
namespace {

constexpr int kScriptFlags = kRegExtended | kRegNoCollate | kRegEscapeInLists;

struct Found {
  int status;
  std::vector<RegexMatch> groups;
};

Found search(std::u16string_view pattern, std::u16string_view text, int cflags = kScriptFlags,
             int eflags = 0) {
  Regex re;
  EXPECT_EQ(re.compile(pattern, cflags), kRegOk);
  std::array<RegexMatch, 256> groups;
  int status = re.exec(text, groups, eflags);
  return {status, std::vector<RegexMatch>(groups.begin(), groups.begin() + 4)};
}

TEST(Regex, ScriptFlagsHaveTheirTraditionalValues) {
  EXPECT_EQ(kScriptFlags, 769);
  EXPECT_EQ(kRegIcase, 2);
  EXPECT_EQ(kRegNewline, 8);
}

TEST(Regex, GroupsArePositionsInUtf16Units) {
  auto f = search(u"(b+)(x)?(c)", u"\u20ACabbc");
  ASSERT_EQ(f.status, kRegOk);
  EXPECT_EQ(f.groups[0].start, 2);
  EXPECT_EQ(f.groups[0].end, 5);
  EXPECT_EQ(f.groups[1].start, 2);
  EXPECT_EQ(f.groups[1].end, 4);
  EXPECT_EQ(f.groups[2].start, -1);  // did not take part
  EXPECT_EQ(f.groups[2].end, -1);
  EXPECT_EQ(f.groups[3].start, 4);
}

TEST(Regex, SurrogatePairsAreTwoUnits) {
  auto f = search(u"x", u"\U0001F600x");
  ASSERT_EQ(f.status, kRegOk);
  EXPECT_EQ(f.groups[0].start, 2);
}

TEST(Regex, NoMatchAndEmptyText) {
  EXPECT_EQ(search(u"z", u"abc").status, kRegNoMatch);
  EXPECT_EQ(search(u"z", u"").status, kRegNoMatch);
  auto f = search(u"^", u"");
  EXPECT_EQ(f.status, kRegOk);
  EXPECT_EQ(f.groups[0].start, 0);
  EXPECT_EQ(f.groups[0].end, 0);
}

TEST(Regex, TextMayHoldNulCharacters) {
  auto f = search(u"b", std::u16string_view(u"a\0b", 3));
  ASSERT_EQ(f.status, kRegOk);
  EXPECT_EQ(f.groups[0].start, 2);
}

TEST(Regex, IgnoreCaseOnlyWhenAsked) {
  EXPECT_EQ(search(u"abc", u"xABC").status, kRegNoMatch);
  auto f = search(u"abc", u"xABC", kScriptFlags | kRegIcase);
  EXPECT_EQ(f.status, kRegOk);
  EXPECT_EQ(f.groups[0].start, 1);
  EXPECT_EQ(search(u"[a-c]+", u"B", kScriptFlags | kRegIcase).status, kRegOk);
}

TEST(Regex, NewlineFlagStopsDotAtLineBreaks) {
  EXPECT_EQ(search(u"a.b", u"a\nb").status, kRegOk);
  EXPECT_EQ(search(u"a.b", u"a\nb", kScriptFlags | kRegNewline).status, kRegNoMatch);
}

TEST(Regex, CaretMatchesAtTheStartAndAfterLineBreaks) {
  auto f = search(u"^b", u"a\nb");
  ASSERT_EQ(f.status, kRegOk);
  EXPECT_EQ(f.groups[0].start, 2);
  EXPECT_EQ(search(u"^a", u"ba", kScriptFlags, kRegNotBol).status, kRegNoMatch);
  EXPECT_EQ(search(u"a$", u"a", kScriptFlags, kRegNotEol).status, kRegNoMatch);
}

TEST(Regex, EscapesWorkInsideBracketLists) {
  auto f = search(u"[\\]]", u"a]");
  ASSERT_EQ(f.status, kRegOk);
  EXPECT_EQ(f.groups[0].start, 1);
  EXPECT_EQ(search(u"[\\d]+", u"x42").groups[0].start, 1);
}

TEST(Regex, ExtendedSyntaxClassesAndEscapes) {
  EXPECT_EQ(search(u"[[:digit:]]+", u"ab12").groups[0].start, 2);
  EXPECT_EQ(search(u"\\w+", u"  word").groups[0].start, 2);
  EXPECT_EQ(search(u"a{2,3}", u"baaa").groups[0].end, 4);
  EXPECT_EQ(search(u"cat|dog", u"hotdog").groups[0].start, 3);
}

TEST(Regex, GroupCount) {
  Regex re;
  ASSERT_EQ(re.compile(u"(a)(b(c))", kScriptFlags), kRegOk);
  EXPECT_EQ(re.groupCount(), 3u);
}

TEST(Regex, UpTo256GroupsAreReported) {
  std::u16string pattern;
  for (int i = 0; i < 255; ++i) pattern += u"(a)";
  std::u16string text(255, u'a');
  Regex re;
  ASSERT_EQ(re.compile(pattern, kScriptFlags), kRegOk);
  std::array<RegexMatch, 256> groups;
  ASSERT_EQ(re.exec(text, groups), kRegOk);
  EXPECT_EQ(groups[255].start, 254);
  EXPECT_EQ(groups[255].end, 255);
}

TEST(Regex, CompileErrorsCarryTheLibraryTexts) {
  Regex re;
  EXPECT_EQ(re.compile(u"(ab", kScriptFlags), kRegEParen);
  EXPECT_FALSE(re.compiled());
  EXPECT_EQ(regexErrorText(kRegEParen), u"Unmatched marking parenthesis ( or \\(.");
  EXPECT_EQ(re.compile(u"[ab", kScriptFlags), kRegEBrack);
  EXPECT_EQ(regexErrorText(kRegEBrack), u"Unmatched [ or [^ in character class declaration.");
  EXPECT_EQ(re.compile(u"*a", kScriptFlags), kRegBadRpt);
  EXPECT_EQ(regexErrorText(kRegBadRpt),
            u"Invalid preceding regular expression prior to repetition operator.");
  EXPECT_EQ(re.compile(u"a{2,1}", kScriptFlags), kRegBadBr);
  EXPECT_NE(re.compile(u"[z-a]", kScriptFlags), kRegOk);
  EXPECT_EQ(re.compile(u"[[:nope:]]", kScriptFlags), kRegECtype);
  EXPECT_EQ(regexErrorText(999), u"Unknown error.");
  EXPECT_EQ(regexErrorText(-3), u"Unknown error.");
}

TEST(Regex, ExecOnAFailedExpressionFails) {
  Regex re;
  re.compile(u"(", kScriptFlags);
  std::array<RegexMatch, 1> groups;
  EXPECT_NE(re.exec(u"(", groups), kRegOk);
}

TEST(Regex, CatastrophicBacktrackingEndsWithAnError) {
  Regex re;
  ASSERT_EQ(re.compile(u"(a*)*(a*)*(a*)*b", kScriptFlags), kRegOk);
  std::array<RegexMatch, 4> groups;
  std::u16string text(60, u'a');
  int status = re.exec(text, groups);
  EXPECT_NE(status, kRegOk);
}

}  // namespace
}  // namespace orvet
