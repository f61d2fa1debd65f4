#include "script/engine/builtins/RegExpMatching.h"

#include <gtest/gtest.h>

namespace orvet {
namespace {

RegExpData make(std::u16string_view pattern, std::uint8_t flags = 0) {
  RegExpData re;
  EXPECT_EQ(compileRegExp(re, pattern, flags), u"");
  return re;
}

std::vector<std::u16string> texts(std::u16string_view text, const std::vector<TextRange>& ranges) {
  std::vector<std::u16string> out;
  for (const TextRange& r : ranges) out.emplace_back(text.substr(r.start, r.end - r.start));
  return out;
}

using Texts = std::vector<std::u16string>;

TEST(RegExpCompile, EmptyPatternIsCaret) {
  RegExpData re = make(u"");
  EXPECT_EQ(re.pattern, u"^");
  RegExpMatchState state;
  EXPECT_EQ(regExpSearch(re, state, u"abc"), 0);
}

TEST(RegExpCompile, FailureGivesTheRuntimeErrorText) {
  RegExpData re;
  EXPECT_EQ(compileRegExp(re, u"(a", 0),
            u"RegExp runtime error: Unmatched marking parenthesis ( or \\(.");
  EXPECT_FALSE(re.compiled.compiled());
}

TEST(RegExpCompile, FlagsChooseTheOptions) {
  RegExpMatchState state;
  RegExpData plain = make(u"a.b");
  RegExpData icase = make(u"A", kRegExpIgnoreCase);
  RegExpData multi = make(u"a.b", kRegExpMultiline);
  EXPECT_EQ(regExpSearch(icase, state, u"xa"), 1);
  EXPECT_EQ(regExpSearch(plain, state, u"a\nb"), 0);
  EXPECT_EQ(regExpSearch(multi, state, u"a\nb"), -1);
}

TEST(RegExpExec, GroupsUpToTheFirstNonParticipatingOne) {
  RegExpData re = make(u"(a)(x)?(b)");
  RegExpMatchState state;
  state.begin(u"zab");
  auto found = regExpExecOnce(re, state, u"zab");
  ASSERT_TRUE(found);
  EXPECT_EQ(texts(u"zab", *found), (Texts{u"ab", u"a"}));
  EXPECT_EQ(state.groups[3].start, 2);  // the table keeps every group
  EXPECT_EQ(state.groups[2].start, -1);
  EXPECT_EQ(re.lastIndex, 0);  // not global
}

TEST(RegExpExec, GlobalExpressionsContinueFromLastIndex) {
  RegExpData re = make(u"b", kRegExpGlobal);
  RegExpMatchState state;
  auto first = regExpExecOnce(re, state, u"abcb");
  ASSERT_TRUE(first);
  EXPECT_EQ((*first)[0].start, 1u);
  EXPECT_EQ(re.lastIndex, 2);
  auto second = regExpExecOnce(re, state, u"abcb");
  ASSERT_TRUE(second);
  EXPECT_EQ((*second)[0].start, 3u);  // absolute
  EXPECT_EQ(state.groups[0].start, 3);
  EXPECT_FALSE(regExpExecOnce(re, state, u"abcb"));
  EXPECT_EQ(re.lastIndex, 0);
}

TEST(RegExpMatch, NonGlobalGivesTheGroups) {
  RegExpData re = make(u"(\\d+)-(\\d+)");
  RegExpMatchState state;
  auto found = regExpMatch(re, state, u"tel 12-34");
  ASSERT_TRUE(found);
  EXPECT_EQ(texts(u"tel 12-34", *found), (Texts{u"12-34", u"12", u"34"}));
  EXPECT_EQ(state.input, u"tel 12-34");
  EXPECT_FALSE(regExpMatch(re, state, u"none"));
  EXPECT_EQ(state.input, u"none");
  EXPECT_EQ(state.groups[0].start, -1);  // cleared
}

TEST(RegExpMatch, GlobalGivesEveryMatch) {
  RegExpData re = make(u"a+", kRegExpGlobal);
  RegExpMatchState state;
  auto found = regExpMatch(re, state, u"baaca");
  ASSERT_TRUE(found);
  EXPECT_EQ(texts(u"baaca", *found), (Texts{u"aa", u"a"}));
  EXPECT_EQ(re.lastIndex, 0);
  auto none = regExpMatch(re, state, u"xyz");
  ASSERT_TRUE(none);
  EXPECT_TRUE(none->empty());
}

TEST(RegExpMatch, GlobalEmptyMatchesEnd) {
  RegExpData re = make(u"x*", kRegExpGlobal);
  RegExpMatchState state;
  auto found = regExpMatch(re, state, u"ab");
  ASSERT_TRUE(found);
  EXPECT_EQ(texts(u"ab", *found), (Texts{u"", u"", u""}));
  EXPECT_EQ(re.lastIndex, 0);
}

TEST(RegExpSearch, PositionAndLastIndex) {
  RegExpMatchState state;
  RegExpData plain = make(u"c");
  EXPECT_EQ(regExpSearch(plain, state, u"abcc"), 2);
  EXPECT_EQ(regExpSearch(plain, state, u"abcc"), 2);
  RegExpData global = make(u"c", kRegExpGlobal);
  EXPECT_EQ(regExpSearch(global, state, u"abcc"), 2);
  EXPECT_EQ(global.lastIndex, 3);
  EXPECT_EQ(regExpSearch(global, state, u"abcc"), 3);
  EXPECT_EQ(regExpSearch(global, state, u"abcc"), -1);
  EXPECT_EQ(global.lastIndex, 0);
}

std::u16string replace(std::u16string_view pattern, std::uint8_t flags, std::u16string_view text,
                       std::u16string_view replacement) {
  RegExpData re = make(pattern, flags);
  RegExpMatchState state;
  return regExpReplace(re, state, text, replacement);
}

TEST(RegExpReplace, EachRemainingPieceIsANewString) {
  EXPECT_EQ(replace(u"^a", kRegExpGlobal, u"aaa", u"x"), u"xxx");
}

TEST(RegExpReplace, DollarForms) {
  EXPECT_EQ(replace(u"(b)(c)", kRegExpGlobal, u"abcbc", u"[$2$1]"), u"a[cb][cb]");
  EXPECT_EQ(replace(u"(b)(c)", kRegExpGlobal, u"abcbc", u"$&$&"), u"abcbcbcbc");
  EXPECT_EQ(replace(u"b", 0, u"abc", u"$x$"), u"a$x$c");
  EXPECT_EQ(replace(u"b", 0, u"abc", u"$$"), u"a$c");
  EXPECT_EQ(replace(u"b", 0, u"abc", u"[$`|$']"), u"a[a|c]c");
  EXPECT_EQ(replace(u"(a)(b)?", 0, u"xac", u"[$+]"), u"x[a]c");
  EXPECT_EQ(replace(u"(a)(b)", 0, u"xabc", u"[$+]"), u"x[b]c");
  EXPECT_EQ(replace(u"(x)?a", 0, u"ba", u"[$+$1$3]"), u"b[]");
}

TEST(RegExpReplace, BackquoteAndQuoteSeeOnlyTheRemainingPiece) {
  EXPECT_EQ(replace(u"b", kRegExpGlobal, u"abab", u"($`)"), u"a(a)a(a)");
  EXPECT_EQ(replace(u"b", kRegExpGlobal, u"abab", u"($')"), u"a(ab)a()");
}

TEST(RegExpReplace, NonGlobalReplacesOnlyTheFirst) {
  EXPECT_EQ(replace(u"b", 0, u"abcb", u"x"), u"axcb");
  EXPECT_EQ(replace(u"z", 0, u"abc", u"x"), u"abc");
  EXPECT_EQ(replace(u"b", kRegExpGlobal, u"abcb", u"x"), u"axcx");
}

TEST(RegExpReplace, EmptyMatchesAreNotReplaced) {
  EXPECT_EQ(replace(u"x*", kRegExpGlobal, u"abc", u"-"), u"abc");
  EXPECT_EQ(replace(u"$", kRegExpGlobal, u"ab", u"!"), u"ab");
  EXPECT_EQ(replace(u"x*", 0, u"axxb", u"-"), u"a-b");
  EXPECT_EQ(replace(u"a", kRegExpGlobal, u"", u"-"), u"");
}

TEST(RegExpReplace, NonGlobalStartsAtLastIndex) {
  RegExpData re = make(u"a");
  re.lastIndex = 2;
  RegExpMatchState state;
  EXPECT_EQ(regExpReplace(re, state, u"aaaa", u"x"), u"aaxa");
  re.lastIndex = 99;
  EXPECT_EQ(regExpReplace(re, state, u"aaaa", u"x"), u"aaaa");
}

TEST(RegExpReplace, StateHoldsTheLastMatchAbsolute) {
  RegExpData re = make(u"(b)", kRegExpGlobal);
  re.lastIndex = 7;
  RegExpMatchState state;
  regExpReplace(re, state, u"abcb", u"x");
  EXPECT_EQ(state.input, u"abcb");
  EXPECT_EQ(state.groups[1].start, 3);
  EXPECT_EQ(state.groups[1].end, 4);
  EXPECT_EQ(re.lastIndex, 0);
}

Texts split(std::u16string_view pattern, std::u16string_view text, std::int64_t limit = 2147483647) {
  RegExpData re = make(pattern);
  return texts(text, regExpSplit(re, text, limit));
}

TEST(RegExpSplit, Pieces) {
  EXPECT_EQ(split(u"\\d", u"a1b2c"), (Texts{u"a", u"b", u"c"}));
  EXPECT_EQ(split(u",", u"a,b,"), (Texts{u"a", u"b", u""}));
  EXPECT_EQ(split(u"(,)", u"a,b"), (Texts{u"a", u"b"}));  // groups are not included
  EXPECT_EQ(split(u"\\d", u"a1b2c", 2), (Texts{u"a", u"b"}));
  EXPECT_EQ(split(u"\\d", u"a1b2c", 0), Texts{});
  EXPECT_EQ(split(u"z", u"abc"), (Texts{u"abc"}));
}

TEST(RegExpSplit, EmptyMatchesCutAtEveryPosition) {
  EXPECT_EQ(split(u"x*", u"ab"), (Texts{u"", u"a", u"b", u""}));
  EXPECT_EQ(split(u"x*", u""), (Texts{u"", u""}));
}

}  // namespace
}  // namespace orvet
