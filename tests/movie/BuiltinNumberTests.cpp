// Numbers as the built-ins show and read them: the text of a number, text
// read as a number by each file version, the global parsing functions, and
// Number, Boolean and Math. Expected texts follow the language reference and
// the player's documented output.
#include "ScriptPhrases.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

using namespace phrase;

TEST(BuiltinNumbers, TextOfNumbersWithFifteenDigitsAndExponents)
{
    EXPECT_EQ(traced({N(0.1 + 0.2), N(1.0 / 3), N(-0.0), N(123456789012345.0), N(1e15), N(1234567890123456.0),
                      N(1e21), N(1.5e-7), N(0.0001), N(0.00001), N(0.000001), N(-2.5e-10), N(1.7976931348623157e308),
                      N(4.9406564584124654e-324), N(100), N(-42.125), N(0.5), Div(N(1), N(0)), Div(N(-1), N(0)),
                      Div(N(0), N(0)), N(99999999999999.99), N(999999999999999.9)}),
              lines({"0.3", "0.333333333333333", "0", "123456789012345", "1e+15", "1.23456789012346e+15", "1e+21",
                     "1.5e-7", "0.0001", "0.00001", "1e-6", "-2.5e-10", "1.79769313486232e+308",
                     "4.94065645841247e-324", "100", "-42.125", "0.5", "Infinity", "-Infinity", "NaN",
                     "100000000000000", "1e+15"}));
}

TEST(BuiltinNumbers, TextReadAsNumberByVersion)
{
    auto number = [](const char* text) { return Call("Number", {S(text)}); };
    std::initializer_list<Expr> cases = {number("0x1F"), number("-0x10"), number("017"), number("019"),
                                         number("  12.5\t"), number(""), number("1e3"), number("12px"),
                                         number("Infinity"), number("0x"), number(".5"), number("+7")};
    EXPECT_EQ(traced(cases, 8), lines({"31", "-16", "15", "19", "12.5", "NaN", "1000", "NaN", "NaN", "NaN", "0.5", "7"}));
    EXPECT_EQ(traced(cases, 6), lines({"31", "-16", "15", "19", "12.5", "0", "1000", "NaN", "NaN", "NaN", "0.5", "7"}));
    EXPECT_EQ(traced(cases, 5), lines({"NaN", "NaN", "17", "19", "12.5", "0", "1000", "NaN", "NaN", "NaN", "0.5", "7"}));
}
} // namespace
} // namespace lumbra::movie::test
