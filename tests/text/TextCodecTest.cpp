// The text codec against the published tables: Windows-1252 (the code page's
// own chart) and UTF-8 (RFC 3629 examples and malformed input).
#include <gtest/gtest.h>

#include "text/AnsiText.h"
#include "text/Utf8.h"
#include "text/Windows1252.h"

namespace lumbra::text {
namespace {

TEST(Windows1252, TheHighControlRangeFollowsTheChart)
{
    EXPECT_EQ(decodeWindows1252("\x80\x8A\x91\x99\x9F"), u"\u20AC\u0160\u2018\u2122\u0178");
    // The five undefined bytes keep their value, as the system conversion does.
    EXPECT_EQ(decodeWindows1252("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(decodeWindows1252("A\xE9\xFF"), u"A\u00E9\u00FF");
    EXPECT_EQ(encodeWindows1252(u"\u20AC\u0178\u00E9"), "\x80\x9F\xE9");
    EXPECT_EQ(encodeWindows1252(u"\u0100\U0001F600"), "???");
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(encodeWindows1252(decodeWindows1252(byte)), byte) << b;
    }
}

TEST(Utf8, KnownSequencesAndMalformedInput)
{
    EXPECT_EQ(decodeUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"a\u00E9\u20AC\U0001F600");
    EXPECT_EQ(decodeUtf8("\xED\x9F\xBF"), u"\uD7FF");
    EXPECT_EQ(decodeUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // an encoded surrogate
    EXPECT_EQ(decodeUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD"); // above U+10FFFF
    EXPECT_EQ(decodeUtf8("\xE2\x82"), u"\uFFFD\uFFFD");                     // cut off
    EXPECT_EQ(decodeUtf8("\xFF" "a\xC3"), u"\uFFFDa\uFFFD");
    EXPECT_EQ(encodeUtf8(u"a\u00E9\u20AC\U0001F600"), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(encodeUtf8(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx"); // unpaired
    EXPECT_EQ(encodeUtf8(u"\U0010FFFF"), "\xF4\x8F\xBF\xBF");
}

#ifndef _WIN32
TEST(AnsiText, IsWindows1252InTheNativeBuild)
{
    EXPECT_EQ(ansiToUtf16("\x80x"), u"\u20ACx");
    EXPECT_EQ(utf16ToAnsi(u"\u2122\u4E00"), "\x99?");
}
#endif

} // namespace
} // namespace lumbra::text
