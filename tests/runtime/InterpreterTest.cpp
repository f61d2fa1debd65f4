// The interpreter: every instruction, calls and frames, try/throw, with
// scopes, native classes, collection points and the hook.
#include <cmath>

#include <gtest/gtest.h>

#include "script/runtime/Calls.h"
#include "script/runtime/Closure.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptObject.h"
#include "tests/runtime/ScriptRunner.h"

namespace orvet::test {
namespace {

using Op = Opcode;

class Interpreter : public ::testing::Test {
protected:
    ScriptValue eval(const ImageBuilder& b)
    {
        EXPECT_TRUE(r.run(b)) << r.error();
        return r.ctx.result;
    }
    std::string fails(const ImageBuilder& b)
    {
        EXPECT_FALSE(r.run(b));
        return r.error();
    }
public:
    ScriptValue& global(std::string_view name) { return r.global(name); }
    Atom atom(std::string_view name) { return r.ctx.intern(name); }

protected:
    ScriptRunner r;
};

// --- arithmetic and comparison -------------------------------------------

struct Binary {
    std::function<void(ImageBuilder&)> left, right;
    Op op;
};

auto integer(std::int64_t v) { return [v](ImageBuilder& b) { b.pushInt(v); }; }
auto number(double v) { return [v](ImageBuilder& b) { b.pushNumber(v); }; }
auto text(std::u16string v) { return [v](ImageBuilder& b) { b.pushString(v); }; }
auto nanValue() { return [](ImageBuilder& b) { b.op(Op::PUSH_CONST, b.rawConstant({13})); }; }
auto boolean(bool v) { return [v](ImageBuilder& b) { b.op(v ? Op::PUSH_TRUE : Op::PUSH_FALSE); }; }

class Operators : public Interpreter {
protected:
    ScriptValue apply(const Binary& e)
    {
        ImageBuilder b = mainImage();
        e.left(b);
        e.right(b);
        b.op(e.op);
        return eval(b);
    }
    ScriptValue apply(std::function<void(ImageBuilder&)> a, std::function<void(ImageBuilder&)> c, Op op)
    {
        return apply(Binary{a, c, op});
    }
    void expectInt(ScriptValue v, std::int64_t expected)
    {
        ASSERT_EQ(v.kind, ValueKind::Integer);
        EXPECT_EQ(v.integer, expected);
    }
    void expectFloat(ScriptValue v, double expected)
    {
        ASSERT_EQ(v.kind, ValueKind::Float);
        EXPECT_EQ(v.number, expected);
    }
    void expectBool(ScriptValue v, bool expected)
    {
        ASSERT_EQ(v.kind, ValueKind::Boolean);
        EXPECT_EQ(v.boolean, expected ? 1u : 0u);
    }
};

TEST_F(Operators, DivisionAndRemainder)
{
    expectFloat(apply(integer(7), integer(2), Op::DIV), 3.5);
    expectFloat(apply(integer(6), integer(3), Op::DIV), 2.0);
    expectInt(apply(integer(7), integer(2), Op::MOD), 1);
    expectInt(apply(integer(-7), integer(2), Op::MOD), -1);
    EXPECT_EQ(apply(integer(7), integer(0), Op::MOD).kind, ValueKind::NaN);
    expectInt(apply(integer(INT64_MIN), integer(-1), Op::MOD), 0);
    expectFloat(apply(number(5.5), integer(2), Op::MOD), 1.5);
    EXPECT_TRUE(std::isinf(apply(integer(1), integer(0), Op::DIV).number));
    EXPECT_EQ(apply(integer(0), integer(0), Op::DIV).kind, ValueKind::NaN);
    EXPECT_EQ(apply(nanValue(), integer(1), Op::ADD).kind, ValueKind::NaN);
}

TEST_F(Operators, IntegersWrapAt64Bits)
{
    expectInt(apply(integer(INT64_MAX), integer(1), Op::ADD), INT64_MIN);
    expectInt(apply(integer(INT64_MIN), integer(1), Op::SUB), INT64_MAX);
    expectInt(apply(integer(INT64_MAX), integer(2), Op::MUL), -2);
    ImageBuilder b = mainImage();
    b.pushInt(INT64_MIN).op(Op::NEG);
    expectInt(eval(b), INT64_MIN);
}

TEST_F(Operators, Shifts)
{
    expectInt(apply(integer(1), integer(40), Op::SHL), 1099511627776);
    expectInt(apply(integer(-8), integer(1), Op::SHR), -4);
    expectInt(apply(integer(-1), integer(60), Op::USHR), 15);
    expectInt(apply(integer(1), integer(64), Op::SHL), 0);
    expectInt(apply(integer(-5), integer(70), Op::SHR), -1);
    expectInt(apply(integer(5), integer(0x101), Op::SHL), 10); // the count's low byte
    expectInt(apply(number(5.7), integer(3), Op::BIT_AND), 1);
    expectInt(apply(integer(6), integer(3), Op::BIT_XOR), 5);
    expectInt(apply(integer(6), integer(3), Op::BIT_OR), 7);
}

TEST_F(Operators, AdditionOfMixedKinds)
{
    EXPECT_EQ(r.text(apply(text(u"a"), integer(1), Op::ADD)), "a1");
    EXPECT_EQ(r.text(apply(number(1.5), text(u"x"), Op::ADD)), "1.5x");
    expectInt(apply(integer(1), boolean(true), Op::ADD), 2);
    expectFloat(apply(integer(1), number(0.5), Op::ADD), 1.5);
    expectInt(apply(text(u"10"), integer(3), Op::SUB), 7);
}

TEST_F(Operators, ComparisonsWithNaNAreUndefined)
{
    EXPECT_EQ(apply(nanValue(), integer(1), Op::LT).kind, ValueKind::Undefined);
    EXPECT_EQ(apply(text(u"abc"), integer(1), Op::GE).kind, ValueKind::Undefined);
    expectBool(apply(text(u"a"), text(u"b"), Op::LT), true);
    expectBool(apply(integer(2), number(2.5), Op::LE), true);
    expectBool(apply(integer(3), integer(3), Op::GT), false);
    // A conditional on Undefined takes the false branch.
    ImageBuilder b = mainImage();
    ImageBuilder::Label no = b.label();
    nanValue()(b);
    b.pushInt(1).op(Op::LT).jump(Op::JUMP_IF_FALSE, no).pushInt(1).op(Op::END);
    b.bind(no).pushInt(0);
    expectInt(eval(b), 0);
}

TEST_F(Operators, Equality)
{
    expectBool(apply(text(u"5"), integer(5), Op::EQ), true);
    expectBool(apply(text(u"5"), integer(5), Op::STRICT_EQ), false);
    expectBool(apply(integer(1), number(1.0), Op::STRICT_EQ), true);
    expectBool(apply(nanValue(), nanValue(), Op::EQ), false);
    expectBool(apply(boolean(true), integer(1), Op::EQ), true);
    expectBool(apply(text(u"ab"), text(u"ab"), Op::STRICT_NE), false);
    expectBool(apply([](ImageBuilder& b) { b.op(Op::PUSH_NULL); }, [](ImageBuilder& b) { b.op(Op::PUSH_UNDEFINED); },
                     Op::EQ),
               true);
    expectBool(apply([](ImageBuilder& b) { b.op(Op::PUSH_NULL); }, integer(0), Op::NE), true);
}

TEST_F(Operators, ArraysCompareByIdentity)
{
    global("a") = ScriptValue::ofArray(newArray(r.ctx));
    global("b") = ScriptValue::ofArray(newArray(r.ctx));
    auto get = [](const char* n) { return [n](ImageBuilder& b) { b.op(Op::GET_GLOBAL, n); }; };
    expectBool(apply(get("a"), get("b"), Op::EQ), false);
    expectBool(apply(get("a"), get("b"), Op::STRICT_EQ), false);
    expectBool(apply(get("a"), get("a"), Op::EQ), true);
}

TEST_F(Operators, UnaryInstructions)
{
    ImageBuilder b = mainImage();
    b.pushString(u"").op(Op::NOT).op(Op::SET_GLOBAL, "not");
    b.pushInt(5).op(Op::INC).op(Op::ADD2).op(Op::SET_GLOBAL, "inc");
    b.pushNumber(1.5).op(Op::NEG).op(Op::SET_GLOBAL, "neg");
    b.op(Op::PUSH_NULL).op(Op::TYPEOF);
    EXPECT_EQ(r.text(eval(b)), "object");
    expectBool(global("not"), true);
    expectInt(global("inc"), 8);
    expectFloat(global("neg"), -1.5);
    const std::pair<std::function<void(ImageBuilder&)>, const char*> types[] = {
        {integer(1), "number"}, {nanValue(), "number"}, {text(u"s"), "string"}, {boolean(false), "boolean"},
        {[](ImageBuilder& x) { x.op(Op::PUSH_UNDEFINED); }, "undefined"},
    };
    for (const auto& [push, name] : types) {
        ImageBuilder t = mainImage();
        push(t);
        t.op(Op::TYPEOF);
        EXPECT_EQ(r.text(eval(t)), name);
    }
}

// --- stack instructions ----------------------------------------------------

TEST_F(Interpreter, StackShuffles)
{
    // 1 2 3 4, ROLL 3 -> 1 4 2 3; ROLL -3 -> 1 2 3 4; SWAP -> 1 2 4 3.
    ImageBuilder b = mainImage();
    b.pushInt(1).pushInt(2).pushInt(3).pushInt(4).op(Op::ROLL, 3).op(Op::ROLL, 0xFD).op(Op::SWAP);
    b.op(Op::SET_GLOBAL, "d").op(Op::SET_GLOBAL, "c").op(Op::DUP).op(Op::ADD).op(Op::NIP, 1);
    EXPECT_EQ(eval(b).integer, 4);
    EXPECT_EQ(global("d").integer, 3);
    EXPECT_EQ(global("c").integer, 4);
    ImageBuilder drop = mainImage();
    drop.pushInt(1).pushInt(2).pushInt(3).op(Op::DROP, 2).op(Op::NOP);
    EXPECT_EQ(eval(drop).integer, 1);
    ImageBuilder roll = mainImage();
    roll.pushInt(1).pushInt(2).pushInt(3).op(Op::ROLL, 0xFD).op(Op::POP).op(Op::POP); // 2 3 1 -> 2
    EXPECT_EQ(eval(roll).integer, 2);
}

TEST_F(Interpreter, LocalsAndConstants)
{
    ImageBuilder b = mainImage();
    b.op(Op::LOCALS, 2).pushInt(9).op(Op::SET_LOCAL, 1).op(Op::GET_LOCAL, 0).op(Op::POP).op(Op::GET_LOCAL, 1);
    b.op(Op::PUSH_3).op(Op::MUL).op(Op::PUSH_2).op(Op::SUB).op(Op::PUSH_0).op(Op::ADD);
    EXPECT_EQ(eval(b).integer, 25);
}

// --- calls -------------------------------------------------------------------

TEST_F(Interpreter, MissingArgumentsArePaddedAndTheCallersStackStaysExact)
{
    ImageBuilder b;
    b.function("second").prologue(2).op(Op::GET_ARG, 3).op(Op::RETURN);
    b.function(".main").pushInt(99);                              // a marker below the call
    b.pushInt(1).op(Op::PUSH_1).op(Op::GET_GLOBAL, "second").op(Op::CALL).op(Op::NIP, 3);
    b.op(Op::SET_GLOBAL, "result");
    EXPECT_EQ(eval(b).integer, 99);
    EXPECT_EQ(global("result").kind, ValueKind::Undefined);
}

// An array literal passes its count negated; when Array is a script
// function, the callee's frame holds just the slots the caller pushed, with
// the count as its magnitude. The marker below the call must survive.
TEST_F(Interpreter, ANegatedCountAddressesOnlyThePushedArguments)
{
    ImageBuilder b;
    // raw (no prologue): writes and reads the slot just past its arguments.
    b.function("raw").op(Op::PUSH_0).op(Op::SET_ARG, 5).op(Op::GET_ARG, 5).op(Op::RETURN);
    // lit(a): count * 100 + its third argument.
    b.function("lit").prologue(1).op(Op::GET_ARG, 1).pushInt(100).op(Op::MUL).op(Op::GET_ARG, 4).op(Op::ADD);
    b.op(Op::RETURN);
    b.function(".main").pushInt(99);
    b.pushInt(30).pushInt(20).pushInt(10).pushInt(-3).op(Op::GET_GLOBAL, "raw").op(Op::CALL).op(Op::NIP, 5);
    b.op(Op::SET_GLOBAL, "beyond");
    b.pushInt(30).pushInt(20).pushInt(10).pushInt(-3).op(Op::GET_GLOBAL, "lit").op(Op::CALL).op(Op::NIP, 5);
    b.op(Op::SET_GLOBAL, "result");
    EXPECT_EQ(eval(b).integer, 99);
    EXPECT_EQ(global("beyond").kind, ValueKind::Undefined);
    EXPECT_EQ(global("result").integer, 330);
}

TEST_F(Interpreter, ANegatedCountToAScriptConstructorIsPaddedAndKeepsTheReceiver)
{
    ImageBuilder b;
    // Pair(a, b): this.x = a; this.n = the count; this.y = b (padded).
    b.function("Pair").prologue(2).op(Op::GET_ARG, 2).op(Op::GET_ARG, 0).op(Op::SET_PROP, "x");
    b.op(Op::GET_ARG, 1).op(Op::GET_ARG, 0).op(Op::SET_PROP, "n");
    b.op(Op::GET_ARG, 3).op(Op::GET_ARG, 0).op(Op::SET_PROP, "y").op(Op::PUSH_UNDEFINED).op(Op::RETURN);
    b.function(".main").pushInt(99);
    b.pushInt(7).pushInt(-1).op(Op::GET_GLOBAL, "Pair").op(Op::NEW).op(Op::SWAP).op(Op::NIP, 3);
    b.op(Op::SET_GLOBAL, "p");
    EXPECT_EQ(eval(b).integer, 99);
    ASSERT_EQ(global("p").kind, ValueKind::Object);
    ScriptValue x, n, y;
    ASSERT_TRUE(getProperty(global("p").object, atom("x"), x));
    ASSERT_TRUE(getProperty(global("p").object, atom("n"), n));
    EXPECT_EQ(x.integer, 7);
    EXPECT_EQ(n.integer, 1);
    EXPECT_TRUE(!getProperty(global("p").object, atom("y"), y) || y.kind == ValueKind::Undefined);
}

TEST_F(Interpreter, ArgumentsAndFrameSlots)
{
    ImageBuilder b;
    // args(a, b): returns a + b + count + frame slot 2 (a); sets its b.
    b.function("args").prologue(2).pushInt(5).op(Op::SET_ARG, 3);
    b.op(Op::GET_ARG, 2).op(Op::GET_ARG, 3).op(Op::ADD).op(Op::GET_ARG, 1).op(Op::ADD);
    b.op(Op::PUSH_2).op(Op::GET_FRAME_SLOT).op(Op::ADD).op(Op::GET_ARG, 100).op(Op::POP).op(Op::RETURN);
    b.function(".main").pushInt(7).pushInt(10).op(Op::PUSH_2).op(Op::GET_GLOBAL, "args").op(Op::CALL).op(Op::NIP, 4);
    EXPECT_EQ(eval(b).integer, 10 + 5 + 2 + 10);
}

TEST_F(Interpreter, LoopsWithBackwardConditionalJumps)
{
    // i = 0; do { sum += i; i++; } while (!(i >= 10)) -- then a JUMP_IF_TRUE loop.
    ImageBuilder b = mainImage();
    ImageBuilder::Label top = b.label(), again = b.label();
    b.op(Op::LOCALS, 2).op(Op::PUSH_0).op(Op::SET_LOCAL, 0).op(Op::PUSH_0).op(Op::SET_LOCAL, 1);
    b.bind(top).op(Op::GET_LOCAL, 1).op(Op::GET_LOCAL, 0).op(Op::ADD).op(Op::SET_LOCAL, 1);
    b.op(Op::GET_LOCAL, 0).op(Op::INC).op(Op::SET_LOCAL, 0);
    b.op(Op::GET_LOCAL, 0).pushInt(10).op(Op::LT).jump(Op::JUMP_IF_TRUE_BOOL, top);
    b.bind(again).op(Op::GET_LOCAL, 0).op(Op::INC).op(Op::DUP).op(Op::SET_LOCAL, 0).pushInt(15).op(Op::SUB);
    b.jump(Op::JUMP_IF_TRUE, again).op(Op::GET_LOCAL, 1).op(Op::GET_LOCAL, 0).op(Op::ADD);
    EXPECT_EQ(eval(b).integer, 45 + 15);
}

TEST_F(Interpreter, AJumpIntoTheMiddleOfAFusedStatementRunsTheRestOfIt)
{
    // The linker runs "sum = i + sum" and "i = i + 1" each as one step; the
    // loop below also enters the first one at its second instruction, with
    // 100 on the stack in place of i.
    ImageBuilder b = mainImage();
    ImageBuilder::Label top = b.label(), middle = b.label(), done = b.label();
    b.op(Op::LOCALS, 2).op(Op::PUSH_0).op(Op::SET_LOCAL, 0).op(Op::PUSH_0).op(Op::SET_LOCAL, 1);
    b.bind(top).op(Op::GET_LOCAL, 0);
    b.bind(middle).op(Op::GET_LOCAL, 1).op(Op::ADD).op(Op::SET_LOCAL, 1);
    b.op(Op::GET_LOCAL, 0).op(Op::PUSH_1).op(Op::ADD).op(Op::SET_LOCAL, 0);
    b.op(Op::GET_LOCAL, 0).pushInt(5).op(Op::LT).jump(Op::JUMP_IF_TRUE_BOOL, top);
    b.op(Op::GET_LOCAL, 0).pushInt(8).op(Op::LT).jump(Op::JUMP_IF_FALSE_BOOL, done);
    b.pushInt(100).jump(Op::JUMP, middle);
    b.bind(done).op(Op::GET_LOCAL, 1);
    EXPECT_EQ(eval(b).integer, 0 + 1 + 2 + 3 + 4 + 3 * 100);
}

TEST_F(Interpreter, ASecondLocalMayBeTheValueTheFirstPushed)
{
    // With one local, GET_LOCAL 1 right after GET_LOCAL 0 reads the copy
    // that GET_LOCAL 0 pushed, not what an earlier push left in that slot:
    // 21 <= 21 holds, so local 0 becomes 50, and then 50 + 50.
    ImageBuilder b = mainImage();
    ImageBuilder::Label skip = b.label();
    b.op(Op::LOCALS, 1).pushInt(21).op(Op::SET_LOCAL, 0).pushInt(5).op(Op::POP);
    b.op(Op::GET_LOCAL, 0).op(Op::GET_LOCAL, 1).op(Op::LE).jump(Op::JUMP_IF_FALSE_BOOL, skip);
    b.pushInt(50).op(Op::SET_LOCAL, 0);
    b.bind(skip).pushInt(5).op(Op::POP).op(Op::GET_LOCAL, 0).op(Op::GET_LOCAL, 1).op(Op::ADD);
    EXPECT_EQ(eval(b).integer, 100);
}

TEST_F(Interpreter, RecursiveFibonacci)
{
    ImageBuilder b;
    ImageBuilder::Label recurse = b.label();
    b.function("fib").prologue(1);
    b.op(Op::GET_ARG, 2).op(Op::PUSH_2).op(Op::LT).jump(Op::JUMP_IF_FALSE_BOOL, recurse);
    b.op(Op::GET_ARG, 2).op(Op::RETURN);
    b.bind(recurse);
    b.op(Op::GET_ARG, 2).op(Op::PUSH_1).op(Op::SUB).op(Op::PUSH_1).op(Op::GET_GLOBAL, "fib").op(Op::CALL).op(Op::NIP, 3);
    b.op(Op::GET_ARG, 2).op(Op::PUSH_2).op(Op::SUB).op(Op::PUSH_1).op(Op::GET_GLOBAL, "fib").op(Op::CALL).op(Op::NIP, 3);
    b.op(Op::ADD).op(Op::RETURN);
    b.function(".main").pushInt(20).op(Op::PUSH_1).op(Op::GET_GLOBAL, "fib").op(Op::CALL).op(Op::NIP, 3);
    EXPECT_EQ(eval(b).integer, 6765);
}

TEST_F(Interpreter, CallingANonFunctionWarnsAndGivesUndefined)
{
    ImageBuilder b = mainImage();
    b.op(Op::PUSH_0).pushInt(3).op(Op::CALL).op(Op::NIP, 2);
    EXPECT_EQ(eval(b).kind, ValueKind::Undefined);
    ASSERT_EQ(r.trace.size(), 1u);
    EXPECT_EQ(r.trace[0], "Warning: call a undefined function");
}

TEST_F(Interpreter, HostCallOfANumberFailsAndLeavesTheStack)
{
    global("n") = ScriptValue::ofInt(3);
    ScriptValue* before = r.ctx.sp;
    EXPECT_EQ(callFunction(r.ctx, global("n"), 0, nullptr), 0);
    EXPECT_STREQ(r.ctx.errorBuffer, "Warning: call a undefined function");
    EXPECT_EQ(r.ctx.sp, before);
}

TEST_F(Interpreter, DeepRecursionIsAStackOverflowAndTheContextStaysUsable)
{
    ImageBuilder b;
    b.function("down").prologue(0).op(Op::PUSH_0).op(Op::GET_GLOBAL, "down").op(Op::CALL).op(Op::NIP, 2).op(Op::RETURN);
    b.function(".main").op(Op::PUSH_0).op(Op::GET_GLOBAL, "down").op(Op::CALL);
    EXPECT_EQ(fails(b), "Runtime error: stack overflow");
    EXPECT_EQ(r.ctx.sp, r.ctx.stackEnd());
    EXPECT_TRUE(r.ctx.recovery.empty());
    ImageBuilder again = mainImage();
    again.pushInt(1).pushInt(2).op(Op::ADD);
    EXPECT_EQ(eval(again).integer, 3);
}

TEST_F(Interpreter, AStackOverflowCanBeCaught)
{
    ImageBuilder b;
    b.function("down").prologue(0).op(Op::PUSH_0).op(Op::GET_GLOBAL, "down").op(Op::CALL).op(Op::NIP, 2).op(Op::RETURN);
    ImageBuilder::Label handler = b.label();
    b.function(".main").jump(Op::TRY, handler).op(Op::PUSH_0).op(Op::GET_GLOBAL, "down").op(Op::CALL).op(Op::END);
    b.bind(handler);
    EXPECT_EQ(r.text(eval(b)), "Runtime error: stack overflow");
}

// --- try / throw --------------------------------------------------------------

NativeClass* plainClass(ScriptContext& ctx)
{
    NativeClass* cls = newClass(ctx);
    return cls;
}

TEST_F(Interpreter, ARuntimeErrorInsideTryIsCaughtAsItsText)
{
    global("nat") = newInstance(r.ctx, plainClass(r.ctx), nullptr);
    ImageBuilder b = mainImage();
    ImageBuilder::Label handler = b.label(), done = b.label();
    b.jump(Op::TRY, handler).op(Op::GET_GLOBAL, "nat").op(Op::PUSH_1).op(Op::SUB).op(Op::END_TRY, 1);
    b.jump(Op::JUMP, done);
    b.bind(handler).op(Op::END);
    b.bind(done).op(Op::PUSH_NULL);
    EXPECT_EQ(r.text(eval(b)), "Runtime error: Can't convert to primitive type");
    EXPECT_TRUE(r.ctx.recovery.empty());
}

TEST_F(Interpreter, AThrowOutsideTryFailsWithTheBareText)
{
    ImageBuilder b = mainImage();
    b.pushString(u"x").op(Op::THROW);
    EXPECT_EQ(fails(b), "x");
}

TEST_F(Interpreter, AThrowInACalleeReachesTheCallersTry)
{
    ImageBuilder b;
    b.function("thrower").prologue(0).pushInt(1234).op(Op::THROW);
    ImageBuilder::Label handler = b.label();
    b.function(".main").op(Op::LOCALS, 1).jump(Op::TRY, handler);
    b.op(Op::PUSH_0).op(Op::GET_GLOBAL, "thrower").op(Op::CALL).op(Op::END);
    b.bind(handler).pushInt(1).op(Op::ADD);
    EXPECT_EQ(eval(b).integer, 1235);
}

TEST_F(Interpreter, EndTryReleasesRecords)
{
    ImageBuilder b = mainImage();
    ImageBuilder::Label handler = b.label();
    b.jump(Op::TRY, handler).jump(Op::TRY, handler).op(Op::END_TRY, 2).pushString(u"out").op(Op::THROW);
    b.bind(handler).pushInt(0);
    EXPECT_EQ(fails(b), "out");
}

// --- with scopes ----------------------------------------------------------------

TEST_F(Interpreter, WithScopesAreSearchedOutermostFirst)
{
    ScriptObject* outer = newObject(r.ctx);
    ScriptObject* inner = newObject(r.ctx);
    setProperty(r.ctx, outer, atom("x"), ScriptValue::ofInt(1));
    setProperty(r.ctx, inner, atom("x"), ScriptValue::ofInt(2));
    setProperty(r.ctx, inner, atom("y"), ScriptValue::ofInt(3));
    global("outer") = ScriptValue::ofObject(outer);
    global("inner") = ScriptValue::ofObject(inner);
    global("x") = ScriptValue::ofInt(5);
    ImageBuilder b;
    b.function("seesGlobal").prologue(0).op(Op::GET_NAME, "x").op(Op::RETURN);
    b.function(".main").op(Op::GET_GLOBAL, "outer").op(Op::WITH_PUSH).op(Op::GET_GLOBAL, "inner").op(Op::WITH_PUSH);
    b.op(Op::GET_NAME, "x").op(Op::SET_GLOBAL, "fromWith");
    b.op(Op::GET_NAME, "y").op(Op::SET_NAME, "x");            // outer.x = 3
    b.pushInt(8).op(Op::SET_NAME, "z");                        // no scope has z: global
    b.op(Op::PUSH_NULL).op(Op::DELETE_NAME, "y").op(Op::POP);  // inner.y removed
    b.op(Op::PUSH_0).op(Op::GET_GLOBAL, "seesGlobal").op(Op::CALL).op(Op::NIP, 2).op(Op::SET_GLOBAL, "fromCall");
    b.op(Op::WITH_POP, 2).op(Op::GET_NAME, "x");
    EXPECT_EQ(eval(b).integer, 5);
    EXPECT_EQ(global("fromWith").integer, 1);
    EXPECT_EQ(global("fromCall").integer, 5);
    EXPECT_EQ(global("z").integer, 8);
    ScriptValue v;
    ASSERT_TRUE(getProperty(outer, atom("x"), v));
    EXPECT_EQ(v.integer, 3);
    EXPECT_FALSE(getProperty(inner, atom("y"), v));
}

TEST_F(Interpreter, CallNameFindsMethodsOfScopeObjects)
{
    ImageBuilder method;
    method.function("method").prologue(0).op(Op::GET_ARG, 0).op(Op::GET_PROP, "tag").op(Op::RETURN);
    ASSERT_TRUE(r.run(method));
    ScriptObject* scope = newObject(r.ctx);
    setProperty(r.ctx, scope, atom("tag"), ScriptValue::ofInt(77));
    setProperty(r.ctx, scope, atom("method"), global("method"));
    global("scope") = ScriptValue::ofObject(scope);
    global("tag") = ScriptValue::ofInt(1);
    // Inside the with block the scope object is the receiver; outside, Null.
    ImageBuilder b = mainImage();
    b.op(Op::GET_GLOBAL, "scope").op(Op::WITH_PUSH);
    b.op(Op::PUSH_0).op(Op::GET_NAME, "method").op(Op::CALL_NAME, "method").op(Op::NIP, 2);
    EXPECT_EQ(eval(b).integer, 77);
}

// --- elements and iteration --------------------------------------------------------

TEST_F(Interpreter, IteratingAStringYieldsCharacterCodes)
{
    ImageBuilder b = mainImage();
    b.pushString(u"AB").op(Op::PUSH_0).op(Op::ITER_NEXT).op(Op::SET_GLOBAL, "more0").op(Op::SET_GLOBAL, "c0");
    b.pushString(u"AB").op(Op::PUSH_1).op(Op::ITER_NEXT).op(Op::SET_GLOBAL, "more1").op(Op::SET_GLOBAL, "c1");
    b.pushString(u"AB").op(Op::PUSH_2).op(Op::ITER_NEXT).op(Op::SET_GLOBAL, "more2");
    eval(b);
    EXPECT_EQ(global("c0").integer, 65);
    EXPECT_EQ(global("c1").integer, 66);
    EXPECT_EQ(global("more1").boolean, 1u);
    EXPECT_EQ(global("more2").boolean, 0u);
    EXPECT_EQ(r.ctx.result.kind, ValueKind::Undefined);
}

TEST_F(Interpreter, IteratingAnArrayYieldsElementsAndAnObjectItsNames)
{
    ScriptArray* a = newArray(r.ctx);
    arraySet(r.ctx, *a, 1, ScriptValue::ofInt(20));
    a->length = 3;
    global("arr") = ScriptValue::ofArray(a);
    ScriptObject* o = newObject(r.ctx);
    setProperty(r.ctx, o, atom("only"), ScriptValue::ofInt(1));
    global("obj") = ScriptValue::ofObject(o);
    ImageBuilder b = mainImage();
    b.op(Op::GET_GLOBAL, "arr").op(Op::PUSH_0).op(Op::ITER_NEXT).op(Op::POP).op(Op::SET_GLOBAL, "e0");
    b.op(Op::GET_GLOBAL, "arr").op(Op::PUSH_1).op(Op::ITER_NEXT).op(Op::POP).op(Op::SET_GLOBAL, "e1");
    b.op(Op::GET_GLOBAL, "arr").op(Op::PUSH_2).op(Op::ITER_NEXT).op(Op::SET_GLOBAL, "more2").op(Op::POP);
    b.op(Op::GET_GLOBAL, "obj").op(Op::PUSH_0).op(Op::ITER_NEXT).op(Op::POP);
    EXPECT_EQ(r.text(eval(b)), "only");
    EXPECT_EQ(global("e0").kind, ValueKind::Undefined);
    EXPECT_EQ(global("e1").integer, 20);
    EXPECT_EQ(global("more2").boolean, 1u);
}

TEST_F(Interpreter, ArrayElementsAndDeletionClosingTheGap)
{
    global("arr") = ScriptValue::ofArray(newArray(r.ctx));
    ImageBuilder b = mainImage();
    for (int i = 0; i < 3; ++i)
        b.pushInt(10 * (i + 1)).op(Op::GET_GLOBAL, "arr").pushInt(i).op(Op::SET_ELEM);
    b.op(Op::GET_GLOBAL, "arr").op(Op::PUSH_1).op(Op::DELETE_ELEM).op(Op::POP);
    b.op(Op::GET_GLOBAL, "arr").op(Op::PUSH_1).op(Op::GET_ELEM);
    EXPECT_EQ(eval(b).integer, 30);
    ScriptArray& a = *global("arr").array;
    EXPECT_EQ(a.length, 2u);
    EXPECT_EQ(arrayGet(a, 0)->integer, 10);
    EXPECT_EQ(arrayGet(a, 2), nullptr);
}

TEST_F(Interpreter, StoringIntoAStringPadsWithBlanks)
{
    global("s") = ScriptValue::ofString(newString(r.ctx, u"ab"));
    global("lit") = ScriptValue::ofString(newStaticString(r.ctx, u"ab"));
    ImageBuilder b = mainImage();
    b.pushInt(0x178).op(Op::GET_GLOBAL, "s").pushInt(5).op(Op::SET_ELEM); // low byte 'x'
    b.pushString(u"Zq").op(Op::GET_GLOBAL, "s").op(Op::PUSH_0).op(Op::SET_ELEM);
    b.pushInt(1).op(Op::GET_GLOBAL, "lit").op(Op::PUSH_0).op(Op::SET_ELEM);
    b.op(Op::PUSH_NULL).op(Op::GET_GLOBAL, "s").op(Op::PUSH_0).op(Op::SET_ELEM);
    b.op(Op::GET_GLOBAL, "s").pushInt(9).op(Op::GET_ELEM);
    EXPECT_EQ(eval(b).kind, ValueKind::Undefined);
    EXPECT_EQ(r.text(global("s")), "Zb   x");
    EXPECT_EQ(r.trace, (std::vector<std::string>{"Warning: can't change a static string",
                                                 "Warning: can't store a non-charactor value to string",
                                                 "Warning: string index out of range"}));
}

TEST_F(Interpreter, ObjectElementsByNameAndPosition)
{
    global("o") = ScriptValue::ofObject(newObject(r.ctx));
    ImageBuilder b = mainImage();
    b.pushInt(4).op(Op::GET_GLOBAL, "o").pushString(u"k").op(Op::SET_ELEM);
    b.op(Op::GET_GLOBAL, "o").op(Op::GET_PROP, "k").op(Op::SET_GLOBAL, "byName");
    b.op(Op::GET_GLOBAL, "o").op(Op::PUSH_0).op(Op::GET_ELEM).op(Op::SET_GLOBAL, "byPosition");
    b.op(Op::GET_GLOBAL, "o").op(Op::DELETE_PROP, "k").op(Op::POP);
    b.op(Op::GET_GLOBAL, "o").op(Op::GET_PROP, "k");
    EXPECT_EQ(eval(b).kind, ValueKind::Undefined);
    EXPECT_EQ(global("byName").integer, 4);
    EXPECT_EQ(global("byPosition").integer, 4);
    EXPECT_EQ(r.trace, std::vector<std::string>{"Warning: using undefined property \"k\""});
}

// --- native classes --------------------------------------------------------------

struct Counter {
    std::int64_t value = 0;
    int* destroyed = nullptr;
};

class NativeClasses : public Interpreter {
protected:
    void SetUp() override
    {
        cls = newClass(r.ctx);
        cls->userData = this;
        cls->construct = [](ScriptContext& ctx, NativeClass& c, ScriptValue* args, ScriptValue* result) {
            auto* self = static_cast<NativeClasses*>(c.userData);
            auto* counter = new Counter{args[0].integer > 0 ? args[1].integer : 0, &self->destroyed};
            *result = newInstance(ctx, &c, counter);
        };
        cls->destroyData = [](ScriptContext&, NativeClass&, void* data) {
            auto* counter = static_cast<Counter*>(data);
            if (!counter)
                return; // the class object
            ++*counter->destroyed;
            delete counter;
        };
        cls->call = [](ScriptContext&, NativeClass&, void*, ScriptValue* result, ScriptValue* args) {
            *result = ScriptValue::ofInt(args[0].integer * 100);
        };
        cls->callMethod = [](ScriptContext& ctx, NativeClass& c, void* data, Atom name, ScriptValue* result,
                             ScriptValue* args) -> int {
            auto* self = static_cast<NativeClasses*>(c.userData);
            if (name == self->atom("bump") && data) {
                static_cast<Counter*>(data)->value += args[0].integer > 0 ? args[1].integer : 1;
                *result = ScriptValue::ofInt(static_cast<Counter*>(data)->value);
                return 1;
            }
            if (name == self->atom("fail"))
                raiseError(ctx, "native failure");
            return 0;
        };
        cls->accessProperty = [](ScriptContext&, NativeClass& c, void* data, Atom name, int set,
                                 ScriptValue* value) -> int {
            auto* self = static_cast<NativeClasses*>(c.userData);
            if (name != self->atom("value") || !data)
                return 0;
            auto* counter = static_cast<Counter*>(data);
            if (set)
                counter->value = value->integer;
            else
                *value = ScriptValue::ofInt(counter->value);
            return 1;
        };
        registerGlobalClass(r.ctx, "Counter", cls);
    }

    NativeClass* cls = nullptr;
    int destroyed = 0;
};

TEST_F(NativeClasses, ConstructCallMethodsAndProperties)
{
    ImageBuilder b = mainImage();
    b.pushInt(5).op(Op::PUSH_1).op(Op::GET_GLOBAL, "Counter").op(Op::NEW).op(Op::SWAP).op(Op::NIP, 3);
    b.op(Op::SET_GLOBAL, "c");
    b.pushInt(3).op(Op::PUSH_1).op(Op::GET_GLOBAL, "c").op(Op::CALL_METHOD, "bump").op(Op::NIP, 3).op(Op::POP);
    b.pushInt(40).op(Op::GET_GLOBAL, "c").op(Op::SET_PROP, "extra");      // declined: property object
    b.op(Op::GET_GLOBAL, "c").op(Op::GET_PROP, "extra").op(Op::SET_GLOBAL, "extra");
    b.op(Op::PUSH_0).op(Op::GET_GLOBAL, "Counter").op(Op::CALL).op(Op::NIP, 2).op(Op::SET_GLOBAL, "called");
    b.op(Op::GET_GLOBAL, "c").op(Op::GET_PROP, "value");
    EXPECT_EQ(eval(b).integer, 8);
    EXPECT_EQ(global("extra").integer, 40);
    EXPECT_EQ(global("called").integer, 0);
}

TEST_F(NativeClasses, DisposeRunsTheDestroyCallbackAtOnce)
{
    ImageBuilder b = mainImage();
    b.op(Op::PUSH_0).op(Op::GET_GLOBAL, "Counter").op(Op::NEW).op(Op::SWAP).op(Op::NIP, 2).op(Op::SET_GLOBAL, "c");
    b.op(Op::PUSH_NULL).op(Op::DISPOSE_GLOBAL, "c");
    EXPECT_EQ(eval(b).kind, ValueKind::Undefined);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(global("c").kind, ValueKind::Undefined);
}

TEST_F(NativeClasses, DisposingLocalsAndArguments)
{
    ImageBuilder b;
    b.function("drop").prologue(1).op(Op::PUSH_NULL).op(Op::DISPOSE_ARG, 2).op(Op::POP);
    b.op(Op::GET_ARG, 2).op(Op::RETURN);
    b.function(".main").op(Op::LOCALS, 1);
    b.op(Op::PUSH_0).op(Op::GET_GLOBAL, "Counter").op(Op::NEW).op(Op::SWAP).op(Op::NIP, 2).op(Op::SET_LOCAL, 0);
    b.op(Op::PUSH_NULL).op(Op::DISPOSE_LOCAL, 0).op(Op::POP);
    b.op(Op::PUSH_0).op(Op::GET_GLOBAL, "Counter").op(Op::NEW).op(Op::SWAP).op(Op::NIP, 2);
    b.op(Op::PUSH_1).op(Op::GET_GLOBAL, "drop").op(Op::CALL).op(Op::NIP, 3).op(Op::SET_GLOBAL, "afterDrop");
    b.op(Op::GET_LOCAL, 0);
    EXPECT_EQ(eval(b).kind, ValueKind::Undefined);
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(global("afterDrop").kind, ValueKind::Undefined);
}

TEST_F(NativeClasses, UnreachableInstancesDieAtTheEndOfTheRun)
{
    ImageBuilder b = mainImage();
    b.op(Op::PUSH_0).op(Op::GET_GLOBAL, "Counter").op(Op::NEW).op(Op::DROP, 3).op(Op::PUSH_NULL);
    eval(b);
    EXPECT_EQ(destroyed, 1);
}

TEST_F(NativeClasses, AnErrorInANativeMethodUnwindsToTheHostCall)
{
    ImageBuilder b;
    b.function("callsFail").prologue(0).op(Op::PUSH_0).op(Op::GET_GLOBAL, "Counter").op(Op::CALL_METHOD, "fail");
    b.op(Op::NIP, 2).op(Op::RETURN);
    ASSERT_TRUE(r.run(b));
    ScriptObject* holder = newObject(r.ctx);
    setProperty(r.ctx, holder, atom("m"), global("callsFail"));
    EXPECT_EQ(callMethod(r.ctx, ScriptValue::ofObject(holder), atom("m"), 0, nullptr), 0);
    EXPECT_STREQ(r.ctx.errorBuffer, "Runtime error: native failure");
    EXPECT_TRUE(r.ctx.recovery.empty());
    EXPECT_EQ(r.ctx.sp, r.ctx.stackEnd());
}

TEST_F(NativeClasses, UnknownMethodsWarn)
{
    global("o") = ScriptValue::ofObject(newObject(r.ctx));
    ImageBuilder b = mainImage();
    b.op(Op::PUSH_0).op(Op::GET_GLOBAL, "o").op(Op::CALL_METHOD, "nothing").op(Op::NIP, 2);
    EXPECT_EQ(eval(b).kind, ValueKind::Undefined);
    EXPECT_EQ(r.trace, std::vector<std::string>{"Warning: unknown method \"nothing\""});
    EXPECT_EQ(callMethod(r.ctx, global("o"), atom("nothing"), 0, nullptr), 0);
    EXPECT_STREQ(r.ctx.errorBuffer, "Warning: unknown method \"nothing\"");
}

TEST_F(Interpreter, NewOnAScriptFunctionBuildsAnObjectWithItsPrototype)
{
    ImageBuilder b;
    b.function("Point").prologue(1).op(Op::GET_ARG, 2).op(Op::GET_ARG, 0).op(Op::SET_PROP, "x");
    b.op(Op::PUSH_UNDEFINED).op(Op::RETURN);
    b.function(".main").pushInt(3).op(Op::PUSH_1).op(Op::GET_GLOBAL, "Point").op(Op::NEW).op(Op::SWAP).op(Op::NIP, 3);
    b.op(Op::SET_GLOBAL, "p");
    b.pushInt(1).op(Op::GET_GLOBAL, "Point").op(Op::GET_PROP, "__proto__").op(Op::SET_PROP, "shared");
    b.op(Op::GET_GLOBAL, "p").op(Op::GET_PROP, "shared");
    ScriptValue shared = eval(b);
    ASSERT_EQ(global("p").kind, ValueKind::Object);
    ScriptValue x;
    ASSERT_TRUE(getProperty(global("p").object, atom("x"), x));
    EXPECT_EQ(x.integer, 3);
    // "__proto__" of a function without a Function class is not found; the
    // prototype made by `new` is the closure's property object.
    EXPECT_EQ(global("Point").closure->props->slotCount >= 1, true);
    (void)shared;
}

TEST_F(Interpreter, InvalidConstructorWarns)
{
    ImageBuilder b = mainImage();
    b.op(Op::PUSH_0).pushInt(5).op(Op::NEW).op(Op::NIP, 2);
    EXPECT_EQ(eval(b).kind, ValueKind::Null);
    EXPECT_EQ(r.trace, std::vector<std::string>{"Warning: invalid constructor"});
}

TEST_F(Interpreter, UndefinedVariablesWarnWhenAsked)
{
    ScriptRunner warned({4096, true});
    ImageBuilder b = mainImage();
    b.op(Op::GET_GLOBAL, "zz");
    ASSERT_TRUE(warned.run(b));
    EXPECT_EQ(warned.trace, std::vector<std::string>{"Warning: using undefined variable \"zz\""});
    ASSERT_TRUE(r.run(b));
    EXPECT_TRUE(r.trace.empty());
}

// The compiler's try/finally: the join point is reached with a flag, and
// with the pending exception under it only when the flag is true.
ImageBuilder tryFinally(bool throwInBody)
{
    ImageBuilder b = mainImage();
    ImageBuilder::Label handler = b.label(), join = b.label(), done = b.label();
    b.jump(Op::TRY, handler);
    if (throwInBody)
        b.pushString(u"pending").op(Op::THROW);
    b.op(Op::PUSH_1).op(Op::SET_GLOBAL, "r").op(Op::END_TRY, 1).op(Op::PUSH_FALSE).jump(Op::JUMP, join);
    b.bind(handler).op(Op::PUSH_TRUE);
    b.bind(join).op(Op::PUSH_2).op(Op::SET_GLOBAL, "r").jump(Op::JUMP_IF_FALSE_BOOL, done).op(Op::THROW);
    b.bind(done).op(Op::GET_GLOBAL, "r");
    return b;
}

TEST_F(Interpreter, FinallyRunsAndRethrows)
{
    EXPECT_EQ(eval(tryFinally(false)).integer, 2);
    EXPECT_EQ(fails(tryFinally(true)), "pending");
    EXPECT_EQ(global("r").integer, 2);
}

TEST_F(Interpreter, AThrowWithNothingToThrowIsRefused)
{
    ImageBuilder b = mainImage();
    b.op(Op::THROW);
    EXPECT_EQ(fails(b), "Runtime error: Unimplemented Orvet Script bytecode");
}

TEST_F(Interpreter, ATryLeftByReturnDoesNotCatchLaterThrows)
{
    ImageBuilder b;
    ImageBuilder::Label handler = b.label();
    b.function("leaves").prologue(0).jump(Op::TRY, handler).op(Op::PUSH_NULL).op(Op::RETURN);
    b.bind(handler).pushString(u"wrong handler").op(Op::RETURN);
    b.function(".main").op(Op::PUSH_0).op(Op::GET_GLOBAL, "leaves").op(Op::CALL).op(Op::NIP, 2).op(Op::POP);
    b.pushString(u"x").op(Op::THROW);
    EXPECT_EQ(fails(b), "x");
}

TEST_F(Interpreter, ArgsWithAForgedCountIsRefused)
{
    ImageBuilder b = mainImage();
    b.pushInt(50).op(Op::ARGS, 60).op(Op::PUSH_NULL);
    EXPECT_EQ(fails(b), "Runtime error: Unimplemented Orvet Script bytecode");
    ImageBuilder call = mainImage();
    call.pushInt(5).op(Op::PUSH_NULL).op(Op::CALL); // a count beyond the values pushed
    EXPECT_EQ(fails(call), "Runtime error: Unimplemented Orvet Script bytecode");
}

// A per-kind class for strings: "length" as a property, "twice" as a method.
class KindClasses : public Interpreter {
protected:
    void SetUp() override
    {
        NativeClass* cls = newClass(r.ctx);
        cls->userData = this;
        cls->accessProperty = [](ScriptContext&, NativeClass& c, void* data, Atom name, int set,
                                 ScriptValue* value) -> int {
            auto* self = static_cast<KindClasses*>(c.userData);
            if (name != self->atom("length") || set)
                return 0;
            *value = ScriptValue::ofInt(static_cast<ScriptValue*>(data)->string->length);
            return 1;
        };
        cls->callMethod = [](ScriptContext& ctx, NativeClass& c, void* data, Atom name, ScriptValue* result,
                             ScriptValue*) -> int {
            auto* self = static_cast<KindClasses*>(c.userData);
            if (name != self->atom("twice"))
                return 0;
            const ScriptString& s = *static_cast<ScriptValue*>(data)->string;
            *result = ScriptValue::ofString(concatStrings(ctx, s, s));
            return 1;
        };
        setKindClass(r.ctx, ValueKind::String, cls);
        registerGlobalClass(r.ctx, "String", cls);
    }
};

TEST_F(KindClasses, PrimitiveValuesUseTheirKindsClass)
{
    ImageBuilder b = mainImage();
    b.pushString(u"abc").op(Op::GET_PROP, "length").op(Op::SET_GLOBAL, "length");
    b.pushInt(5).pushString(u"abc").op(Op::SET_PROP, "own");           // own property object
    b.op(Op::PUSH_0).pushString(u"ab").op(Op::CALL_METHOD, "twice").op(Op::NIP, 2);
    EXPECT_EQ(r.text(eval(b)), "abab");
    EXPECT_EQ(global("length").integer, 3);
    EXPECT_TRUE(r.trace.empty());
}

TEST_F(KindClasses, OwnPropertiesOfAStringSitOnItsPropertyObject)
{
    global("s") = ScriptValue::ofString(newString(r.ctx, u"text"));
    ImageBuilder b = mainImage();
    b.pushInt(5).op(Op::GET_GLOBAL, "s").op(Op::SET_PROP, "tag");
    b.op(Op::GET_GLOBAL, "s").op(Op::GET_PROP, "__proto__").op(Op::GET_PROP, "tag");
    EXPECT_EQ(eval(b).integer, 5);
    ASSERT_NE(global("s").string->props, nullptr);
}

TEST_F(KindClasses, ActiveXObjectsAreIndexedThroughItem)
{
    NativeClass* cls = newClass(r.ctx);
    cls->userData = this;
    cls->callMethod = [](ScriptContext&, NativeClass& c, void*, Atom name, ScriptValue* result,
                         ScriptValue* args) -> int {
        if (name != static_cast<KindClasses*>(c.userData)->atom("Item"))
            return 0;
        *result = ScriptValue::ofInt(args[1].integer * 2);
        return 1;
    };
    registerGlobalClass(r.ctx, "ActiveXObject", cls);
    global("ax") = newInstance(r.ctx, cls, nullptr);
    ImageBuilder b = mainImage();
    b.op(Op::GET_GLOBAL, "ax").pushInt(21).op(Op::GET_ELEM);
    EXPECT_EQ(eval(b).integer, 42);
}

// --- collection and the hook ---------------------------------------------------------

// A loop that concatenates strings for ever; only the hook can stop it.
ImageBuilder allocatingLoop()
{
    ImageBuilder b = mainImage();
    ImageBuilder::Label top = b.label();
    b.pushString(u"kept").op(Op::SET_GLOBAL, "kept");
    b.bind(top).pushString(u"garbage ").pushInt(12345).op(Op::ADD).op(Op::POP).jump(Op::JUMP, top);
    return b;
}

TEST_F(Interpreter, TheHookStopsALongRunAfterACollection)
{
    r.ctx.hook = [](int reason, void* data) { return reason == 2 && ++*static_cast<int*>(data) >= 3 ? 7 : 0; };
    int calls = 0;
    r.ctx.hookData = &calls;
    EXPECT_EQ(fails(allocatingLoop()), "Runtime error: hook break 7");
    EXPECT_EQ(calls, 3);
    EXPECT_GE(r.ctx.heap.collections(), 3u);
    EXPECT_EQ(r.text(global("kept")), "kept");
}

TEST_F(Interpreter, HaltWaitsUntilTheHookAnswers)
{
    r.ctx.hook = [](int, void*) { return 1; };
    ImageBuilder b = mainImage();
    b.op(Op::HALT);
    EXPECT_EQ(fails(b), "Runtime error: hook break 1");
}

TEST_F(Interpreter, ValuesOnTheStackSurviveCollections)
{
    r.ctx.hook = [](int, void* data) { return ++*static_cast<int*>(data) >= 2 ? 1 : 0; };
    int calls = 0;
    r.ctx.hookData = &calls;
    ImageBuilder b = mainImage();
    ImageBuilder::Label top = b.label(), handler = b.label();
    b.op(Op::LOCALS, 1).pushString(u"on the ").pushInt(1).op(Op::ADD).op(Op::SET_LOCAL, 0);
    b.jump(Op::TRY, handler);
    b.bind(top).pushString(u"x").pushInt(1).op(Op::ADD).op(Op::POP).jump(Op::JUMP, top);
    b.bind(handler).op(Op::POP).op(Op::GET_LOCAL, 0);
    EXPECT_EQ(r.text(eval(b)), "on the 1");
}

} // namespace
} // namespace orvet::test
