// The core language of the action machine on hand-assembled code: the old
// string and number actions, the equality and ordering rules, conversions of
// every kind of value, the object model's hooks (accessors, watchpoints,
// __resolve, property flags), function calls and the Error class. Expected
// texts follow the file format's action list and the language reference.
#include "ActionAssembler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lumbra::movie::test {
namespace {

enum : std::uint8_t {
    Add = 0x0A, Equals = 0x0E, Less = 0x0F, And = 0x10, Not = 0x12, StringEquals = 0x13,
    StringLength = 0x14, StringExtract = 0x15, Pop = 0x17, ToInteger = 0x18, GetVariable = 0x1C,
    SetVariable = 0x1D, StringAdd = 0x21, GetProperty = 0x22, SetProperty = 0x23, StringLess = 0x29,
    Throw = 0x2A, MBStringLength = 0x31, CharToAscii = 0x32, AsciiToChar = 0x33, MBStringExtract = 0x35,
    MBCharToAscii = 0x36, MBAsciiToChar = 0x37, Delete = 0x3A, DefineLocal = 0x3C, CallFunction = 0x3D,
    Return = 0x3E, Modulo = 0x3F, NewObject = 0x40, InitArray = 0x42, InitObject = 0x43, TypeOf = 0x44,
    Enumerate2 = 0x55, Add2 = 0x47, Less2 = 0x48, Equals2 = 0x49, ToNumber = 0x4A, ToString = 0x4B,
    GetMember = 0x4E, SetMember = 0x4F, CallMethod = 0x52, NewMethod = 0x53, BitURShift = 0x65,
    StrictEquals = 0x66, Greater = 0x67, StringGreater = 0x68, If = 0x9D,
};

Asm& var(Asm& a, std::string_view name) { return a.str(name).op(GetVariable); }
Asm& member(Asm& a, std::string_view name) { return a.str(name).op(GetMember); }
// name(args...) with the arguments already pushed, last first.
Asm& call(Asm& a, std::string_view name, int argc) { return a.f64(argc).str(name).op(CallFunction); }
// object.name(args...) with the arguments already pushed, last first.
Asm& callOn(Asm& a, std::string_view object, std::string_view name, int argc)
{
    a.f64(argc);
    return var(a, object).str(name).op(CallMethod);
}
// Each pair of pushes compared (or combined) by `op`, then traced.
Asm& each(Asm& a, std::uint8_t op, std::initializer_list<std::pair<double, double>> pairs)
{
    for (auto [x, y] : pairs)
        a.f64(x).f64(y).op(op).trace();
    return a;
}
std::string lines(std::initializer_list<const char*> texts)
{
    std::string out;
    for (const char* t : texts)
        out += std::string(t) + "\n";
    return out;
}

TEST(LanguageStrings, VersionFourStringActions)
{
    Asm a;
    a.str("ab").str("cd").op(StringAdd).trace();
    a.str("abc").str("abc").op(StringEquals).trace().str("abc").str("abd").op(StringLess).trace();
    a.str("b").str("a").op(StringGreater).trace();
    a.str("hello").op(StringLength).trace();
    // substring("hello", 2, 3); an index below 1 counts from the start; a negative count takes the rest.
    a.str("hello").f64(2).f64(3).op(StringExtract).trace();
    a.str("hello").f64(0).f64(2).op(StringExtract).trace();
    a.str("hello").f64(3).f64(-1).op(StringExtract).trace();
    a.str("hello").f64(9).f64(2).op(StringExtract).trace();
    a.str("A").op(CharToAscii).trace().f64(66).op(AsciiToChar).trace();
    // chr(0) is the empty text: strings end at a zero character.
    a.f64(0).op(AsciiToChar).op(StringLength).trace();
    // int(): truncation towards zero, and wrapping as a 32-bit integer.
    a.f64(-3.7).op(ToInteger).trace().f64(4294967297.0).op(ToInteger).trace();
    a.str("x").op(ToInteger).trace();
    EXPECT_EQ(run(a, 4), lines({"abcd", "1", "1", "1", "5", "ell", "he", "llo", "", "65", "B", "0", "-3", "1", "0"}));
}

TEST(LanguageStrings, MultiByteActionsCountCharactersNotUnits)
{
    // U+1D11E (a surrogate pair in UTF-16) then "x".
    Asm a;
    a.str("\xF0\x9D\x84\x9Ex").op(MBStringLength).trace();
    a.str("\xF0\x9D\x84\x9Ex").f64(2).f64(1).op(MBStringExtract).trace();
    a.str("\xF0\x9D\x84\x9E").op(MBCharToAscii).trace();
    a.f64(0x1D11E).op(MBAsciiToChar).op(MBStringLength).trace();
    a.f64(0x20AC).op(MBAsciiToChar).trace();
    EXPECT_EQ(run(a, 6), lines({"2", "x", "119070", "1", "\xE2\x82\xAC"}));
}

TEST(LanguageNumbers, ModuloShiftsAndOldEquality)
{
    Asm a;
    each(a, Modulo, {{-7, 3}, {7, -3}, {5, 0}, {std::numeric_limits<double>::infinity(), 2},
                     {5, std::numeric_limits<double>::infinity()}, {5.5, 2}});
    each(a, BitURShift, {{-1, 0}, {-8, 1}, {4294967296.0 + 5, 0}, {1, 33}, {-2147483648.0, 31}});
    // The old Equals compares numbers, whatever the operands were.
    a.str("1").str("1.0").op(Equals).trace().str("abc").str("xyz").op(Equals).trace();
    // Version 5 and 6 read a text that is not a number as NaN there.
    EXPECT_EQ(run(a, 5), lines({"-1", "1", "NaN", "NaN", "5", "1.5", "4294967295", "2147483644", "5", "0", "1",
                                "true", "false"}));
    Asm old;
    old.str("abc").str("xyz").op(Equals).trace();
    EXPECT_EQ(run(old, 4), lines({"1"}));
}

TEST(LanguageValues, AbstractEqualityFollowsTheConversionRules)
{
    Asm a;
    a.str("1").f64(1).op(Equals2).trace();             // text and number: as numbers
    a.boolean(true).f64(1).op(Equals2).trace();        // booleans as numbers
    a.str("true").boolean(true).op(Equals2).trace();   // "true" is NaN as a number
    a.null().f64(0).op(Equals2).trace();               // null equals only null and undefined
    a.undef().null().op(Equals2).trace();
    a.f64(std::nan("")).f64(std::nan("")).op(Equals2).trace();
    // {valueOf: function () { return 7; }} == 7 and == "7"; two objects compare by identity.
    Asm seven;
    seven.f64(7).op(Return);
    a.str("o").str("valueOf").function("", {}, seven).f64(1).op(InitObject).op(SetVariable);
    var(a, "o").f64(7).op(Equals2).trace();
    var(a, "o").str("7").op(Equals2).trace();
    var(a, "o").f64(0).op(InitObject).op(Equals2).trace();
    var(a, "o");
    var(a, "o").op(Equals2).trace();
    var(a, "o").f64(7).op(StrictEquals).trace();
    EXPECT_EQ(run(a), lines({"true", "true", "false", "false", "true", "false", "true", "true", "false", "true",
                             "false"}));
}

TEST(LanguageValues, OrderingOfTextsNumbersAndNaN)
{
    Asm a;
    a.str("a").str("b").op(Less2).trace();
    a.str("10").str("9").op(Less2).trace();   // both texts: by characters
    a.f64(10).str("9").op(Less2).trace();     // one number: as numbers
    a.str("x").f64(1).op(Less2).trace();      // NaN: undefined
    a.str("B").str("a").op(Greater).trace();
    a.f64(2).f64(1).op(Greater).trace();
    a.undef().f64(1).op(Greater).trace();
    EXPECT_EQ(run(a, 7), lines({"true", "true", "false", "undefined", "false", "true", "undefined"}));
    // Before version 7 undefined reads as 0.
    Asm old;
    old.undef().f64(1).op(Greater).trace().undef().f64(1).op(Less2).trace();
    EXPECT_EQ(run(old, 6), lines({"false", "true"}));
}

TEST(LanguageValues, TypesAndTextsOfEveryKind)
{
    Asm a;
    a.f64(1).op(TypeOf).trace().str("").op(TypeOf).trace().boolean(false).op(TypeOf).trace();
    a.null().op(TypeOf).trace().undef().op(TypeOf).trace();
    var(a, "_root").op(TypeOf).trace();
    var(a, "Object").op(TypeOf).trace();
    a.f64(0).op(InitObject).op(TypeOf).trace();
    var(a, "_root").op(ToString).trace();
    var(a, "Object").op(ToString).trace();
    a.f64(0).op(InitObject).op(ToString).trace();
    a.f64(1).f64(2).f64(2).op(InitArray).op(ToString).trace();
    a.null().op(ToString).trace();
    a.str(" 0x1F ").op(ToNumber).trace().str("1e3").op(ToNumber).trace().str("12px").op(ToNumber).trace();
    a.boolean(true).op(ToNumber).trace().null().op(ToNumber).trace();
    EXPECT_EQ(run(a, 7), lines({"number", "string", "boolean", "null", "undefined", "movieclip", "function", "object",
                                "_level0", "[type Function]", "[object Object]", "2,1", "null", "31", "1000", "NaN",
                                "1", "NaN"}));
}

TEST(LanguageObjects, ErrorClassAndThrownValues)
{
    Asm a;
    // e = new Error("bad"); trace(e.message); trace(e.name); trace(e)
    a.str("e").str("bad").f64(1).str("Error").op(NewObject).op(SetVariable);
    var(a, "e");
    member(a, "message").trace();
    var(a, "e");
    member(a, "name").trace();
    var(a, "e").trace();
    // A message-less error shows "Error".
    a.f64(0).str("Error").op(NewObject).trace();
    // Error is a class: instanceof and a prototype with toString.
    var(a, "e");
    var(a, "Error").op(0x54).trace();
    // throw "text" and throw new Error, caught.
    Asm thrower;
    thrower.str("plain").op(Throw);
    Asm handler;
    var(handler, "x").trace();
    a.tryCatch(thrower, "x", handler);
    Asm thrower2;
    var(thrower2, "e").op(Throw);
    Asm handler2;
    var(handler2, "x");
    member(handler2, "message").trace();
    a.tryCatch(thrower2, "x", handler2);
    // A subclass sets its own name through the prototype.
    a.str("E2").f64(0).op(InitObject).op(SetVariable);
    a.str("after").trace();
    EXPECT_EQ(run(a), lines({"bad", "Error", "bad", "Error", "true", "plain", "bad", "after"}));
}

TEST(LanguageObjects, UncaughtThrowEndsOnlyTheCurrentBlock)
{
    Asm first;
    first.str("one").trace().str("oops").op(Throw).str("never").trace();
    Asm second;
    second.str("two").trace();
    EXPECT_EQ(playOutput(movieOf(7, {actionsOf(first), actionsOf(second)})), lines({"one", "two"}));
}

TEST(LanguageObjects, WatchpointsDecideWhatIsStored)
{
    // function w(name, old, value, data) { trace(name + ":" + old + ">" + value + data); return value * 2; }
    Asm w;
    var(w, "name").str(":").op(Add2);
    var(w, "old").op(Add2).str(">").op(Add2);
    var(w, "value").op(Add2);
    var(w, "data").op(Add2).trace();
    var(w, "value").f64(2).op(0x0C).op(Return);
    Asm a;
    a.function("w", {"name", "old", "value", "data"}, w);
    a.str("o").f64(0).op(InitObject).op(SetVariable);
    a.str("!");
    var(a, "w").str("x");
    callOn(a, "o", "watch", 3).trace();
    var(a, "o").str("x").f64(5).op(SetMember);
    var(a, "o").str("x").f64(6).op(SetMember);
    var(a, "o");
    member(a, "x").trace();
    a.str("x");
    callOn(a, "o", "unwatch", 1).trace();
    var(a, "o").str("x").f64(7).op(SetMember);
    var(a, "o");
    member(a, "x").trace();
    a.str("x");
    callOn(a, "o", "unwatch", 1).trace();
    // A callback that assigns the watched name itself is not called again.
    Asm self;
    var(self, "this").str("y").f64(1).op(SetMember).str("seen").trace();
    var(self, "value").op(Return);
    a.function("s", {"name", "old", "value"}, self);
    var(a, "s").str("y");
    callOn(a, "o", "watch", 2).op(Pop);
    var(a, "o").str("y").f64(9).op(SetMember);
    var(a, "o");
    member(a, "y").trace();
    EXPECT_EQ(run(a), lines({"true", "x:undefined>5!", "x:10>6!", "12", "true", "7", "false", "seen", "9"}));
}

TEST(LanguageObjects, ResolveAnswersMissingMembers)
{
    // o.__resolve = function (name) { return "<" + name + ">"; }
    Asm resolver;
    resolver.str("<");
    var(resolver, "name").op(Add2).str(">").op(Add2).op(Return);
    Asm a;
    a.str("o").str("here").f64(1).f64(1).op(InitObject).op(SetVariable);
    var(a, "o").str("__resolve").function("", {"name"}, resolver).op(SetMember);
    var(a, "o");
    member(a, "missing").trace();
    var(a, "o");
    member(a, "here").trace();
    // Objects made from it inherit the resolver.
    a.str("p").f64(0).op(InitObject).op(SetVariable);
    var(a, "p").str("__proto__");
    var(a, "o").op(SetMember);
    var(a, "p");
    member(a, "deep").trace();
    EXPECT_EQ(run(a), lines({"<missing>", "1", "<deep>"}));
}

TEST(LanguageObjects, AccessorsAreInheritedAndRunOnTheInstance)
{
    // P.prototype.addProperty("v", function () { return this.k * 10; }, function (x) { this.k = x; })
    Asm getter;
    var(getter, "this");
    member(getter, "k").f64(10).op(0x0C).op(Return);
    Asm setter;
    var(setter, "this").str("k");
    var(setter, "x").op(SetMember);
    Asm a;
    a.str("proto").f64(0).op(InitObject).op(SetVariable);
    a.function("", {"x"}, setter).function("", {}, getter).str("v");
    callOn(a, "proto", "addProperty", 3).trace();
    a.str("o").f64(0).op(InitObject).op(SetVariable);
    var(a, "o").str("__proto__");
    var(a, "proto").op(SetMember);
    var(a, "o").str("v").f64(4).op(SetMember);
    var(a, "o");
    member(a, "v").trace();
    var(a, "o");
    member(a, "k").trace();
    // Without a getter function the property is not added.
    a.null().str("w");
    callOn(a, "o", "addProperty", 2).trace();
    // hasOwnProperty sees the instance's k, not the inherited v.
    a.str("k");
    callOn(a, "o", "hasOwnProperty", 1).trace();
    a.str("v");
    callOn(a, "o", "hasOwnProperty", 1).trace();
    var(a, "o");
    callOn(a, "proto", "isPrototypeOf", 1).trace();
    EXPECT_EQ(run(a), lines({"true", "40", "4", "false", "true", "false", "true"}));
}

TEST(LanguageObjects, PropertyFlagsHideProtectAndFollowTheVersion)
{
    // o = {a: 1, b: 2, c: 3, d: 4}; ASSetPropFlags(o, "a,b", 1); ASSetPropFlags(o, ["c"], 6)
    Asm a;
    a.str("o").str("a").f64(1).str("b").f64(2).str("c").f64(3).str("d").f64(4).f64(4).op(InitObject).op(SetVariable);
    a.f64(1).str("a,b");
    var(a, "o").f64(3).str("ASSetPropFlags").op(CallFunction).op(Pop);
    a.f64(6).str("c").f64(1).op(InitArray);
    var(a, "o").f64(3).str("ASSetPropFlags").op(CallFunction).op(Pop);
    // for (n in o) trace(n): only c and d; the literal sets its pairs last first,
    // and the newest property comes first.
    var(a, "o").op(Enumerate2).label("loop").storeRegister(0).null().op(Equals2).branchIf("done");
    a.reg(0).trace().jump("loop").label("done");
    // c is read-only and cannot be deleted; a stays readable and deletable.
    var(a, "o").str("c").f64(9).op(SetMember);
    var(a, "o");
    member(a, "c").trace();
    var(a, "o").str("c").op(Delete).trace();
    var(a, "o");
    member(a, "a").trace();
    a.str("a");
    callOn(a, "o", "isPropertyEnumerable", 1).trace();
    // Clearing bits makes b enumerable again.
    a.f64(1).f64(0).str("b");
    var(a, "o").f64(4).str("ASSetPropFlags").op(CallFunction).op(Pop);
    a.str("b");
    callOn(a, "o", "isPropertyEnumerable", 1).trace();
    // The version bits: 0x400 hides from movies before 7, 0x100 from movies of 6.
    a.f64(0x400).str("d");
    var(a, "o").f64(3).str("ASSetPropFlags").op(CallFunction).op(Pop);
    var(a, "o");
    member(a, "d").trace();
    a.f64(0x400).f64(0x100).str("d");
    var(a, "o").f64(4).str("ASSetPropFlags").op(CallFunction).op(Pop);
    var(a, "o");
    member(a, "d").trace();
    EXPECT_EQ(run(a, 5), lines({"c", "d", "3", "false", "1", "false", "true", "undefined", "4"}));
    EXPECT_EQ(run(a, 6), lines({"c", "d", "3", "false", "1", "false", "true", "undefined", "undefined"}));
    EXPECT_EQ(run(a, 7), lines({"c", "d", "3", "false", "1", "false", "true", "4", "4"}));
}

TEST(LanguageFunctions, ArgumentsKnowTheirCalleeAndCaller)
{
    // function inner() { return arguments.caller == outer && arguments.callee == inner; }
    Asm inner;
    var(inner, "arguments");
    member(inner, "caller");
    var(inner, "outer").op(StrictEquals);
    var(inner, "arguments");
    member(inner, "callee");
    var(inner, "inner").op(StrictEquals).op(And).op(Return);
    Asm outer;
    call(outer, "inner", 0).op(Return);
    Asm top;
    var(top, "arguments");
    member(top, "caller").op(TypeOf).op(Return);
    Asm a;
    a.function("inner", {}, inner).function("outer", {}, outer).function("top", {}, top);
    call(a, "outer", 0).trace();
    call(a, "top", 0).trace();
    EXPECT_EQ(run(a), lines({"true", "null"}));
}

TEST(LanguageNames, PathsReachClipsAndObjects)
{
    Asm a;
    // _root.createEmptyMovieClip("a", 1); a.v = "clip";
    a.f64(1).str("a");
    callOn(a, "_root", "createEmptyMovieClip", 2).op(Pop);
    var(a, "a").str("v").str("clip").op(SetMember);
    a.str("/a:v").op(GetVariable).trace();
    a.str("a:v").op(GetVariable).trace();
    a.str("_root.a.v").op(GetVariable).trace();
    a.str("/a").op(GetVariable).trace();
    a.str("/:w").str("root w").op(SetVariable);
    var(a, "w").trace();
    // Inside a: "../w" is the root's, "_parent.w" too.
    a.str("/a").op(0x20);
    a.str("../:w").op(GetVariable).trace();
    a.str("_parent.w").op(GetVariable).trace();
    var(a, "v").trace();
    a.str("").op(0x20);
    // Dots reach into objects: o = {p: {q: 5}}; eval("o.p.q"); set("o.p.r", 6).
    a.str("o").str("p").str("q").f64(5).f64(1).op(InitObject).f64(1).op(InitObject).op(SetVariable);
    a.str("o.p.q").op(GetVariable).trace();
    a.str("o.p.r").f64(6).op(SetVariable);
    var(a, "o");
    member(a, "p");
    member(a, "r").trace();
    a.str("o.missing.q").op(GetVariable).trace();
    EXPECT_EQ(run(a), lines({"clip", "clip", "clip", "_level0.a", "root w", "root w", "root w", "clip", "5", "6",
                             "undefined"}));
}

TEST(LanguageNames, MembersIgnoreCaseBeforeVersionSeven)
{
    Asm a;
    a.str("o").str("Foo").f64(1).f64(1).op(InitObject).op(SetVariable);
    var(a, "O");
    member(a, "foo").trace();
    var(a, "_ROOT").op(TypeOf).trace();
    EXPECT_EQ(run(a, 6), lines({"1", "movieclip"}));
    EXPECT_EQ(run(a, 7), lines({"undefined", "movieclip"}));
}

TEST(LanguageClips, PropertiesKeepTheirStoredPrecision)
{
    Asm a;
    var(a, "_root").str("_alpha").f64(30).op(SetMember);
    var(a, "_root");
    member(a, "_alpha").trace();
    var(a, "_root");
    member(a, "_visible").trace();
    var(a, "_root").str("_x").f64(10.337).op(SetMember);
    var(a, "_root");
    member(a, "_x").trace();
    var(a, "_root").str("_rotation").f64(270).op(SetMember);
    var(a, "_root");
    member(a, "_rotation").trace();
    EXPECT_EQ(run(a), lines({"29.6875", "true", "10.3", "-90"}));
    Asm old;
    old.str("").f64(7).op(GetProperty).trace();
    EXPECT_EQ(run(old, 4), lines({"1"}));
}

TEST(LanguageValues, ClipsCompareByIdentityAndByTheirPath)
{
    Asm a;
    var(a, "_root").str("_level0").op(Equals2).trace();
    var(a, "_root");
    var(a, "this").op(Equals2).trace();
    var(a, "_root").f64(1).op(Equals2).trace();
    var(a, "_root").str("_level0").op(StrictEquals).trace();
    var(a, "_root").str("/").op(Add2).trace();
    var(a, "_root").str("_level1").op(Less2).trace();
    EXPECT_EQ(run(a), lines({"true", "true", "false", "false", "_level0/", "true"}));
}

TEST(LanguageFunctions, SuperReachesEachLevelOfAClassChain)
{
    // A.prototype.who = function () { return "A"; }
    // B extends A: who() { return "B" + super.who(); }; C extends B likewise.
    Asm whoA;
    whoA.str("A").op(Return);
    auto level = [](const char* name) {
        Asm who;
        who.str(name).f64(0);
        var(who, "super").str("who").op(CallMethod).op(Add2).op(Return);
        return who;
    };
    // Constructors record the chain: A sets this.a, B and C call super() first.
    Asm ctorA;
    var(ctorA, "this").str("made").str("A").op(SetMember);
    Asm ctorB;
    ctorB.f64(0);
    var(ctorB, "super").undef().op(CallMethod).op(Pop);
    var(ctorB, "this").str("made");
    var(ctorB, "this");
    member(ctorB, "made").str("B").op(Add2).op(SetMember);
    Asm a;
    a.function("A", {}, ctorA).function("B", {}, ctorB).function("C", {}, ctorB);
    var(a, "A");
    member(a, "prototype").str("who").function("", {}, whoA).op(SetMember);
    var(a, "B");
    var(a, "A").op(0x69);
    var(a, "C");
    var(a, "B").op(0x69);
    var(a, "B");
    member(a, "prototype").str("who").function("", {}, level("B")).op(SetMember);
    var(a, "C");
    member(a, "prototype").str("who").function("", {}, level("C")).op(SetMember);
    a.str("c").f64(0).str("C").op(NewObject).op(SetVariable);
    a.f64(0);
    var(a, "c").str("who").op(CallMethod).trace();
    var(a, "c");
    member(a, "made").trace();
    EXPECT_EQ(run(a), lines({"CBA", "ABB"}));
}

TEST(LanguageFunctions, InterfacesCastsAndPlainCallsThroughCall)
{
    // function I() {}  function K() {}  K implements I
    Asm empty;
    Asm a;
    a.function("I", {}, empty).function("K", {}, empty).function("J", {}, empty);
    var(a, "I").f64(1);
    var(a, "K").op(0x2C);
    a.str("k").f64(0).str("K").op(NewObject).op(SetVariable);
    var(a, "k");
    var(a, "I").op(0x54).trace();
    var(a, "k");
    var(a, "J").op(0x54).trace();
    var(a, "I");
    var(a, "k").op(0x2B).op(TypeOf).trace();
    var(a, "J");
    var(a, "k").op(0x2B).trace();
    // function t() { return this; }  t.call(null) is a plain call: the timeline.
    Asm self;
    var(self, "this").op(Return);
    a.function("t", {}, self);
    a.null();
    callOn(a, "t", "call", 1).trace();
    a.str("o").f64(0).op(InitObject).op(SetVariable);
    a.f64(0).op(InitArray);
    var(a, "o");
    callOn(a, "t", "apply", 2).op(TypeOf).trace();
    EXPECT_EQ(run(a), lines({"true", "false", "object", "null", "_level0", "object"}));
}

TEST(LanguageFunctions, FunctionsKeepTheScopeOfTheClipThatDefinedThem)
{
    Asm a;
    a.f64(1).str("a");
    callOn(a, "_root", "createEmptyMovieClip", 2).op(Pop);
    a.str("v").str("root").op(SetVariable);
    var(a, "a").str("v").str("in a").op(SetMember);
    // Under tellTarget("a"): function f() { return v; } defined there, called from the root.
    Asm body;
    var(body, "v").op(Return);
    a.str("a").op(0x20).function("f", {}, body).str("").op(0x20);
    var(a, "a");
    member(a, "f").op(TypeOf).trace();
    a.f64(0);
    var(a, "a").str("f").op(CallMethod).trace();
    a.str("g");
    var(a, "a");
    member(a, "f").op(SetVariable);
    call(a, "g", 0).trace();
    EXPECT_EQ(run(a), lines({"function", "in a", "in a"}));
}

// for (n in <object pushed by `subject`>) trace(n), then "|".
Asm& forIn(Asm& a, const std::string& tag)
{
    a.op(Enumerate2).label(tag).storeRegister(0).null().op(Equals2).branchIf(tag + "end");
    return a.reg(0).trace().jump(tag).label(tag + "end").traceStr("|");
}

TEST(LanguageObjects, ForInVisitsTheNewestFirstAndHidesBuiltIns)
{
    Asm a;
    // Timeline variables keep the case they were first set with (version 6 names ignore case).
    a.str("First").f64(1).op(SetVariable).str("second").f64(2).op(SetVariable).str("FIRST").f64(3).op(SetVariable);
    var(a, "this");
    forIn(a, "clip");
    // o.x = 1; o.y = 2; o.z = 3; delete o.y; o.y = 4
    a.str("o").f64(0).op(InitObject).op(SetVariable);
    for (const char* n : {"x", "y", "z"})
        var(a, "o").str(n).f64(1).op(SetMember);
    var(a, "o").str("y").op(Delete).op(Pop);
    var(a, "o").str("y").f64(4).op(SetMember);
    var(a, "o");
    forIn(a, "object");
    // Built-ins show nothing.
    var(a, "_global");
    forIn(a, "global");
    var(a, "Object");
    member(a, "prototype");
    forIn(a, "proto");
    EXPECT_EQ(run(a, 6), lines({"second", "First", "|", "y", "z", "x", "|", "|", "|"}));
}

TEST(LanguageFunctions, DefineFunction2PreloadsInOrderAndSuppresses)
{
    // Preload this, arguments, _root, _parent and _global into r1..r5. Called
    // as a method of clip a: this is a; _parent is the defining timeline's
    // (the root's: none), as the name would read there.
    Asm body;
    body.reg(1).trace().reg(2);
    member(body, "length").trace().reg(3).trace().reg(4).trace().reg(5).op(TypeOf).trace();
    // The parameter in r6 and the one by name.
    body.reg(6).trace();
    var(body, "q").trace();
    Asm a;
    a.f64(1).str("a");
    callOn(a, "_root", "createEmptyMovieClip", 2).op(Pop);
    var(a, "a").str("f").function2("", 7, 0x01 | 0x04 | 0x40 | 0x80 | 0x100, {{6, "p"}, {0, "q"}}, body).op(SetMember);
    a.str("Q").str("P");
    callOn(a, "a", "f", 2);
    a.op(Pop);
    // Suppressed arguments are not there by name.
    Asm hidden;
    var(hidden, "arguments").op(TypeOf).trace();
    a.function2("g", 1, 0x02 | 0x08, {}, hidden);
    call(a, "g", 0).op(Pop);
    EXPECT_EQ(run(a), lines({"_level0.a", "2", "_level0", "undefined", "object", "P", "Q", "undefined"}));
}

TEST(LanguageFunctions, FunctionsOfRemovedClipsStillRun)
{
    Asm a;
    a.f64(1).str("a");
    callOn(a, "_root", "createEmptyMovieClip", 2).op(Pop);
    // a.f = function (x) { return "got " + x; } defined under tellTarget("a"), kept in g.
    Asm body;
    body.str("got ");
    var(body, "x").op(Add2).op(Return);
    a.str("a").op(0x20).str("f").function("", {"x"}, body).op(DefineLocal).str("").op(0x20);
    a.str("g");
    var(a, "a");
    member(a, "f").op(SetVariable);
    callOn(a, "a", "removeMovieClip", 0).op(Pop);
    var(a, "a").op(TypeOf).trace();
    a.f64(5);
    call(a, "g", 1).trace();
    EXPECT_EQ(run(a), lines({"undefined", "got 5"}));
}

TEST(LanguageObjects, ObjectWrapsPrimitivesAndArraysOwnTheirElements)
{
    Asm a;
    a.str("abc").f64(1).str("Object").op(CallFunction).op(TypeOf).trace();
    a.str("abc").f64(1).str("Object").op(CallFunction);
    member(a, "length").trace();
    a.f64(5).f64(1).str("Object").op(NewObject).f64(1).op(Add2).trace();
    a.null().f64(1).str("Object").op(CallFunction).op(TypeOf).trace();
    // arr = [undefined, 2]: index 0 is its own (and enumerable) even holding undefined.
    a.str("arr").f64(2).undef().f64(2).op(InitArray).op(SetVariable);
    a.str("0");
    callOn(a, "arr", "hasOwnProperty", 1).trace();
    a.f64(1);
    callOn(a, "arr", "isPropertyEnumerable", 1).trace();
    a.f64(2);
    callOn(a, "arr", "hasOwnProperty", 1).trace();
    a.str("length");
    callOn(a, "arr", "isPropertyEnumerable", 1).trace();
    EXPECT_EQ(run(a), lines({"object", "3", "6", "object", "true", "true", "false", "false"}));
}

} // namespace
} // namespace lumbra::movie::test
