// The text algorithms behind the global functions and the Number class.
#include <gtest/gtest.h>

#include "script/engine/builtins/GlobalsEscape.h"
#include "script/engine/builtins/NumberClassFormat.h"
#include "script/runtime/NumberText.h"

namespace orvet {
namespace {

TEST(Escape, KeepsTheSafeSetAndEncodesTheRest)
{
    EXPECT_EQ(escapeText(u"a b"), u"a%20b");
    EXPECT_EQ(escapeText(u"\u20AC"), u"%u20AC");
    EXPECT_EQ(escapeText(u"AZaz09@*_+-./"), u"AZaz09@*_+-./");
    EXPECT_EQ(escapeText(u"\u00E9%\n"), u"%E9%25%0A");
    EXPECT_EQ(escapeText(u""), u"");
}

TEST(Escape, UnescapeReversesEscape)
{
    EXPECT_EQ(unescapeText(u"a%20b"), u"a b");
    EXPECT_EQ(unescapeText(u"%u20AC"), u"\u20AC");
    EXPECT_EQ(unescapeText(u"%u20ac%e9"), u"\u20AC\u00E9");
    const std::u16string all = u"x\u0001\u00FF\u0100\uFFFF y";
    EXPECT_EQ(unescapeText(escapeText(all)), all);
}

TEST(Escape, UnescapeCopiesIncompleteSequences)
{
    EXPECT_EQ(unescapeText(u"100%"), u"100%");
    EXPECT_EQ(unescapeText(u"%4"), u"%4");
    EXPECT_EQ(unescapeText(u"%zz"), u"%zz");
    EXPECT_EQ(unescapeText(u"%u12"), u"%u12");
    // "%u" without four digits falls back to a two-digit escape if one follows.
    EXPECT_EQ(unescapeText(u"%u4x"), u"%u4x");
    EXPECT_EQ(unescapeText(u"%41%u0042"), u"AB");
}

TEST(IntegerText, RadixDigits)
{
    EXPECT_EQ(integerToText(255, 16), "ff");
    EXPECT_EQ(integerToText(5, 2), "101");
    EXPECT_EQ(integerToText(-255, 16), "-ff");
    EXPECT_EQ(integerToText(35, 36), "z");
    EXPECT_EQ(integerToText(0, 8), "0");
    EXPECT_EQ(integerToText(INT64_MIN, 10), "-9223372036854775808");
    EXPECT_EQ(integerToText(INT64_MIN, 2), "-1" + std::string(63, '0'));
    EXPECT_EQ(integerToText(42, 1), "42");
    EXPECT_EQ(integerToText(42, 37), "42");
}

TEST(NumberFormat, OneConversionOfEitherKind)
{
    EXPECT_EQ(formatNumber("%05d", std::int64_t{42}), "00042");
    EXPECT_EQ(formatNumber("[%x]", std::int64_t{255}), "[ff]");
    EXPECT_EQ(formatNumber("%.2f", 3.14159), "3.14");
    EXPECT_EQ(formatNumber("%I64d", std::int64_t{-7000000000}), "-7000000000");
    EXPECT_EQ(formatNumber("%lld%%", std::int64_t{50}), "50%");
    // The value is converted to what the conversion wants.
    EXPECT_EQ(formatNumber("%d", 2.9), "2");
    EXPECT_EQ(formatNumber("%.1f", std::int64_t{2}), "2.0");
    EXPECT_EQ(formatNumber("%c", std::int64_t{65}), "A");
    EXPECT_EQ(formatNumber("no conversion", std::int64_t{1}), "no conversion");
}

TEST(NumberFormat, ExponentsHaveThreeDigits)
{
    EXPECT_EQ(formatNumber("%e", 1e21), "1.000000e+021");
    EXPECT_EQ(formatNumber("%g", 1e-5), "1e-005");
    EXPECT_EQ(formatNumber("%g", 1e300), "1e+300");
    EXPECT_EQ(widenExponents("1e+21 and 2E-7"), "1e+021 and 2E-007");
}

TEST(NumberFormat, RefusesFormatsThatReadMissingArguments)
{
    EXPECT_FALSE(formatNumber("%s", std::int64_t{1}));
    EXPECT_FALSE(formatNumber("%n", std::int64_t{1}));
    EXPECT_FALSE(formatNumber("%*d", std::int64_t{1}));
    EXPECT_FALSE(formatNumber("%d %d", std::int64_t{1}));
    EXPECT_FALSE(formatNumber("%p", 1.0));
    EXPECT_FALSE(formatNumber("%", 1.0));
    EXPECT_FALSE(formatNumber("%99999d", std::int64_t{1}));
    EXPECT_FALSE(formatNumber("%.99999f", 1.0));
}

} // namespace
} // namespace orvet
