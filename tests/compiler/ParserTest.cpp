// Syntax errors, their texts and lines, and the shapes the parser accepts,
// observed through whole compilations.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace orvet::test {
namespace {

constexpr std::uint32_t kWarnSemicolon = CompileOptions::kWarnMissingSemicolon;

TEST(Parser, StatementsOnSeparateLinesNeedNoSemicolon)
{
    EXPECT_EQ(errors("a = 1\nb = 2\n"), "COMPILED: ");
    EXPECT_EQ(errors("a = 1 b = 2"), "error: line 0: missing ;\r\n");
    EXPECT_EQ(errors("a = 1\nb = 2", kWarnSemicolon),
              "COMPILED: warning: line 0: missing ;\r\nwarning: line 1: missing ;\r\n");
    EXPECT_EQ(errors("a = 1;\nb = 2;", kWarnSemicolon), "COMPILED: ");
    // Reported at the line of the last token consumed.
    EXPECT_EQ(errors("a = 1\n}"), "error: line 0: syntax error: invalid statement\r\n");
    EXPECT_EQ(errors("x = 1 \x80"), "error: line 0: missing ;\r\n");
}

TEST(Parser, ReturnValueOnlyOnItsLine)
{
    EXPECT_EQ(functionCode("function f() { return\n x }", "f"),
              "     0  GET_ARG 1\n"
              "     2  ADD2\n"
              "     3  ARGS 2\n"
              "     5  PUSH_UNDEFINED\n"
              "     6  RETURN\n");
    EXPECT_EQ(errors("function f() { return }"), "error: line 0: syntax error: invalid return\r\n");
    EXPECT_EQ(errors("function f() { return; }"), "COMPILED: ");
    EXPECT_EQ(errors("function f() { return\n}"), "COMPILED: ");
}

TEST(Parser, FunctionExpressionsOnlyAfterAssignment)
{
    EXPECT_EQ(listing("f = function (a) { return a }"),
              "@F_0:\n"
              "     0  GET_ARG 1\n"
              "     2  ADD2\n"
              "     3  ARGS 3\n"
              "     5  GET_ARG 2\n"
              "     7  RETURN\n"
              ".main:\n"
              "     8  GET_GLOBAL @F_0\n"
              "    13  SET_GLOBAL f\n"
              "    18  PUSH_UNDEFINED\n"
              "constants:\n"
              "     0  @F_0\n"
              "     1  f\n");
    EXPECT_EQ(errors("var f = function () {}"), "error: line 0: syntax error: invalid variable initialization\r\n");
    EXPECT_EQ(errors("g(function () {})"), "error: line 0: syntax error: missing ) after argument list\r\n");
}

TEST(Parser, NestedAndAnonymousFunctionsAreNumberedInOrder)
{
    const std::string text = listing("function outer() { function inner() {} a = function () {} }\nb = function () {}");
    // inner gets @F_0, the anonymous one inside outer @F_1, the last @F_2;
    // inner functions precede the function around them.
    const auto at = [&](const char* s) { return text.find(s); };
    ASSERT_NE(at("@F_0:"), std::string::npos) << text;
    EXPECT_LT(at("@F_0:"), at("@F_1:"));
    EXPECT_LT(at("@F_1:"), at("outer:"));
    EXPECT_LT(at("outer:"), at("@F_2:"));
    EXPECT_LT(at("@F_2:"), at(".main:"));
    EXPECT_NE(text.find("SET_PROP inner"), std::string::npos);
}

TEST(Parser, ArrayHoles)
{
    EXPECT_NE(listing("x = [1,,2,]").find("PUSH_INT -4"), std::string::npos);
    EXPECT_NE(listing("x = [1,]").find("PUSH_INT -2"), std::string::npos);
    EXPECT_NE(listing("x = [,]").find("PUSH_INT -2"), std::string::npos);
    EXPECT_NE(listing("x = []").find("PUSH_INT 0"), std::string::npos);
    EXPECT_EQ(errors("x = [1 2]"), "error: line 0: syntax error: missing ] after element list\r\n");
}

TEST(Parser, SwitchWithTwoDefaults)
{
    EXPECT_EQ(errors("switch (x) {\ndefault: a()\ndefault: b()\n}"), "error: line 3: more than one switch default\r\n");
    EXPECT_EQ(errors("switch (x) { case 1 a() }"), "error: line 0: syntax error: missing : after case label\r\n");
    EXPECT_EQ(errors("switch (x) {\n a() }"), "error: line 1: syntax error: missing } after switch block\r\n");
}

TEST(Parser, TryForms)
{
    EXPECT_EQ(errors("try { a() } catch (e if e == 1) { b() } catch (e) { c() }"), "COMPILED: ");
    EXPECT_EQ(errors("try a(); finally b();"), "COMPILED: ");
    EXPECT_EQ(errors("try { a() }\nx = 1"), "error: line 1: syntax error: missing catch or finally after try\r\n");
    EXPECT_EQ(errors("try { a() } catch (1) {}"), "error: line 0: syntax error: missing identifier in catch\r\n");
    EXPECT_EQ(errors("try { a() } catch e {}"), "error: line 0: syntax error: missing ( before catch\r\n");
    EXPECT_EQ(errors("try { a() } catch (e if) {}"), "error: line 0: syntax error: invalid statement\r\n");
}

TEST(Parser, PostfixOperatorOnNextLineStartsAStatement)
{
    EXPECT_EQ(functionCode("a\n++b"),
              "     0  GET_GLOBAL a\n"
              "     5  POP\n"
              "     6  GET_GLOBAL b\n"
              "    11  PUSH_1\n"
              "    12  ADD\n"
              "    13  SET_GLOBAL b\n"
              "    18  PUSH_UNDEFINED\n");
}

TEST(Parser, ForInForms)
{
    EXPECT_EQ(errors("for (var a, b in o) {}"), "error: line 0: syntax error: more than one variable declaration\r\n");
    EXPECT_EQ(errors("for (a.b in o) {}"), "error: line 0: syntax error: illegal identifier\r\n");
    EXPECT_EQ(errors("for (a in ) {}"), "error: line 0: syntax error: invalid expression\r\n");
    EXPECT_EQ(errors("for a in o {}"), "error: line 0: syntax error: missing ( after for\r\n");
    EXPECT_EQ(errors("for (a = 1 a) {}"), "error: line 0: syntax error: missing ; after for-loop initializer\r\n");
    EXPECT_EQ(errors("for (;;a b) {}"), "error: line 0: syntax error: missing ) after for-loop control\r\n");
}

TEST(Parser, InIsNoOperator)
{
    EXPECT_EQ(errors("a in b"), "error: line 0: missing ;\r\n");
}

TEST(Parser, ReservedWordsCannotStartAStatement)
{
    for (const char* word : {"class", "const", "debugger", "enum", "export", "extends", "import", "super"})
        EXPECT_EQ(errors(std::string(word) + " x"), "error: line 0: syntax error: invalid statement\r\n") << word;
}

TEST(Parser, SlashEqualsIsNoRegularExpression)
{
    EXPECT_EQ(errors("x = /=a/"), "error: line 0: syntax error: invalid expression\r\n");
    EXPECT_EQ(errors("/=a/"), "error: line 0: syntax error: invalid statement\r\n");
    EXPECT_EQ(errors("{ /=a/ }"), "error: line 0: syntax error: missing } after block\r\n");
}

TEST(Parser, ErrorTextsAndLines)
{
    struct Case {
        const char* source;
        const char* message;
    };
    const Case cases[] = {
        {"var", "error: line 0: syntax error: missing variable name\r\n"},
        {"var a,\n1", "error: line 1: syntax error: illegal identifier\r\n"},
        {"var a =", "error: line 0: syntax error: invalid variable initialization\r\n"},
        {"x = {a 1}", "error: line 0: syntax error: missing : after property id\r\n"},
        {"x = {\n+: 1}", "error: line 1: syntax error: invalid property id\r\n"},
        {"x = {a: 1\n b: 2}", "error: line 1: syntax error: missing } after property list\r\n"},
        {"x = {a: 1,}", "COMPILED: "},
        {"x = a[1", "error: line 0: syntax error: missing ] in index expression\r\n"},
        {"x = a ? b", "error: line 0: syntax error: missing : in conditional expression\r\n"},
        {"f(1\n2)", "error: line 1: syntax error: missing ) after argument list\r\n"},
        {"f(1,)", "error: line 0: syntax error: invalid expression\r\n"},
        {"function f {}", "error: line 0: syntax error: missing ( before formal parameters\r\n"},
        {"function f(a b) {}", "error: line 0: syntax error: missing ) after formal parameters\r\n"},
        {"function f(1) {}", "error: line 0: syntax error: illegal identifier\r\n"},
        {"function f() x", "error: line 0: syntax error: invalid function body\r\n"},
        {"{ a()", "error: line 0: syntax error: missing } after block\r\n"},
        {"if x", "error: line 0: syntax error: missing ( before condition\r\n"},
        {"if ()", "error: line 0: syntax error: invalid condition expression\r\n"},
        {"if (x", "error: line 0: syntax error: missing ) after condition\r\n"},
        {"if (x)", "error: line 0: syntax error: invalid statement\r\n"},
        {"if (x) a(); else", "error: line 0: syntax error: invalid statement\r\n"},
        {"do a(); until (x)", "error: line 0: syntax error: missing while after do-loop body\r\n"},
        {"while (x) ", "error: line 0: syntax error: invalid statement\r\n"},
        {"for (+;;) {}", "error: line 0: syntax error: invalid expression\r\n"},
        {"for (;+;) {}", "error: line 0: syntax error: invalid expression\r\n"},
        {"for (; x x) {}", "error: line 0: syntax error: missing ; after for-loop condition\r\n"},
        {"for (;;]) {}", "error: line 0: syntax error: invalid for-loop control expression\r\n"},
        {"for (; ]; ) {}", "error: line 0: syntax error: invalid for-loop condition expression\r\n"},
        {"for (] ;;) {}", "error: line 0: syntax error: invalid for-loop initializer or for-in expression\r\n"},
        {"lbl:", "error: line 0: syntax error: invalid label\r\n"},
        {"throw", "error: line 0: syntax error: invalid throw\r\n"},
        {"with o {}", "error: line 0: syntax error: missing ( before with-statement object\r\n"},
        {"with () {}", "error: line 0: syntax error: invalid with-statement object\r\n"},
        {"with (o {}", "error: line 0: syntax error: missing ) after with-statement object\r\n"},
        {"with (o)", "error: line 0: syntax error: invalid with block\r\n"},
        {"switch x", "error: line 0: syntax error: missing ( before switch expression\r\n"},
        {"switch () {}", "error: line 0: syntax error: invalid switch expression\r\n"},
        {"switch (x {}", "error: line 0: syntax error: missing ) after switch expression\r\n"},
        {"switch (x) case", "error: line 0: syntax error: missing { before switch body\r\n"},
        {"switch (x) { case : }", "error: line 0: syntax error: invalid case expression\r\n"},
        {"x = (1", "error: line 0: syntax error: invalid expression\r\n"},
        {"x = 1 +", "error: line 0: syntax error: invalid expression\r\n"},
        {"x = a.+", "error: line 0: syntax error: illegal identifier\r\n"},
        {"x = a.1", "error: line 0: missing ;\r\n"}, // ".1" is a number
        {"x = new", "error: line 0: syntax error: invalid expression\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errors(c.source), c.message) << c.source;
}

TEST(Parser, LabelMustStandOnTheIdentifiersLine)
{
    EXPECT_EQ(errors("lbl:\nwhile (x) break lbl;"), "COMPILED: ");
    EXPECT_EQ(errors("lbl\n: x"), "error: line 0: syntax error: invalid statement\r\n");
}

TEST(Parser, DeepNestingIsRefusedNotCrashed)
{
    const std::string parens = "x = " + std::string(1000, '(') + "1" + std::string(1000, ')');
    EXPECT_EQ(errors(parens), "error: line 0: syntax error: nesting too deep\r\n");
    // A long flat chain is not nesting; a chain that nests on the right is.
    std::string sum = "x = 1";
    for (int i = 0; i < 5000; ++i)
        sum += "+1";
    EXPECT_EQ(errors(sum), "COMPILED: ");
    std::string rightSum = "x = 1";
    for (int i = 0; i < 1000; ++i)
        rightSum += "+(1";
    EXPECT_EQ(errors(rightSum + std::string(1000, ')')), "error: line 0: syntax error: nesting too deep\r\n");
    std::string ifs;
    for (int i = 0; i < 1000; ++i)
        ifs += "if (a) ";
    EXPECT_EQ(errors(ifs + "b()"), "error: line 0: syntax error: nesting too deep\r\n");
    EXPECT_EQ(errors(std::string(1000, '!') + "x"), "error: line 0: syntax error: nesting too deep\r\n");
    EXPECT_EQ(errors("x = " + std::string(50, '(') + "1" + std::string(50, ')')), "COMPILED: ");
}

} // namespace
} // namespace orvet::test
