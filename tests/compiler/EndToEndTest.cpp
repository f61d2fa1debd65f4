// Compiled programs linked and run in an engine: what the generated code
// does, not only what it looks like.
#include <gtest/gtest.h>

#include <string>

#include "tests/engine/EngineFixture.h"

namespace orvet::test {
namespace {

using EndToEnd = EngineFixture;

TEST_F(EndToEnd, ProgramResult)
{
    EXPECT_EQ(value("1 + 2"), "int 3");
    EXPECT_EQ(value("x = 1"), "undefined");
    EXPECT_EQ(value("x = 4\nx * 2"), "int 8");
    EXPECT_EQ(value("return 5\nx = 1"), "int 5");
    EXPECT_EQ(value(""), "undefined");
}

TEST_F(EndToEnd, FunctionsAndParameters)
{
    EXPECT_EQ(value("function add(a, b) { return a + b }\nadd(2, 3)"), "int 5");
    EXPECT_EQ(value("function second(a, b) { return typeof b }\nsecond(1)"), "undefined");
    EXPECT_EQ(value("function f(a) { a += 2; a++; return a }\nf(1)"), "int 4");
    EXPECT_EQ(value("f = function (n) { return n * 10 }\nf(4)"), "int 40");
    EXPECT_EQ(value("function fact(n) { if (n <= 1) return 1; return n * fact(n - 1) }\nfact(10)"),
              "int 3628800");
}

TEST_F(EndToEnd, ArgumentsObject)
{
    EXPECT_EQ(value("function f() { return arguments.length }\nf(1, 2, 3)"), "int 3");
    EXPECT_EQ(value("function f(a) { return arguments[1] }\nf(1, 'two')"), "two");
    EXPECT_EQ(value("function f() { return arguments.callee == f }\nf()"), "bool true");
}

TEST_F(EndToEnd, NestedFunctionBecomesAPropertyOfItsFunction)
{
    EXPECT_EQ(value("function outer() { function inner() { return 7 } return 1 }\nouter()\nouter.inner()"),
              "int 7");
}

TEST_F(EndToEnd, LocalsAndGlobals)
{
    EXPECT_EQ(value("var g = 1\nfunction f() { var g = 2; return g }\nf() + g"), "int 3");
    EXPECT_EQ(value("if (true) var v = 5\ntypeof v"), "number");
    EXPECT_EQ(value("if (true) var w = 5\nfunction f() { return typeof w }\nf()"), "undefined");
    EXPECT_EQ(value("function f() { var s = 0; { var a = 1; s += a } { var b = 2; s += b } return s }\nf()"),
              "int 3");
}

TEST_F(EndToEnd, Loops)
{
    EXPECT_EQ(value("s = 0; for (var i = 0; i < 10; i++) { if (i == 3) continue; if (i == 6) break; s += i }\ns"),
              "int 12");
    EXPECT_EQ(value("i = 0; while (i < 5) i++\ni"), "int 5");
    EXPECT_EQ(value("i = 10; do i++; while (i < 5)\ni"), "int 11");
    EXPECT_EQ(value("n = 0\nouter: for (i = 0; i < 3; i++) { for (j = 0; j < 3; j++) { if (j == 1) break outer; n++ } }\nn"),
              "int 1");
}

TEST_F(EndToEnd, LabelledContinueGoesOnWithTheLabelledLoop)
{
    EXPECT_EQ(value("n = 0\nouter: for (i = 0; i < 3; i++) { for (j = 0; j < 3; j++) { if (j == 1) continue outer; n++ } }\nn"),
              "int 3");
    EXPECT_EQ(value("n = 0; i = 0\nouter: while (i < 4) { i++; for (k in [1, 2]) { if (k == 1) continue outer; n++ } }\nn"),
              "int 0");
    EXPECT_EQ(value("n = 0; i = 0\nouter: do { i++; if (i % 2) continue outer; n++ } while (i < 6)\nn"), "int 3");
}

TEST_F(EndToEnd, ForInYieldsElementsCharactersAndNames)
{
    EXPECT_EQ(value("s = 0; for (var x in [10, 20, 30]) s += x\ns"), "int 60");
    EXPECT_EQ(value("s = ''; for (c in 'AB') s += c + ','\ns"), "65,66,");
    EXPECT_EQ(value("s = ''; for (var k in {a: 1, b: 2}) s += k\ns.length"), "int 2");
}

TEST_F(EndToEnd, BreakingOutOfNestedForInKeepsTheStackLevel)
{
    // Each labelled break leaves the inner loop's state behind unless it is
    // dropped; thousands of rounds would then overflow the stack.
    EXPECT_EQ(value("n = 0\nfor (r = 0; r < 5000; r++) { outer: for (var a in [1, 2]) { for (var b in [3, 4]) { n++; break outer } } }\nn"),
              "int 5000");
    EXPECT_EQ(value("n = 0\nfor (r = 0; r < 5000; r++) { switch (r % 2) { case 0: n++; continue; default: n += 2 } }\nn"),
              "int 7500");
}

TEST_F(EndToEnd, Switch)
{
    const char* program = "function f(x) { var r = ''; switch (x) { default: r += 'd'; case 1: r += '1'; break; case 2: r += '2' } return r }\n";
    EXPECT_EQ(value((std::string(program) + "f(1)").c_str()), "1");
    EXPECT_EQ(value((std::string(program) + "f(2)").c_str()), "2");
    EXPECT_EQ(value((std::string(program) + "f(3)").c_str()), "d1");
    EXPECT_EQ(value("switch ('a') { case 'a': 5 }"), "undefined");
}

TEST_F(EndToEnd, TryCatchFinally)
{
    EXPECT_EQ(value("try { throw 'x' } catch (e) { r = e + '!' }\nr"), "x!");
    EXPECT_EQ(value("f = 0; try { r = 1 } finally { f = 1 }\nr + f"), "int 2");
    EXPECT_EQ(value("r = ''; try { try { throw 'in' } finally { r += 'f' } } catch (e) { r += e }\nr"), "fin");
    EXPECT_EQ(value("try { throw 'a' } catch (e) { try { throw 'b' } catch (e) { r = e } }\nr"), "b");
    EXPECT_EQ(value("function deep() { return deep() }\ntry { deep() } catch (e) { r = e }\nr"),
              "Runtime error: stack overflow");
    EXPECT_EQ(value("try { 1 } finally { 2 }"), "undefined");
    EXPECT_EQ(failure("try { throw 'out' } finally { f = 1 }"), std::string("out"));
}

TEST_F(EndToEnd, GuardedCatchHandlesOnlyOnce)
{
    const char* program = "function f(v) { var r = ''; try { throw v } catch (e if e == 1) { r += 'one' } catch (e) { r += 'any' } return r }\n";
    EXPECT_EQ(value((std::string(program) + "f(1)").c_str()), "one");
    EXPECT_EQ(value((std::string(program) + "f(2)").c_str()), "any");
    // No clause takes it: the exception goes on.
    EXPECT_EQ(failure("try { throw 3 } catch (e if e == 1) { r = 1 }"), std::string("3"));
}

TEST_F(EndToEnd, ReturnInsideTriesReleasesThem)
{
    EXPECT_EQ(value("function f() { try { try { return 1 } catch (e) {} } catch (e) {} }\nf(); f(); try { throw 2 } catch (e) { r = e }\nr"),
              "int 2");
}

TEST_F(EndToEnd, LeavingCatchOrFinallyInALongLoop)
{
    EXPECT_EQ(value("n = 0\nfor (i = 0; i < 5000; i++) { try { throw i } catch (e) { n++; continue } }\nn"),
              "int 5000");
    EXPECT_EQ(value("n = 0\nfor (i = 0; i < 5000; i++) { try { n++ } finally { continue } }\nn"), "int 5000");
    EXPECT_EQ(value("n = 0\nwhile (true) { try { throw 1 } catch (e) { n++; if (n == 3) break } }\nn"), "int 3");
}

TEST_F(EndToEnd, WithStatement)
{
    EXPECT_EQ(value("o = {x: 1}\nwith (o) x = 5\no.x"), "int 5");
    EXPECT_EQ(value("o = {}\no.f = 1\nwith (o) { y = f }\ny"), "int 1");
    EXPECT_EQ(value("o = {n: 0}\nwith (o) { for (i = 0; i < 3; i++) n += 2 }\no.n"), "int 6");
    EXPECT_EQ(value("function get() { return 3 }\no = {}\nwith (o) { y = get() }\ny"), "int 3");
}

TEST_F(EndToEnd, Literals)
{
    EXPECT_EQ(value("[1,,2,].length"), "int 4");
    EXPECT_EQ(value("typeof [1,,2][1]"), "undefined");
    EXPECT_EQ(value("o = {a: 1, 'b': 2, 3: 4}\no.a + o.b + o[3]"), "int 7");
    EXPECT_EQ(value("'\\x41\\101\\u0042' + #'c'"), "AAB99");
    EXPECT_EQ(value("~5"), "int -6");
    EXPECT_EQ(value("7.0"), "float 7");
    EXPECT_EQ(value("9223372036854775807 + 1"), "int -9223372036854775808");
}

TEST_F(EndToEnd, OperatorsAndValues)
{
    EXPECT_EQ(value("a = 0; b = a++; c = ++a\nb * 10 + c"), "int 2");
    EXPECT_EQ(value("0 || 'x'"), "x");
    EXPECT_EQ(value("1 && 0"), "int 0");
    EXPECT_EQ(value("1 < 2 ? 'y' : 'n'"), "y");
    EXPECT_EQ(value("void 3"), "undefined");
    EXPECT_EQ(value("typeof delete 5"), "undefined");
    EXPECT_EQ(value("o = {a: 1}\ndelete o.a\ntypeof o.a"), "undefined");
    EXPECT_EQ(value("a = [10, 20, 30]\ndelete a[1]\na[1]"), "int 30");
}

TEST_F(EndToEnd, StoresIntoValuesDoNotGrowTheStack)
{
    EXPECT_EQ(value("x = 5; y = 1\n--(--x) - y - y\nx"), "int 4");
    EXPECT_EQ(value("function f() { 1 = 2 }\nfor (i = 0; i < 10000; i++) f()\ni"), "int 10000");
}

TEST_F(EndToEnd, ManyArgumentsAndElements)
{
    std::string call = "function f() { return arguments.length }\nf(";
    std::string array = "[";
    for (int i = 0; i < 300; ++i) {
        call += i ? ",1" : "1";
        array += i ? ",1" : "1";
    }
    EXPECT_EQ(value((call + ")").c_str()), "int 300");
    EXPECT_EQ(value((array + "].length").c_str()), "int 300");
}

TEST_F(EndToEnd, CompileErrorsComeBackAsMessages)
{
    EXPECT_EQ(RunSourceText(*engine, "x = (\n"), -1);
    EXPECT_EQ(ctx().compilerMessages, "error: line 0: syntax error: invalid expression\r\n");
}

} // namespace
} // namespace orvet::test

namespace orvet::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The start-up image: four sections, the code PUSH_TRUE, RETURN and a
// function table with ".main" alone; the type words carry random bits.
Bytes startUpImage()
{
    return {'O', 'V', '1', 'b',
            0, 0x12, 0x34, 0x56, 56, 0, 0, 0, 2, 0, 0, 0,
            1, 0xAB, 0, 0, 58, 0, 0, 0, 0, 0, 0, 0,
            2, 0, 0xCD, 0, 58, 0, 0, 0, 14, 0, 0, 0,
            3, 0, 0, 0xEF, 72, 0, 0, 0, 0, 0, 0, 0,
            0xFF, 0xFF, 0xFF, 0xFF,
            0x60, 0x33,
            0, 0, 0, 1, '.', 'm', 'a', 'i', 'n', 0, 0, 0, 0, 0};
}

TEST_F(EndToEnd, StartUpImageReturnsTrue)
{
    const Bytes image = startUpImage();
    ASSERT_EQ(RunCompiledMemory(*engine, image.data(), image.size()), 1) << ctx().errorBuffer;
    EXPECT_EQ(ctx().result.kind, ValueKind::Boolean);
    Bytes withHashLine{'#', '!', 'x', '\n'};
    withHashLine.insert(withHashLine.end(), image.begin(), image.end());
    ASSERT_EQ(RunCompiledMemory(*engine, withHashLine.data(), withHashLine.size()), 1) << ctx().errorBuffer;
}

TEST_F(EndToEnd, UnknownConstantTagFailsTheLink)
{
    // Constants section: one record with tag 7, which no value kind writes.
    Bytes image = startUpImage();
    image[24] = 1; // constants length 1 ...
    image.insert(image.begin() + 58, 7);
    image[32] = 59; // ... so the function table moves one byte on
    image[44] = 73;
    EXPECT_EQ(RunCompiledMemory(*engine, image.data(), image.size()), 0);
    EXPECT_STREQ(ctx().errorBuffer, "Runtime error: Unimplemented Orvet Script bytecode");
}

TEST_F(EndToEnd, AnonymousFunctionsOfTwoModulesStayApart)
{
    EXPECT_EQ(value("f0 = function () { return 'first' }"), "undefined");
    EXPECT_EQ(value("f1 = function () { return 'second' }"), "undefined");
    EXPECT_EQ(value("f0() + f1()"), "firstsecond");
}

} // namespace
} // namespace orvet::test
