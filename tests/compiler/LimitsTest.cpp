// Programs at the edges of size: long flat expressions, functions whose
// stack or locals exceed what fits in a jump's check bits, and number
// constants that differ only far behind the decimal point.
#include <gtest/gtest.h>

#include <string>

#include "tests/engine/EngineFixture.h"

namespace orvet::test {
namespace {

using Limits = EngineFixture;

// "head term sep term sep ... term tail" with n terms.
std::string chain(const std::string& head, const std::string& term, const std::string& sep, int n,
                  const std::string& tail)
{
    std::string text = head;
    for (int i = 0; i < n; ++i) {
        if (i)
            text += sep;
        text += term;
    }
    return text + tail;
}

TEST_F(Limits, LongFlatExpressionsCompileAndRun)
{
    EXPECT_EQ(value(chain("x = ", "1", "+", 1000, "; x").c_str()), "int 1000");
    EXPECT_EQ(value(chain("x = ", "1", " + ", 100000, "; x").c_str()), "int 100000");
    // (The run time of a long concatenation is the copying of its text.)
    EXPECT_EQ(value(chain("s = ", "'ab'", "+", 20000, "; s.length").c_str()), "int 40000");
    EXPECT_EQ(value(chain("y = ", "2", " * 1 - 1 + ", 20000, "; y").c_str()), "int 20001");
    EXPECT_EQ(value(chain("f = 0; z = ", "f", " || ", 50000, " || 'last'; z").c_str()), "last");
    EXPECT_EQ(value(chain("t = 1; w = ", "t", " && ", 50000, "; w").c_str()), "int 1");
    EXPECT_EQ(value(chain("c = (", "1", ", ", 50000, ", 'end'); c").c_str()), "end");
    // A generated data table: one long array literal of sums.
    EXPECT_EQ(value(chain("d = [", "1+2", ", ", 2000, "]; d.length + d[1999]").c_str()), "int 2003");
}

TEST_F(Limits, RealNestingIsStillBoundedWithoutOverflowingTheHost)
{
    for (const std::string& program : {chain("x = ", "(", "", 100000, "1") + std::string(100000, ')'),
                                       chain("x = ", "-", "", 100000, "1"),
                                       chain("x = ", "[", "", 100000, "") + std::string(100000, ']'),
                                       chain("", "if (1) ", "", 100000, "x = 1;"),
                                       chain("x = 1", " + (1", "", 5000, "") + std::string(5000, ')')}) {
        EXPECT_EQ(RunSourceText(*engine, program.c_str()), -1);
        EXPECT_NE(ctx().compilerMessages.find("nesting too deep"), std::string::npos)
            << ctx().compilerMessages.substr(0, 200);
    }
}

// A loop around a 5,000-element array literal: the loop's backward jump
// must carry a stack need above 4095.
std::string bigLiteralLoop()
{
    return chain("var s = 0; for (var i = 0; i < 3; i++) { var a = [", "i", ", ", 5000, "]; s += a.length + a[4999]; } s");
}

// A function with 5,000 locals and a loop and a handler that read them.
std::string manyLocals()
{
    std::string text = "function f() {";
    for (int i = 0; i < 5000; ++i)
        text += "var v" + std::to_string(i) + " = " + std::to_string(i) + ";";
    return text + "var t = 0; for (var i = 0; i < 2; i++) t += v4999;"
                  "try { throw 1; } catch (e) { t += e + v4998; } return t; } f()";
}

TEST(LimitsOfTheStack, LargeFunctionsLinkWhenTheStackHoldsThem)
{
    EngineConfig config;
    config.stackSize = 40000;
    EnginePtr engine = CreateEngine(config);
    ASSERT_TRUE(engine);
    ASSERT_EQ(RunSourceText(*engine, bigLiteralLoop().c_str()), 1) << engine->context->errorBuffer;
    EXPECT_EQ(engine->context->result.integer, 15003);
    ASSERT_EQ(RunSourceText(*engine, manyLocals().c_str()), 1) << engine->context->errorBuffer;
    EXPECT_EQ(engine->context->result.integer, 2 * 4999 + 1 + 4998);
}

TEST(LimitsOfTheStack, ASmallStackOverflowsAtRunTime)
{
    EnginePtr engine = CreateEngine();
    ASSERT_TRUE(engine);
    EXPECT_EQ(RunSourceText(*engine, bigLiteralLoop().c_str()), 0);
    EXPECT_STREQ(engine->context->errorBuffer, "Runtime error: stack overflow");
    EXPECT_EQ(RunSourceText(*engine, manyLocals().c_str()), 0);
    EXPECT_STREQ(engine->context->errorBuffer, "Runtime error: stack overflow");
}

TEST_F(Limits, NumberConstantsAreKeptApartByTheirBits)
{
    EXPECT_EQ(value("1e-31 == 2e-31"), "bool false");
    EXPECT_EQ(value("2e-31 / 1e-31"), "float 2");
    EXPECT_EQ(value("0.1 + 1e-300 == 0.1"), "bool true");
    EXPECT_EQ(value("1e-320 == 2e-320"), "bool false");
    EXPECT_EQ(value("1 / 0.0 > 0 && 1 / -0.0 < 0"), "bool true");
    EXPECT_EQ(value("var p = 0.0, n = -0.0; 1 / p > 0 && 1 / n < 0"), "bool true");
    EXPECT_EQ(value("1.0000000000000002 == 1.0"), "bool false");
}

} // namespace
} // namespace orvet::test
