#include "package/AnsiText.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

// Both builds run with Windows-1252 as the ANSI code page (the native
// build's fixed choice, Wine's default for an English locale).
TEST(AnsiText, Windows1252RoundTrip)
{
    EXPECT_EQ(ansiToUtf16("Hello"), u"Hello");
    EXPECT_EQ(ansiToUtf16("\x80\xE9\x9F"), u"\u20AC\u00E9\u0178");
    EXPECT_EQ(utf16ToAnsi(u"\u20AC\u00E9\u0178"), "\x80\xE9\x9F");
    EXPECT_EQ(ansiToUtf16(""), u"");
    EXPECT_EQ(utf16ToAnsi(u""), "");
}

TEST(AnsiText, UnmappableCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(utf16ToAnsi(u"a\u4E2Db"), "a?b");
    EXPECT_EQ(utf16ToAnsi(u"\U0001F600"), "??");
}

} // namespace
} // namespace lumbra
