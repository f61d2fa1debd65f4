// Instruction sequences of the code generator, compared as disassembly.
#include <gtest/gtest.h>

#include "TestSupport.h"

namespace orvet::test {
namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(CodeGenerator, TopLevelAssignmentKeepsNoCopy)
{
    EXPECT_EQ(functionCode("x = 1"),
              "     0  PUSH_1\n"
              "     1  SET_GLOBAL x\n"
              "     6  PUSH_UNDEFINED\n");
}

TEST(CodeGenerator, LastExpressionIsTheResult)
{
    EXPECT_EQ(functionCode("1 + 2"),
              "     0  PUSH_1\n"
              "     1  PUSH_2\n"
              "     2  ADD\n");
    EXPECT_EQ(functionCode("f()"),
              "     0  PUSH_0\n"
              "     1  GET_GLOBAL f\n"
              "     6  CALL\n"
              "     7  NIP 2\n");
}

TEST(CodeGenerator, ConstantTrueConditionLeavesNoJump)
{
    EXPECT_EQ(functionCode("if (true) x = 1"),
              "     0  PUSH_1\n"
              "     1  SET_GLOBAL x\n"
              "     6  PUSH_UNDEFINED\n");
}

TEST(CodeGenerator, IfElseWithTypedJumps)
{
    EXPECT_EQ(functionCode("if (a < 1) x = 1; else x = 2"),
              "     0  GET_GLOBAL a\n"
              "     5  PUSH_1\n"
              "     6  LT\n"
              "     7  JUMP_IF_FALSE_BOOL -> 23\n"
              "    12  PUSH_1\n"
              "    13  SET_GLOBAL x\n"
              "    18  JUMP -> 29\n"
              "    23  PUSH_2\n"
              "    24  SET_GLOBAL x\n"
              "    29  PUSH_UNDEFINED\n");
    EXPECT_TRUE(contains(functionCode("if (a) x = 1"), "JUMP_IF_FALSE -> "));
}

TEST(CodeGenerator, WithTurnsGlobalsIntoNames)
{
    EXPECT_EQ(functionCode("with (o) x = 1"),
              "     0  GET_GLOBAL o\n"
              "     5  WITH_PUSH\n"
              "     6  PUSH_1\n"
              "     7  SET_NAME x\n"
              "    12  WITH_POP 1\n"
              "    14  PUSH_UNDEFINED\n");
    EXPECT_TRUE(contains(functionCode("with (o) f(1)"), "GET_NAME f\n"));
    EXPECT_TRUE(contains(functionCode("with (o) f(1)"), "CALL_NAME f\n"));
    EXPECT_TRUE(contains(functionCode("with (o) delete x"), "DELETE_NAME x\n"));
    EXPECT_TRUE(contains(functionCode("delete x"), "DISPOSE_GLOBAL x\n"));
    // A loop inside the with statement does not hide it.
    EXPECT_TRUE(contains(functionCode("with (o) while (c) x = 1"), "SET_NAME x\n"));
    EXPECT_TRUE(contains(functionCode("with (o) while (c) x = 1"), "GET_NAME c\n"));
    EXPECT_TRUE(contains(functionCode("with (o) {}\nx = 1"), "SET_GLOBAL x\n"));
}

TEST(CodeGenerator, SiblingBlocksShareSlots)
{
    // b and c share slot 1. Each is stored and reloaded at once and never
    // read again, so the store and the reload go: the value stays stacked.
    EXPECT_EQ(functionCode("function f() { var a = 1; { var b = 2; g(b) } { var c = 3; g(c) } }", "f"),
              "     0  GET_ARG 1\n"
              "     2  ADD2\n"
              "     3  ARGS 2\n"
              "     5  LOCALS 2\n"
              "     8  PUSH_1\n"
              "     9  SET_LOCAL 0\n"
              "    12  PUSH_2\n"
              "    13  PUSH_1\n"
              "    14  GET_GLOBAL g\n"
              "    19  CALL\n"
              "    20  DROP 4\n"
              "    22  PUSH_3\n"
              "    23  PUSH_1\n"
              "    24  GET_GLOBAL g\n"
              "    29  CALL\n"
              "    30  DROP 4\n"
              "    32  PUSH_UNDEFINED\n"
              "    33  RETURN\n");
    EXPECT_TRUE(contains(functionCode("function f() { { var b = 2; g(b); g(b) } { var c = 3; g(c) } }", "f"),
                         "SET_LOCAL 0\n"));
}

TEST(CodeGenerator, ArgumentsObjectInPrologue)
{
    EXPECT_EQ(functionCode("function f() { return arguments }", "f"),
              "     0  GET_ARG 1\n"
              "     2  ADD2\n"
              "     3  ARGS 2\n"
              "     5  LOCALS 1\n"
              "     8  PUSH_0\n"
              "     9  GET_GLOBAL Object\n"
              "    14  NEW\n"
              "    15  SWAP\n"
              "    16  NIP 2\n"
              "    18  SET_LOCAL 0\n"
              "    21  PUSH_0\n"
              "    22  DUP\n"
              "    23  GET_ARG 1\n"
              "    25  GE\n"
              "    26  JUMP_IF_TRUE_BOOL -> 47\n"
              "    31  DUP\n"
              "    32  DUP\n"
              "    33  ADD2\n"
              "    34  GET_FRAME_SLOT\n"
              "    35  SWAP\n"
              "    36  GET_LOCAL 0\n"
              "    39  SWAP\n"
              "    40  SET_ELEM\n"
              "    41  INC\n"
              "    42  JUMP -> 22\n"
              "    47  GET_LOCAL 0\n"
              "    50  SET_PROP length\n"
              "    55  GET_GLOBAL f\n"
              "    60  GET_LOCAL 0\n"
              "    63  SET_PROP callee\n"
              "    68  GET_LOCAL 0\n"
              "    71  RETURN\n");
}

// The value is computed inside the tries (its errors reach their handlers),
// then both are left.
TEST(CodeGenerator, ReturnInsideTwoTriesEndsBothAfterTheValue)
{
    const std::string code = functionCode("function f() { try { try { return 1 } catch (e) {} } catch (e) {} }", "f");
    EXPECT_TRUE(contains(code, "  PUSH_1\n    ") && contains(code, "END_TRY 2\n    ") &&
                code.find("  PUSH_1\n") < code.find("END_TRY 2\n") &&
                code.find("END_TRY 2\n") < code.find("RETURN\n")) << code;
}

TEST(CodeGenerator, VarInsideIfAtTopLevelIsLocal)
{
    EXPECT_EQ(functionCode("if (a) var v = 5"),
              "     0  LOCALS 1\n"
              "     3  GET_GLOBAL a\n"
              "     8  JUMP_IF_FALSE -> 21\n"
              "    13  PUSH_CONST 5\n"
              "    18  SET_LOCAL 0\n"
              "    21  PUSH_UNDEFINED\n");
    EXPECT_TRUE(contains(functionCode("var v = 5"), "SET_GLOBAL v\n"));
}

TEST(CodeGenerator, InvalidBreakAndContinue)
{
    EXPECT_EQ(errors("x = 1\nbreak\ny = 2"), "error: line 2: invalid break\r\n");
    EXPECT_EQ(errors("switch (x) { case 1: continue }"), "error: line 0: invalid continue\r\n");
    EXPECT_EQ(errors("while (x) { break nowhere }"), "error: line 0: invalid break\r\n");
    EXPECT_EQ(errors("while (x) { switch (y) { case 1: continue } }"), "COMPILED: ");
}

TEST(CodeGenerator, ContinueOutOfSwitchPopsTheDiscriminant)
{
    EXPECT_EQ(functionCode("while (a) { switch (b) { case 1: continue } }"),
              "     0  GET_GLOBAL a\n"
              "     5  JUMP_IF_FALSE -> 35\n"
              "    10  GET_GLOBAL b\n"
              "    15  DUP\n"
              "    16  PUSH_1\n"
              "    17  STRICT_EQ\n"
              "    18  JUMP_IF_FALSE_BOOL -> 29\n"
              "    23  POP\n"
              "    24  JUMP -> 0\n"
              "    29  POP\n"
              "    30  JUMP -> 0\n"
              "    35  PUSH_UNDEFINED\n");
}

TEST(CodeGenerator, LabelledBreakOutOfForInDropsItsState)
{
    const std::string code = functionCode("outer: for (x in o) { for (y in p) { break outer } }");
    // The inner loop's collection and index go before the jump out.
    const auto breakJump = code.find("DROP 2\n");
    ASSERT_NE(breakJump, std::string::npos) << code;
    EXPECT_NE(code.find("JUMP", breakJump), std::string::npos);
}

TEST(CodeGenerator, ContinueInsideCatchDropsFlagAndException)
{
    const std::string code = functionCode("while (a) { try { f() } catch (e) { continue } }");
    EXPECT_TRUE(contains(code, "END_TRY 1\n") && contains(code, "DROP 2\n")) << code;
}

TEST(CodeGenerator, Literals)
{
    const std::string text = listing("a = 7; b = 7.0; c = 'hi'; d = 'hi'; e = /x+/gi; f = -1; g = 0; h = 3");
    EXPECT_TRUE(contains(text, "constants:\n"
                               "     0  7\n"
                               "     1  a\n"
                               "     2  7\n"
                               "     3  b\n"
                               "     4  \"hi\"\n"
                               "     5  c\n"
                               "     6  d\n"
                               "     7  /\"x+\"/gi\n"
                               "     8  e\n"
                               "     9  f\n"
                               "    10  g\n"
                               "    11  h\n")) << text;
    EXPECT_TRUE(contains(text, "    50  PUSH_1\n"
                               "    51  NEG\n"));
}

TEST(CodeGenerator, CompoundAssignmentAndIncrements)
{
    EXPECT_EQ(functionCode("function f(a) { a += 2; a++; --a; return a-- }", "f"),
              "     0  GET_ARG 1\n"
              "     2  ADD2\n"
              "     3  ARGS 3\n"
              "     5  GET_ARG 2\n"
              "     7  PUSH_2\n"
              "     8  ADD\n"
              "     9  SET_ARG 2\n"
              "    11  GET_ARG 2\n"
              "    13  PUSH_1\n"
              "    14  ADD\n"
              "    15  SET_ARG 2\n"
              "    17  GET_ARG 2\n"
              "    19  PUSH_1\n"
              "    20  SUB\n"
              "    21  SET_ARG 2\n"
              "    23  GET_ARG 2\n"
              "    25  DUP\n"
              "    26  PUSH_1\n"
              "    27  SUB\n"
              "    28  SET_ARG 2\n"
              "    30  RETURN\n");
}

TEST(CodeGenerator, CallsAndMembers)
{
    // A call among the target's pushes keeps the assigned copy, which then
    // stays as the program's result.
    EXPECT_EQ(functionCode("o.m(1, 'a')[2] = o.p"),
              "     0  GET_GLOBAL o\n"
              "     5  GET_PROP p\n"
              "    10  DUP\n"
              "    11  PUSH_CONST \"a\"\n"
              "    16  PUSH_1\n"
              "    17  PUSH_2\n"
              "    18  GET_GLOBAL o\n"
              "    23  CALL_METHOD m\n"
              "    28  NIP 4\n"
              "    30  PUSH_2\n"
              "    31  SET_ELEM\n");
}

TEST(CodeGenerator, NewAndLiterals)
{
    EXPECT_EQ(functionCode("x = new Date"),
              "     0  PUSH_0\n"
              "     1  GET_GLOBAL Date\n"
              "     6  NEW\n"
              "     7  SWAP\n"
              "     8  NIP 2\n"
              "    10  SET_GLOBAL x\n"
              "    15  PUSH_UNDEFINED\n");
    EXPECT_EQ(functionCode("x = {a: 1, 'b': 2, 3: 4}"),
              "     0  PUSH_0\n"
              "     1  GET_GLOBAL Object\n"
              "     6  NEW\n"
              "     7  SWAP\n"
              "     8  NIP 2\n"
              "    10  DUP\n"
              "    11  PUSH_CONST 4\n"
              "    16  SWAP\n"
              "    17  PUSH_3\n"
              "    18  SET_ELEM\n"
              "    19  DUP\n"
              "    20  PUSH_2\n"
              "    21  SWAP\n"
              "    22  PUSH_CONST \"b\"\n"
              "    27  SET_ELEM\n"
              "    28  DUP\n"
              "    29  PUSH_1\n"
              "    30  SWAP\n"
              "    31  SET_PROP a\n"
              "    36  SET_GLOBAL x\n"
              "    41  PUSH_UNDEFINED\n");
}

TEST(CodeGenerator, ManyArgumentsSplitTheNip)
{
    std::string call = "f(";
    for (int i = 0; i < 200; ++i)
        call += i ? ",0" : "0";
    const std::string code = functionCode(call + ")");
    EXPECT_TRUE(contains(code, "PUSH_INT 200\n") && contains(code, "NIP 127\n") && contains(code, "NIP 75\n"))
        << code;
}

TEST(CodeGenerator, DeleteOfAValueStillYieldsOne)
{
    EXPECT_EQ(functionCode("delete 5"),
              "     0  PUSH_CONST 5\n"
              "     5  POP\n"
              "     6  PUSH_UNDEFINED\n");
}

TEST(CodeGenerator, StoreIntoAValueKeepsTheStackBalanced)
{
    EXPECT_EQ(functionCode("function f() { 1 = 2 }", "f"),
              "     0  GET_ARG 1\n"
              "     2  ADD2\n"
              "     3  ARGS 2\n"
              "     5  PUSH_2\n"
              "     6  POP\n"
              "     7  PUSH_UNDEFINED\n"
              "     8  RETURN\n");
}

TEST(CodeGenerator, CopyIsKeptWhenItsOriginalIsUsed)
{
    // The outer decrement's copy is discarded by the store into a value;
    // the SUB that follows takes the original, so the DUP must stay.
    EXPECT_EQ(functionCode("--(--x) - y"),
              "     0  GET_GLOBAL x\n"
              "     5  PUSH_1\n"
              "     6  SUB\n"
              "     7  DUP\n"
              "     8  SET_GLOBAL x\n"
              "    13  PUSH_1\n"
              "    14  SUB\n"
              "    15  DUP\n"
              "    16  POP\n"
              "    17  GET_GLOBAL y\n"
              "    22  SUB\n");
}

TEST(CodeGenerator, ForInLoopShape)
{
    EXPECT_EQ(functionCode("for (var k in o) f(k)"),
              "     0  LOCALS 1\n"
              "     3  GET_GLOBAL o\n"
              "     8  DUP\n"
              "     9  PUSH_0\n"
              "    10  SWAP\n"
              "    11  PUSH_0\n"
              "    12  ITER_NEXT\n"
              "    13  JUMP_IF_FALSE_BOOL -> 41\n"
              "    18  PUSH_1\n"
              "    19  GET_GLOBAL f\n"
              "    24  CALL\n"
              "    25  DROP 4\n"
              "    27  PUSH_1\n"
              "    28  ADD\n"
              "    29  DUP\n"
              "    30  ROLL -3\n"
              "    32  DUP\n"
              "    33  ROLL 4\n"
              "    35  SWAP\n"
              "    36  JUMP -> 12\n"
              "    41  POP\n"
              "    42  DROP 2\n"
              "    44  PUSH_UNDEFINED\n");
}

TEST(CodeGenerator, GuardedCatchEndsHandlingAtFirstMatch)
{
    const std::string code = functionCode("try { f() } catch (e if e == 1) { a() } catch (e) { b() }");
    // Each clause body ends with a jump to the common end of the clauses,
    // so b() does not run after a().
    const auto a = code.find("GET_GLOBAL a");
    const auto b = code.find("GET_GLOBAL b");
    ASSERT_NE(a, std::string::npos);
    const auto jumpAfterA = code.find("JUMP ->", a);
    EXPECT_LT(jumpAfterA, b) << code;
}

TEST(CodeGenerator, EmptyProgramHasNoMain)
{
    EXPECT_EQ(listing(""), "");
    EXPECT_EQ(listing("function f() {}"),
              "f:\n"
              "     0  GET_ARG 1\n"
              "     2  ADD2\n"
              "     3  ARGS 2\n"
              "     5  PUSH_UNDEFINED\n"
              "     6  RETURN\n");
}

} // namespace
} // namespace orvet::test
