#include "script/engine/builtins/StringText.h"

#include <gtest/gtest.h>

namespace orvet {
namespace {

std::u16string_view cut(std::u16string_view text, TextRange range) {
  return text.substr(range.start, range.end - range.start);
}

TEST(StringText, IndexOf) {
  EXPECT_EQ(findForward(u"abcabc", u"bc", 0), 1);
  EXPECT_EQ(findForward(u"abcabc", u"bc", 2), 4);
  EXPECT_EQ(findForward(u"abcabc", u"bc", 5), -1);  // from + length beyond the end
  EXPECT_EQ(findForward(u"abc", u"", 3), 3);
  EXPECT_EQ(findForward(u"abc", u"", 4), -1);
  EXPECT_EQ(findForward(u"abc", u"a", -1), -1);
  EXPECT_EQ(findForward(u"abc", u"abcd", 0), -1);
  EXPECT_EQ(findForward(u"aBc", u"b", 0), -1);  // exact comparison
}

TEST(StringText, LastIndexOf) {
  EXPECT_EQ(findBackward(u"abcabc", u"bc", std::nullopt), 4);
  EXPECT_EQ(findBackward(u"abcabc", u"bc", 3), 1);
  EXPECT_EQ(findBackward(u"abcabc", u"bc", 100), 4);  // lowered to the last start
  EXPECT_EQ(findBackward(u"abcabc", u"bc", 0), -1);
  EXPECT_EQ(findBackward(u"abcabc", u"a", -1), -1);
  EXPECT_EQ(findBackward(u"ab", u"abc", std::nullopt), -1);
  EXPECT_EQ(findBackward(u"abc", u"", std::nullopt), 3);
}

TEST(StringText, Slice) {
  std::u16string_view s = u"abcdef";
  EXPECT_EQ(cut(s, sliceRange(6, -2, std::nullopt)), u"ef");
  EXPECT_EQ(cut(s, sliceRange(6, 1, 3)), u"bc");
  EXPECT_EQ(cut(s, sliceRange(6, 1, -1)), u"bcde");
  EXPECT_EQ(cut(s, sliceRange(6, -100, 2)), u"ab");
  EXPECT_EQ(cut(s, sliceRange(6, 4, 2)), u"");
  EXPECT_EQ(cut(s, sliceRange(6, 2, 100)), u"cdef");
  EXPECT_EQ(cut(s, sliceRange(6, 100, std::nullopt)), u"");
}

TEST(StringText, Substr) {
  std::u16string_view s = u"abcdef";
  EXPECT_EQ(cut(s, substrRange(6, 1, 2)), u"bc");
  EXPECT_EQ(cut(s, substrRange(6, -2, std::nullopt)), u"ef");
  EXPECT_EQ(cut(s, substrRange(6, -10, 2)), u"ab");
  EXPECT_EQ(cut(s, substrRange(6, 4, 100)), u"ef");
  EXPECT_EQ(cut(s, substrRange(6, 1, -3)), u"");
  EXPECT_EQ(cut(s, substrRange(6, 9, 1)), u"");
}

TEST(StringText, SubstringDoesNotSwapBounds) {
  std::u16string_view s = u"abcdef";
  EXPECT_EQ(cut(s, substringRange(6, 3, 1)), u"");
  EXPECT_EQ(cut(s, substringRange(6, 1, 3)), u"bc");
  EXPECT_EQ(cut(s, substringRange(6, -5, 2)), u"ab");
  EXPECT_EQ(cut(s, substringRange(6, 2, 99)), u"cdef");
  EXPECT_EQ(cut(s, substringRange(6, 0, -1)), u"");
  EXPECT_EQ(cut(s, substringRange(6, 2, std::nullopt)), u"cdef");
}

TEST(StringText, SplitWithStrings) {
  using V = std::vector<std::u16string_view>;
  EXPECT_EQ(splitText(u"a,b,", u",", 2147483647), (V{u"a", u"b", u""}));
  EXPECT_EQ(splitText(u"abc", u"", 2), (V{u"a", u"b"}));
  EXPECT_EQ(splitText(u"abc", u"", 10), (V{u"a", u"b", u"c"}));
  EXPECT_EQ(splitText(u"a::b::c", u"::", 2), (V{u"a", u"b"}));
  EXPECT_EQ(splitText(u"abc", u",", 5), (V{u"abc"}));
  EXPECT_EQ(splitText(u"", u",", 5), (V{u""}));
  EXPECT_EQ(splitText(u"a,b", u",", 0), V{});
  EXPECT_EQ(splitText(u",,", u",", 9), (V{u"", u"", u""}));
}

TEST(StringText, ReplaceFirstOccurrenceOnly) {
  EXPECT_EQ(replaceFirst(u"abc", u"b", u"x"), u"axc");
  EXPECT_EQ(replaceFirst(u"abcb", u"b", u"$&"), u"a$&cb");
  EXPECT_FALSE(replaceFirst(u"abc", u"z", u"x"));
  EXPECT_EQ(replaceFirst(u"abc", u"", u"x"), u"xabc");
}

TEST(StringText, DecimalPrefixLikeAtoi) {
  EXPECT_EQ(parseDecimalPrefix(u"65"), 65);
  EXPECT_EQ(parseDecimalPrefix(u" \t-12xyz"), -12);
  EXPECT_EQ(parseDecimalPrefix(u"+7"), 7);
  EXPECT_EQ(parseDecimalPrefix(u"x1"), 0);
  EXPECT_EQ(parseDecimalPrefix(u""), 0);
  EXPECT_EQ(parseDecimalPrefix(u"99999999999999999999"), 2147483647);
  EXPECT_EQ(parseDecimalPrefix(u"-99999999999999999999"), -2147483647 - 1);
}

TEST(StringText, HtmlFormats) {
  EXPECT_EQ(fillHtmlFormat("<B>%s</B>", u"hi"), u"<B>hi</B>");
  EXPECT_EQ(fillHtmlFormat("<FONT COLOR=\"%s\">%s</FONT>", u"red", u"hi"),
            u"<FONT COLOR=\"red\">hi</FONT>");
  EXPECT_EQ(fillHtmlFormat("<B>%s</B>", u"100%s"), u"<B>100%s</B>");  // text is not a format
  std::u16string longText(3000, u'x');
  EXPECT_EQ(fillHtmlFormat("<I>%s</I>", longText).size(), 3007u);
}

}  // namespace
}  // namespace orvet
