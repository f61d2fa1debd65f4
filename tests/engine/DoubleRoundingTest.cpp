// Script arithmetic is IEEE double arithmetic on every build: each operation
// rounds once to 53 bits. These values sit where rounding through a wider
// intermediate (the x87 unit's 64-bit mantissa) gives another answer, so they
// pin the same results natively and in the Windows build.
#include "tests/engine/EngineFixture.h"

namespace orvet::test {
namespace {

class DoubleRounding : public EngineFixture {};

TEST_F(DoubleRounding, SumsRoundOnceToDouble)
{
    // 0.49999999999999994 + 0.5 is 1 - 2^-54: halfway, so it rounds to 1.0
    // in double; kept wider it stays below 1 and floors to 0.
    EXPECT_EQ(value("Math.round(0.49999999999999994)"), "int 1");
    EXPECT_EQ(value("Math.floor(0.49999999999999994 + 0.5)"), "float 1");
    // 1 + (2^-53 + 2^-64): above halfway between 1 and 1 + 2^-52, so it rounds
    // up; rounded to 64 bits first it lands exactly halfway and ties to 1.
    EXPECT_EQ(value("(1 + (Math.pow(2, -53) + Math.pow(2, -64))) - 1 == Math.pow(2, -52)"), "bool true");
    EXPECT_EQ(value("var t = 1e16; t + 1 == t"), "bool true");
    EXPECT_EQ(value("0.1 + 0.2 == 0.3"), "bool false");
    EXPECT_EQ(value("0.1 + 0.2 - 0.3 == Math.pow(2, -54)"), "bool true");
}

TEST_F(DoubleRounding, ProductsQuotientsAndRemainders)
{
    // (1 + 2^-52) * (1 + 2^-52) = 1 + 2^-51 + 2^-104: rounds to 1 + 2^-51.
    EXPECT_EQ(value("var e = Math.pow(2, -52); (1 + e) * (1 + e) == 1 + 2 * e"), "bool true");
    EXPECT_EQ(value("1 / 3 * 3 == 1"), "bool true");
    EXPECT_EQ(value("2 / 3 == 0.6666666666666666"), "bool true");
    EXPECT_EQ(value("5.5 % 2.25"), "float 1");
    EXPECT_EQ(value("0.3 % 0.1 == 0.09999999999999998"), "bool true");
    EXPECT_EQ(value("-7.5 % 2"), "float -1.5");
}

TEST_F(DoubleRounding, TextOfValuesAtTheBoundary)
{
    EXPECT_EQ(value("'' + (0.1 + 0.2)"), "0.3");
    EXPECT_EQ(value("(0.1 + 0.2 - 0.3) + ''"), "5.55112e-017");
    EXPECT_EQ(value("((1 + (Math.pow(2, -53) + Math.pow(2, -64))) - 1) + ''"), "2.22045e-016");
    EXPECT_EQ(value("(0.49999999999999994 + 0.5) + ''"), "1");
}

} // namespace
} // namespace orvet::test
