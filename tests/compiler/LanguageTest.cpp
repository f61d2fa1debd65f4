// The language end to end where a small slip in the compiler would still
// give plausible answers: precedence of every adjacent pair of binary levels,
// shifts of negative values, the forms of numeric literals, the optimizer's
// passes around try/catch/finally, and the bounds of radixes.
#include <gtest/gtest.h>

#include <string>

#include "tests/engine/EngineFixture.h"

namespace orvet::test {
namespace {

using Language = EngineFixture;

struct Grouping {
    const char* expression; // as written
    const char* right;      // with the parentheses the grammar implies
    const char* wrong;      // grouped the other way, which must give another value
};

// From the loosest level to the tightest: || && | ^ & == < << + *. Each
// adjacent pair in both orders; the operands make the two groupings differ.
constexpr Grouping kPairs[] = {
    {"1 || 0 && 0", "1 || (0 && 0)", "(1 || 0) && 0"},
    {"0 && 0 || 1", "(0 && 0) || 1", "0 && (0 || 1)"},
    {"0 && 0 | 1", "0 && (0 | 1)", "(0 && 0) | 1"},
    {"1 | 0 && 0", "(1 | 0) && 0", "1 | (0 && 0)"},
    {"1 | 1 ^ 1", "1 | (1 ^ 1)", "(1 | 1) ^ 1"},
    {"1 ^ 0 | 1", "(1 ^ 0) | 1", "1 ^ (0 | 1)"},
    {"1 ^ 1 & 0", "1 ^ (1 & 0)", "(1 ^ 1) & 0"},
    {"0 & 1 ^ 1", "(0 & 1) ^ 1", "0 & (1 ^ 1)"},
    {"1 & 2 == 2", "1 & (2 == 2)", "(1 & 2) == 2"},
    {"2 == 2 & 1", "(2 == 2) & 1", "2 == (2 & 1)"},
    {"false == 1 < 0", "false == (1 < 0)", "(false == 1) < 0"},
    {"3 < 1 == false", "(3 < 1) == false", "3 < (1 == false)"},
    {"1 < 1 << 1", "1 < (1 << 1)", "(1 < 1) << 1"},
    {"1 << 2 < 3", "(1 << 2) < 3", "1 << (2 < 3)"},
    {"1 << 1 + 1", "1 << (1 + 1)", "(1 << 1) + 1"},
    {"1 + 1 << 1", "(1 + 1) << 1", "1 + (1 << 1)"},
    {"1 + 2 * 3", "1 + (2 * 3)", "(1 + 2) * 3"},
    {"2 * 3 + 1", "(2 * 3) + 1", "2 * (3 + 1)"},
    // Left associativity within a level.
    {"8 - 4 - 2", "(8 - 4) - 2", "8 - (4 - 2)"},
    {"64 / 8 / 2", "(64 / 8) / 2", "64 / (8 / 2)"},
    {"17 % 7 % 2", "(17 % 7) % 2", "17 % (7 % 2)"},
    {"256 >> 2 >> 1", "(256 >> 2) >> 1", "256 >> (2 >> 1)"},
    {"1 << 2 << 3", "(1 << 2) << 3", "1 << (2 << 3)"},
    {"1 === 2 === false", "(1 === 2) === false", "1 === (2 === false)"},
};

TEST_F(Language, EveryAdjacentPairOfBinaryLevelsGroupsAsTheGrammarSays)
{
    for (const Grouping& pair : kPairs) {
        const std::string right = value(pair.right);
        EXPECT_EQ(value(pair.expression), right) << pair.expression;
        EXPECT_NE(value(pair.wrong), right) << "operands do not tell the groupings apart: " << pair.expression;
    }
}

TEST_F(Language, ShiftsOfNegativeValuesAre64BitShifts)
{
    EXPECT_EQ(value("-8 >> 1"), "int -4");
    EXPECT_EQ(value("-8 >>> 1"), "int 9223372036854775804");
    EXPECT_EQ(value("-8 << 1"), "int -16");
    EXPECT_EQ(value("-1 >>> 60"), "int 15");
    EXPECT_EQ(value("-1 >> 63"), "int -1");
    EXPECT_EQ(value("-5 >> 64"), "int -1");
    EXPECT_EQ(value("-5 >>> 64"), "int 0");
    EXPECT_EQ(value("1 << 63"), "int -9223372036854775808");
    EXPECT_EQ(value("1 << 257"), "int 2"); // the count's low byte
    EXPECT_EQ(value("-8.5 >> 1"), "int -4");
    EXPECT_EQ(value("var x = -8; x >>= 1; x"), "int -4");
    EXPECT_EQ(value("var x = -8; x >>>= 1; x"), "int 9223372036854775804");
    EXPECT_EQ(value("var x = -8; x <<= 2; x"), "int -32");
    EXPECT_EQ(value("var o = {v: -64}; o.v >>= 3; o.v"), "int -8");
    EXPECT_EQ(value("var a = [-64]; a[0] >>>= 62; a[0]"), "int 3");
    EXPECT_EQ(value("function f(p) { p <<= 1; p >>= 2; return p; } f(-7)"), "int -4");
}

TEST_F(Language, NumericLiteralForms)
{
    EXPECT_EQ(value("1E3"), "float 1000");
    EXPECT_EQ(value("1e3"), "float 1000");
    EXPECT_EQ(value("2.5E-1"), "float 0.25");
    EXPECT_EQ(value("1e+2"), "float 100");
    EXPECT_EQ(value(".5"), "float 0.5");
    EXPECT_EQ(value("0.5"), "float 0.5");
    EXPECT_EQ(value("0x1F"), "int 31");
    EXPECT_EQ(value("0X1f"), "int 31");
    EXPECT_EQ(value("0xFFFFFFFF"), "int 4294967295");
    EXPECT_EQ(value("010"), "int 8");
    EXPECT_EQ(value("0"), "int 0");
    EXPECT_EQ(value("9007199254740993"), "int 9007199254740993");
    EXPECT_EQ(value("1.5e300 * 1e10 > 1e308"), "bool true");
}

TEST_F(Language, OptimizedLocalsAreSeenByHandlers)
{
    EXPECT_EQ(value("function f() { var x = 1; try { x = 5; throw x; } catch (e) { return x; } } f()"), "int 5");
    EXPECT_EQ(value("function thrower() { throw 'x'; }"
                    "function f() { var x = 1; try { x = 5; thrower(); } catch (e) { return x; } } f()"),
              "int 5");
    EXPECT_EQ(value("function f() { var x = 1; try { x = 2; } finally { x += 10; } return x; } f()"), "int 12");
    EXPECT_EQ(value("function f() { var x = 1; try { x = 2; return x; } finally { x = 3; } } f()"), "int 2");
    EXPECT_EQ(value("function f() { var x = 0; try { x = 7; throw 1; } catch (e) { x += e; } finally { x *= 2; }"
                    " return x; } f()"),
              "int 16");
    EXPECT_EQ(value("function f() { var s = 0; for (var i = 0; i < 4; i++) { try { s = s + i; if (i == 2) throw i; }"
                    " catch (e) { s = s * 10; } } return s; } f()"),
              "int 33");
    EXPECT_EQ(value("function f() { var x = 1; var y; try { x = 4; y = x; x = 6; throw 0; } catch (e) { return x + y; } } f()"),
              "int 10");
}

// The returned value is computed inside the try statements around it.
TEST_F(Language, ErrorsOfAReturnedValueReachTheHandlers)
{
    EXPECT_EQ(value("function deep() { return deep(); }"
                    "function at() { try { return deep(); } catch (e) { return 'caught ' + e; } } at()"),
              "caught Runtime error: stack overflow");
    EXPECT_EQ(value("function fails() { throw 'first'; }"
                    "function t() { try { try { return fails(); } catch (e) { throw 'inner ' + e; } } catch (e) { return e; } } t()"),
              "inner first");
    EXPECT_EQ(value("function u() { try { return 4; } catch (e) { return 0; } } var n = 0; for (var i = 0; i < 3; i++) n += u();"
                    "n"),
              "int 12");
}

TEST_F(Language, RadixBounds)
{
    EXPECT_EQ(value("(35).toString(36)"), "z");
    EXPECT_EQ(value("(-71).toString(36)"), "-1z");
    EXPECT_EQ(value("(5).toString(2)"), "101");
    EXPECT_EQ(value("(35).toString(37)"), "35");
    EXPECT_EQ(value("(35).toString(1)"), "35");
    EXPECT_EQ(value("parseInt('z', 36)"), "int 35");
    EXPECT_EQ(value("parseInt('Zz', 36)"), "int 1295");
    EXPECT_EQ(value("parseInt('z', 35)"), "NaN");
    EXPECT_EQ(value("parseInt('101', 2)"), "int 5");
    EXPECT_EQ(value("parseInt('12', 37)"), "NaN");
    EXPECT_EQ(value("parseInt('1', 1)"), "NaN");
    EXPECT_EQ(value("parseInt('0', 1)"), "NaN");
    EXPECT_EQ(value("parseInt('10', 0)"), "int 10"); // 0: chosen by the text
}

} // namespace
} // namespace orvet::test
