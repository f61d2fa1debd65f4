// The action machine on hand-assembled code: functions and their scopes,
// objects and prototypes, the built-in classes, exceptions, and the version
// rules of values. Expected texts follow the language and format references.
#include "ActionAssembler.h"

#include <gtest/gtest.h>

#include <limits>

namespace lumbra::movie::test {
namespace {

enum : std::uint8_t {
    Subtract = 0x0B, Multiply = 0x0C, Equals = 0x0E, Less = 0x0F, Not = 0x12, Pop = 0x17,
    GetVariable = 0x1C, SetVariable = 0x1D, Throw = 0x2A, CastOp = 0x2B, Delete = 0x3A,
    DefineLocal = 0x3C, CallFunction = 0x3D, Return = 0x3E, NewObject = 0x40, DefineLocal2 = 0x41,
    InitArray = 0x42, InitObject = 0x43, TypeOf = 0x44, Enumerate2 = 0x55, Add2 = 0x47, Less2 = 0x48,
    Equals2 = 0x49, PushDuplicate = 0x4C, GetMember = 0x4E, SetMember = 0x4F, Increment = 0x50,
    CallMethod = 0x52, NewMethod = 0x53, InstanceOf = 0x54, BitURShift = 0x65, StrictEquals = 0x66,
    Greater = 0x67, Extends = 0x69, WaitForFrame2 = 0x8D, GotoFrame2 = 0x9F, Stop = 0x07,
};

// Small phrases of assembly.
Asm& var(Asm& a, std::string_view name) { return a.str(name).op(GetVariable); }
Asm& member(Asm& a, std::string_view name) { return a.str(name).op(GetMember); }
// name(args...) with the arguments already pushed, last first.
Asm& call(Asm& a, std::string_view name, int argc) { return a.f64(argc).str(name).op(CallFunction); }
std::string lines(std::initializer_list<const char*> texts)
{
    std::string out;
    for (const char* t : texts)
        out += std::string(t) + "\n";
    return out;
}

TEST(ScriptFunctions, RecursionClosuresAndArguments)
{
    // function fact(n) { if (n > 1) return n * fact(n - 1); return 1; }
    Asm fact;
    var(fact, "n").f64(1).op(Greater).branchIf("more").f64(1).op(Return).label("more");
    var(fact, "n");
    var(fact, "n").f64(1).op(Subtract);
    call(fact, "fact", 1).op(Multiply).op(Return);
    // function counter() { var c = 0; return function () { c = c + 1; return c; }; }
    Asm inner;
    inner.str("c");
    var(inner, "c").f64(1).op(Add2).op(SetVariable);
    var(inner, "c").op(Return);
    Asm counter;
    counter.str("c").f64(0).op(DefineLocal).function("", {}, inner).op(Return);
    // function count() { return arguments.length + ":" + arguments[1]; }
    Asm count;
    var(count, "arguments");
    member(count, "length").str(":").op(Add2);
    var(count, "arguments").f64(1).op(GetMember).op(Add2).op(Return);

    Asm a;
    a.function("fact", {"n"}, fact).function("counter", {}, counter).function("count", {}, count);
    a.f64(10);
    call(a, "fact", 1).trace();
    a.str("next");
    call(a, "counter", 0).op(SetVariable);
    a.f64(0);
    call(a, "next", 0).op(Pop).f64(0);
    call(a, "next", 0).trace();
    a.str("c");
    call(a, "count", 3 - 2).op(Pop); // a stray call does not disturb the stack
    a.str("z").str("y").str("x");
    call(a, "count", 3).trace();
    // The closure's c is its own, not the timeline's.
    var(a, "c").trace();
    EXPECT_EQ(run(a), lines({"3628800", "2", "3:y", "undefined"}));
}

TEST(ScriptFunctions, DefineFunction2RegistersAndPreloads)
{
    // function f(a (r2), b (by name)) with this in r1: return this.k + a + b
    Asm body;
    body.reg(1);
    member(body, "k").reg(2).op(Add2);
    var(body, "b").op(Add2).op(Return);
    Asm a;
    a.function2("f", 3, 0x01, {{2, "a"}, {0, "b"}}, body);
    // o = {k: "K"}; o.f = f; trace(o.f("A", "B"))
    a.str("o").str("k").str("K").f64(1).op(InitObject).op(SetVariable);
    var(a, "o").str("f");
    var(a, "f").op(SetMember);
    a.str("B").str("A").f64(2);
    var(a, "o").str("f").op(CallMethod).trace();
    // 256 registers: r255 holds a value through the function.
    Asm wide;
    wide.f64(7).storeRegister(254).op(Pop).reg(254).op(Return);
    a.function2("w", 255, 0, {}, wide);
    call(a, "w", 0).trace();
    EXPECT_EQ(run(a), lines({"KAB", "7"}));
}

TEST(ScriptObjects, LiteralsMembersAndEnumeration)
{
    Asm a;
    // o = {a: 1, b: "two"}; o.c = true
    a.str("o").str("a").f64(1).str("b").str("two").f64(2).op(InitObject).op(SetVariable);
    var(a, "o").str("c").boolean(true).op(SetMember);
    var(a, "o");
    member(a, "b").trace();
    // for (k in o) trace(k): the newest first
    var(a, "o").op(Enumerate2).label("loop").storeRegister(0).null().op(Equals2).branchIf("done");
    a.reg(0).trace().jump("loop").label("done");
    // arr = [1, 2, 3] (the first popped is element 0)
    a.str("arr").f64(3).f64(2).f64(1).f64(3).op(InitArray).op(SetVariable);
    var(a, "arr");
    member(a, "length").trace();
    var(a, "arr").trace();
    // delete o.a; typeof o.a
    var(a, "o").str("a").op(Delete).trace();
    var(a, "o");
    member(a, "a").op(TypeOf).trace();
    // typeof of each kind
    var(a, "o").op(TypeOf).trace();
    var(a, "arr");
    member(a, "push").op(TypeOf).trace();
    a.null().op(TypeOf).trace();
    a.reg(0).op(TypeOf).trace();
    // The literal's pairs are set last first, and for-in visits the newest first:
    // literals enumerate in their written order.
    EXPECT_EQ(run(a), lines({"two", "c", "a", "b", "3", "1,2,3", "true", "undefined", "object", "function", "null",
                             "null"}));
}

TEST(ScriptObjects, ConstructorsPrototypesAndInheritance)
{
    // function A(x) { this.x = x; }  A.prototype.show = function () { return "A" + this.x; }
    Asm ctorA;
    var(ctorA, "this").str("x");
    var(ctorA, "x").op(SetMember);
    Asm show;
    show.str("A");
    var(show, "this");
    member(show, "x").op(Add2).op(Return);
    // function B(x) { super(x); }  B extends A;  B.prototype.show = function () { return "B" + super.show(); }
    Asm ctorB;
    var(ctorB, "x").f64(1);
    var(ctorB, "super").undef().op(CallMethod).op(Pop);
    Asm showB;
    showB.str("B").f64(0);
    var(showB, "super").str("show").op(CallMethod).op(Add2).op(Return);

    Asm a;
    a.function("A", {"x"}, ctorA);
    var(a, "A");
    member(a, "prototype").str("show").function("", {}, show).op(SetMember);
    a.function("B", {"x"}, ctorB);
    var(a, "B");
    var(a, "A").op(Extends);
    var(a, "B");
    member(a, "prototype").str("show").function("", {}, showB).op(SetMember);
    // b = new B(5)
    a.str("b").f64(5).f64(1).str("B").op(NewObject).op(SetVariable);
    var(a, "b").f64(0).op(PushDuplicate);
    a.op(Pop);
    a.f64(0);
    var(a, "b").str("show").op(CallMethod).trace();
    var(a, "b");
    var(a, "A").op(InstanceOf).trace();
    var(a, "b");
    var(a, "B").op(InstanceOf).trace();
    var(a, "A");
    var(a, "b").op(CastOp).op(TypeOf).trace();
    var(a, "b");
    member(a, "__proto__");
    var(a, "B");
    member(a, "prototype").op(StrictEquals).trace();
    // new Array(3).length, new Object via NewMethod on _global
    a.f64(3).f64(1).str("Array").op(NewObject);
    member(a, "length").trace();
    a.f64(0);
    var(a, "_global").str("Object").op(NewMethod).op(TypeOf).trace();
    EXPECT_EQ(run(a), lines({"BA5", "true", "true", "object", "true", "3", "object"}));
}

TEST(ScriptExceptions, TryCatchFinallyAndThrowThroughCalls)
{
    // function thrower() { throw "boom"; }
    Asm thrower;
    thrower.str("boom").op(Throw);
    Asm body, handler, last;
    body.traceStr("in try");
    call(body, "thrower", 0).op(Pop);
    body.traceStr("not reached");
    handler.str("caught ");
    var(handler, "e").op(Add2).trace();
    last.traceStr("finally");
    Asm a;
    a.function("thrower", {}, thrower);
    a.tryCatch(body, "e", handler, &last);
    a.traceStr("after");
    // finally runs when nothing is thrown; the catch does not.
    Asm quiet, never;
    quiet.traceStr("quiet");
    never.traceStr("never");
    a.tryCatch(quiet, "e", never, &last);
    // try without catch: finally runs as the throw passes on to the caller's catch.
    Asm throwing, nothing, cleanup;
    call(throwing, "thrower", 0);
    cleanup.traceStr("cleanup");
    Asm f;
    f.tryCatch(throwing, "", nothing, &cleanup);
    a.function("f", {}, f);
    Asm outer, report;
    call(outer, "f", 0).op(Pop);
    report.str("outer ");
    var(report, "e").op(Add2).trace();
    a.tryCatch(outer, "e", report);
    // An uncaught throw ends the block silently.
    call(a, "thrower", 0);
    a.traceStr("lost");
    EXPECT_EQ(run(a), lines({"in try", "caught boom", "finally", "after", "quiet", "finally", "cleanup", "outer boom"}));
}

TEST(ScriptBuiltins, StringsArraysMathAndNumbers)
{
    Asm a;
    // "Hello".toUpperCase(), .charAt(1), .indexOf("l"), .substr(1, 3), .split("l")
    a.f64(0).str("Hello").str("toUpperCase").op(CallMethod).trace();
    a.f64(1).f64(1).str("Hello").str("charAt").op(CallMethod).trace();
    a.str("l").f64(1).str("Hello").str("indexOf").op(CallMethod).trace();
    a.f64(3).f64(1).f64(2).str("Hello").str("substr").op(CallMethod).trace();
    a.str("l").f64(1).str("Hello").str("split").op(CallMethod).trace();
    a.str("abc");
    member(a, "length").trace();
    a.f64(66).f64(65).f64(2);
    var(a, "String").str("fromCharCode").op(CallMethod).trace();
    // [3, 1, 2].sort(), join("-"), reverse(), slice(1), splice
    a.str("arr").f64(2).f64(1).f64(10).f64(3).f64(4).op(InitArray).op(SetVariable);
    a.f64(0);
    var(a, "arr").str("sort").op(CallMethod).trace(); // as text: 1,10,2
    a.f64(16).f64(1);
    var(a, "arr").str("sort").op(CallMethod).trace(); // NUMERIC
    a.str("-").f64(1);
    var(a, "arr").str("join").op(CallMethod).trace();
    a.f64(4).f64(1);
    var(a, "arr").str("push").op(CallMethod).trace();
    a.f64(0);
    var(a, "arr").str("pop").op(CallMethod).trace();
    a.f64(1).f64(1).f64(2);
    var(a, "arr").str("splice").op(CallMethod).trace();
    var(a, "arr").trace();
    // Math
    a.f64(-2.5).f64(1);
    var(a, "Math").str("round").op(CallMethod).trace();
    a.f64(3).f64(2).f64(2);
    var(a, "Math").str("pow").op(CallMethod).trace();
    a.f64(-1).f64(7).f64(2);
    var(a, "Math").str("max").op(CallMethod).trace();
    // Number formatting and parsing
    a.f64(16).f64(1).f64(255).f64(1).str("Number").op(NewObject).str("toString").op(CallMethod).trace();
    a.str("0x1F").f64(1);
    call(a, "parseInt", 1).op(Pop);
    a.str("0x1F");
    call(a, "parseInt", 1).trace();
    a.str("3.5px");
    call(a, "parseFloat", 1).trace();
    a.f64(1e21).trace().f64(0.1).f64(0.2).op(Add2).trace().f64(-0.0).trace();
    EXPECT_EQ(run(a), lines({"HELLO", "e", "2", "ell", "He,,o", "3", "AB", "1,10,2,3", "1,2,3,10", "1-2-3-10", "5",
                             "4", "2", "1,3,10", "-2", "8", "7", "ff", "31", "3.5", "1e+21", "0.3", "0"}));
}

TEST(ScriptBuiltins, FunctionCallApplyAndDates)
{
    // function who(a, b) { return this.name + a + b; }
    Asm who;
    var(who, "this");
    member(who, "name");
    var(who, "a").op(Add2);
    var(who, "b").op(Add2).op(Return);
    Asm a;
    a.function("who", {"a", "b"}, who);
    a.str("o").str("name").str("O").f64(1).op(InitObject).op(SetVariable);
    // who.call(o, 1, 2)
    a.f64(2).f64(1);
    var(a, "o").f64(3);
    var(a, "who").str("call").op(CallMethod).trace();
    // who.apply(o, ["x", "y"])
    a.str("y").str("x").f64(2).op(InitArray);
    var(a, "o").f64(2);
    var(a, "who").str("apply").op(CallMethod).trace();
    // d = new Date(Date.UTC(2001, 0, 2, 3, 4, 5)); d.getDay(), d.getFullYear(), d.toString()
    a.str("d").f64(5).f64(4).f64(3).f64(2).f64(0).f64(2001).f64(6);
    var(a, "Date").str("UTC").op(CallMethod).f64(1).str("Date").op(NewObject).op(SetVariable);
    a.f64(0);
    var(a, "d").str("getDay").op(CallMethod).trace();
    a.f64(0);
    var(a, "d").str("getFullYear").op(CallMethod).trace();
    a.f64(0);
    var(a, "d").str("getTime").op(CallMethod).trace();
    a.f64(1).f64(1);
    var(a, "d").str("setMonth").op(CallMethod).op(Pop);
    a.f64(0);
    var(a, "d").str("getMonth").op(CallMethod).trace();
    EXPECT_EQ(run(a), lines({"O12", "Oxy", "2", "2001", "978404645000", "1"}));
}

TEST(ScriptValues, VersionRulesOfComparisonsAndConversions)
{
    // Version 4: Equals, Less and Not give 1 and 0, text reads as a number.
    Asm old;
    old.f64(1).f64(1).op(Equals).trace().f64(2).f64(1).op(Less).trace().str("a").op(Not).trace();
    EXPECT_EQ(run(old, 4), lines({"1", "0", "1"}));
    // From version 5 they give booleans; Greater compares the other way round.
    Asm five;
    five.f64(1).f64(1).op(Equals).trace().f64(2).f64(1).op(Greater).trace().boolean(false).trace();
    EXPECT_EQ(run(five, 5), lines({"true", "true", "false"}));
    // Signed 32-bit pushes, >>> of negatives, float pushes.
    Asm numbers;
    numbers.i32(-5).trace().i32(-1).f64(0).op(BitURShift).trace().f32(0.5f).trace();
    numbers.f64(4294967296.0 * 3 + 7).f64(0).op(BitURShift).trace();
    EXPECT_EQ(run(numbers), lines({"-5", "4294967295", "0.5", "7"}));
    // undefined reads as "" before version 7 and as "undefined" after; trace shows it always.
    Asm undefinedText;
    undefinedText.str("a").undef().op(Add2).trace().undef().trace();
    EXPECT_EQ(run(undefinedText, 6), lines({"a", "undefined"}));
    EXPECT_EQ(run(undefinedText, 7), lines({"aundefined", "undefined"}));
    // null and undefined: equal, not identical.
    Asm nulls;
    nulls.null().undef().op(Equals2).trace().null().undef().op(StrictEquals).trace().null().trace();
    EXPECT_EQ(run(nulls), lines({"true", "false", "null"}));
    // Strings of version 5 files are Windows-1252; of version 6 and later UTF-8.
    Asm euro;
    euro.str("\x80").trace();
    EXPECT_EQ(run(euro, 5), "\xE2\x82\xAC\n");
    Asm utf8;
    utf8.str("\xE2\x82\xAC").trace();
    EXPECT_EQ(run(utf8, 6), "\xE2\x82\xAC\n");
    // Variable names: without case before version 7, with case from 7.
    Asm names;
    names.str("Name").str("x").op(SetVariable);
    var(names, "name").trace();
    EXPECT_EQ(run(names, 6), lines({"x"}));
    EXPECT_EQ(run(names, 7), lines({"undefined"}));
}

TEST(ScriptLimits, RecursionEndlessLoopsAndWildFrameNumbers)
{
    // function r() { r(); } r(); — the reference player stops all actions.
    Asm r;
    call(r, "r", 0);
    Asm deep;
    deep.function("r", {}, r);
    call(deep, "r", 0);
    deep.traceStr("after");
    std::string out = playOutput(movieOf(7, {deep.bytes(), Asm().traceStr("next frame").bytes()}), 2);
    EXPECT_EQ(out, "256 levels of recursion were exceeded in one action list.\nThis is probably an infinite loop.\n"
                   "Further execution of actions has been disabled in this movie.\n");
    // An endless loop ends with the frame's budget; the next frame runs.
    Asm endless;
    endless.label("top").jump("top");
    EXPECT_EQ(playOutput(movieOf(7, {endless.bytes(), Asm().traceStr("alive").bytes()}), 2), "alive\n");
    // WaitForFrame2 with frames no timeline has: the two records after it are skipped.
    for (double frame : {1e300, 1e10, 3.0, std::numeric_limits<double>::infinity()}) {
        Asm wait;
        wait.f64(frame).record(WaitForFrame2, {2}).traceStr("skipped").traceStr("end");
        EXPECT_EQ(run(wait), lines({"end"})) << frame;
    }
    for (double frame : {1.0, -1e300, std::numeric_limits<double>::quiet_NaN()}) {
        Asm ready;
        ready.f64(frame).record(WaitForFrame2, {2}).traceStr("loaded").traceStr("end");
        EXPECT_EQ(run(ready), lines({"loaded", "end"})) << frame;
    }
}

TEST(ScriptLimits, GotosBackAndForthOnALongTimelineEndWithinTheBudget)
{
    // Every going back rebuilds the display list from the first frame: on a
    // timeline of 20000 frames, each with a placement, a script that jumps
    // back and forth for ever spends its steps on the rebuilding and ends
    // after a few rounds, as an endless loop does, leaving the movie playing.
    // The last frame reports the rounds done.
    constexpr int kFrames = 20000;
    Asm loop;
    loop.traceStr("start").str("rounds").i32(0).op(SetVariable).label("top");
    loop.f64(kFrames - 1).record(GotoFrame2, {1}).f64(kFrames - 2).record(GotoFrame2, {1});
    loop.str("rounds").str("rounds").op(GetVariable).op(Increment).op(SetVariable).jump("top");
    Asm last;
    last.traceStr("alive").str("rounds").op(GetVariable).trace().op(Stop);

    Asm::Bytes tags;
    auto add = [&tags](const Asm::Bytes& tag) { tags.insert(tags.end(), tag.begin(), tag.end()); };
    const Asm::Bytes showFrame = tagOf(1, {});
    add(tagOf(12, actionsOf(loop)));
    add(showFrame);
    const Asm::Bytes move = tagOf(26, {0x01 | 0x04, 0x01, 0x00, 0x00}); // depth 1, an empty matrix
    for (int f = 1; f < kFrames - 1; ++f) {
        add(move);
        add(showFrame);
    }
    add(tagOf(12, actionsOf(last)));
    add(showFrame);
    add(tagOf(0, {}));
    const std::string out = playOutput(movieOfTags(7, kFrames, tags), 4);
    ASSERT_EQ(out.rfind("start\nalive\n", 0), 0u) << out;
    const int rounds = std::stoi(out.substr(12));
    EXPECT_GE(rounds, 1);
    EXPECT_LE(rounds, 20); // each round rebuilds 20000 placements
}

TEST(ScriptScopes, WithGlobalAndLocals)
{
    Asm a;
    // _global.g = "G"; o = {p: "P"}; with (o) { trace(p); trace(g); }
    var(a, "_global").str("g").str("G").op(SetMember);
    a.str("o").str("p").str("P").f64(1).op(InitObject).op(SetVariable);
    Asm inside;
    var(inside, "p").trace();
    var(inside, "g").trace();
    var(a, "o").with(inside);
    // function f() { var local = 1; shared = 2; } f(); trace(local), trace(shared)
    Asm f;
    f.str("local").f64(1).op(DefineLocal).str("shared").f64(2).op(SetVariable);
    a.function("f", {}, f);
    call(a, "f", 0).op(Pop);
    var(a, "local").trace();
    var(a, "shared").trace();
    EXPECT_EQ(run(a), lines({"P", "G", "undefined", "2"}));
}

TEST(ScriptBuiltins, AccessorsBroadcastersAndKeyCodes)
{
    Asm getter, setter, ping;
    getter.str("got").op(Return);
    setter.str("set ");
    var(setter, "x").op(Add2).trace();
    ping.str("ping ");
    var(ping, "a").op(Add2).trace();
    Asm a;
    // o = {}; o.addProperty("v", getter, setter); trace(o.v); o.v = 5;
    a.str("o").f64(0).op(InitObject).op(SetVariable);
    a.function("", {"x"}, setter).function("", {}, getter).str("v").f64(3);
    var(a, "o").str("addProperty").op(CallMethod).trace();
    var(a, "o");
    member(a, "v").trace();
    var(a, "o").str("v").f64(5).op(SetMember);
    // l = {onPing: ping}; b = {}; AsBroadcaster.initialize(b); b.addListener(l); b.broadcastMessage("onPing", 3)
    a.str("l").str("onPing").function("", {"a"}, ping).f64(1).op(InitObject).op(SetVariable);
    a.str("b").f64(0).op(InitObject).op(SetVariable);
    var(a, "b").f64(1);
    var(a, "AsBroadcaster").str("initialize").op(CallMethod).op(Pop);
    var(a, "l").f64(1);
    var(a, "b").str("addListener").op(CallMethod).op(Pop);
    a.f64(3).str("onPing").f64(2);
    var(a, "b").str("broadcastMessage").op(CallMethod).op(Pop);
    var(a, "Key");
    member(a, "LEFT").trace();
    a.f64(37).f64(1);
    var(a, "Key").str("isDown").op(CallMethod).trace();
    var(a, "Stage");
    member(a, "width").trace();
    EXPECT_EQ(run(a), lines({"true", "got", "set 5", "ping 3", "37", "false", "0"}));
}

TEST(ScriptClips, CreatedClipsTheirPropertiesAndDepths)
{
    Asm a;
    // _root.createEmptyMovieClip("e", 5)
    a.f64(5).str("e").f64(2);
    var(a, "_root").str("createEmptyMovieClip").op(CallMethod).op(Pop);
    var(a, "e");
    member(a, "_name").trace();
    a.f64(0);
    var(a, "e").str("getDepth").op(CallMethod).trace();
    // Positions are whole twips.
    var(a, "e").str("_x").f64(10.333).op(SetMember);
    var(a, "e");
    member(a, "_x").trace();
    var(a, "e").op(TypeOf).trace();
    var(a, "e").trace();
    // A second clip, then swapDepths with it and getInstanceAtDepth.
    a.f64(9).str("f").f64(2);
    var(a, "_root").str("createEmptyMovieClip").op(CallMethod).op(Pop);
    var(a, "f").f64(1);
    var(a, "e").str("swapDepths").op(CallMethod).op(Pop);
    a.f64(0);
    var(a, "e").str("getDepth").op(CallMethod).trace();
    a.f64(5).f64(1);
    var(a, "_root").str("getInstanceAtDepth").op(CallMethod);
    member(a, "_name").trace();
    a.f64(0);
    var(a, "_root").str("getNextHighestDepth").op(CallMethod).trace();
    // removeMovieClip: the reference lapses.
    a.f64(0);
    var(a, "e").str("removeMovieClip").op(CallMethod).op(Pop);
    var(a, "e").op(TypeOf).trace();
    EXPECT_EQ(run(a, 6), lines({"e", "5", "10.3", "movieclip", "_level0.e", "9", "f", "10", "undefined"}));
}

} // namespace
} // namespace lumbra::movie::test
