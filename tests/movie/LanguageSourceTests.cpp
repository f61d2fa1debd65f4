// The language as authors write it, compiled from source: conversions
// through toString and valueOf, typeof and instanceof of every kind of value,
// calls through apply and call, the arguments object, delete and the
// property queries, names by version, and the numbers of the x87 unit the
// reference player computes with. Expected texts follow the language
// reference and the reference player's known outputs.
#include <gtest/gtest.h>

#include "SourceSupport.h"

namespace lumbra::movie::test {
namespace {

TEST(LanguageSource, MathTrigonometryFollowsTheX87Unit)
{
    // The unit reduces with a 66-bit pi: the reference player's well-known
    // sin(PI) and tan(PI/2), not those of an exact reduction.
    EXPECT_EQ(runSource(R"(
        trace(Math.sin(Math.PI));
        trace(Math.cos(Math.PI / 2));
        trace(Math.tan(Math.PI / 2));
        trace(Math.sin(1) + " " + Math.cos(1) + " " + Math.tan(1));
        trace(Math.sin(1e10) + " " + Math.cos(1e10));
        trace((Math.abs(Math.sin(1e300)) <= 1) + " " + Math.sin(-0) + " " + Math.cos(Infinity) + " " + Math.tan(NaN));
        trace(Math.pow(2, 0.5) + " " + Math.pow(2, -1074) + " " + Math.pow(-8, 1 / 3) + " " + Math.pow(-2, 3));
        trace(Math.max() + " " + Math.min() + " " + Math.max(3) + " " + Math.max(1, 5, 9) + " " + Math.min(2, NaN));
    )"),
              "1.22460635382238e-16\n6.12303176911189e-17\n1.63317787283838e+16\n"
              "0.841470984807897 0.54030230586814 1.5574077246549\n"
              "-0.48750602507627 0.873119622683132\n"
              "true 0 NaN NaN\n"
              "1.4142135623731 4.94065645841247e-324 NaN -8\n"
              "-Infinity Infinity NaN 5 NaN\n");
}

TEST(LanguageSource, ConversionsCallToStringAndValueOf)
{
    EXPECT_EQ(runSource(R"(
        var o = {toString: function () { return "TS"; }, valueOf: function () { return 42; }};
        trace(o + 1);
        trace(o + "x");
        trace(String(o) + " " + o * 2 + " " + [o, o].join("-") + " " + (o == 42) + " " + (o < 50));
        var plain = {};
        trace(plain + " " + (function () {}) + " " + Math + " " + _root + " " + [1, [2, 3]]);
        class Money { var cents; function Money(c) { cents = c; }
            function valueOf() { return cents / 100; } function toString() { return "$" + valueOf(); } }
        var m = new Money(250);
        trace(m + 1);
        trace(String(m) + " " + (m > 2) + " " + [m]);
        class Plain { function toString() { return "Plain<" + super.toString() + ">"; } }
        trace(new Plain() + " " + String(new Plain()));
    )", 7),
              "43\n42x\nTS 84 TS-TS true true\n[object Object] [type Function] [object Object] _level0 1,2,3\n3.5\n$2.5 true $2.5\n"
              "Plain<[object Object]> Plain<[object Object]>\n");
}

TEST(LanguageSource, TypeofAndInstanceofOfEveryKind)
{
    EXPECT_EQ(runSource(R"(
        _root.createTextField("field", 2, 0, 0, 10, 10);
        trace(typeof undefined + " " + typeof null + " " + typeof 1 + " " + typeof "s" + " " + typeof true);
        trace(typeof {} + " " + typeof [] + " " + typeof Math.abs + " " + typeof Object + " " + typeof _root + " " + typeof field);
        trace(typeof new String("x") + " " + typeof String("x") + " " + typeof new Number(1) + " " + typeof super);
        trace((5 instanceof Number) + " " + ("s" instanceof String) + " " + (new Number(5) instanceof Number) + " "
              + ([] instanceof Array) + " " + ([] instanceof Object) + " " + ((function () {}) instanceof Function) + " "
              + (null instanceof Object) + " " + (_root instanceof MovieClip) + " " + (new Error() instanceof Object));
    )", 7),
              "undefined null number string boolean\nobject object function function movieclip object\n"
              "object string object undefined\nfalse false true true true true false true true\n");
}

TEST(LanguageSource, CallsApplyAndTheArgumentsObject)
{
    EXPECT_EQ(runSource(R"(
        function sum() { var t = 0; for (var i = 0; i < arguments.length; i++) t += arguments[i]; return t; }
        trace(sum.apply(null, [1, 2, 3]) + " " + sum.apply(null) + " " + sum.call(null, 4, 5) + " " + sum.apply(null, {length: 2, 0: 5, 1: 6}));
        function who() { return this.name; }
        trace(who.call({name: "obj"}) + " " + who.apply({name: "arr"}, []));
        function f() { return arguments.length + " " + (arguments.callee == f) + " " + typeof arguments.caller; }
        function g() { return f(1, 2, 3) + " " + (f.apply(null, []).length > 0); }
        trace(f());
        trace(g());
        function h() { return arguments.caller == g2; } function g2() { return h(); }
        trace(g2());
    )", 7),
              "6 0 9 11\nobj arr\n0 true null\n3 true function true\ntrue\n");
}

TEST(LanguageSource, DeleteAndPropertyQueries)
{
    EXPECT_EQ(runSource(R"(
        var q = {a: 1};
        trace(delete q.a); trace(delete q.a); trace(delete Math.PI); trace(delete nothing);
        x = 1; trace(delete x); trace(typeof x);
        function K() { this.own = 1; } K.prototype.shared = 2;
        var k = new K();
        trace(k.hasOwnProperty("own") + " " + k.hasOwnProperty("shared") + " " + K.prototype.isPrototypeOf(k) + " "
              + Object.prototype.isPrototypeOf(k) + " " + k.isPrototypeOf(k));
        trace(k.isPropertyEnumerable("own") + " " + k.isPropertyEnumerable("shared") + " " + k.isPropertyEnumerable("toString"));
        var r = {};
        trace(r.addProperty("w", function () { return "W"; }, null) + " " + r.addProperty("", function () {}, null)
              + " " + r.addProperty("y", null, null) + " " + r.addProperty("z", function () {}, 5)
              + " " + r.addProperty("u", function () {}) + " " + typeof r.z);
        r.w = 5;
        trace(r.w + " " + r.hasOwnProperty("w") + " " + delete r.w + " " + r.w);
    )", 7),
              "true\nfalse\nfalse\nfalse\ntrue\nundefined\ntrue false true true false\ntrue false false\n"
              "true false false false false undefined\nW true true undefined\n");
}

TEST(LanguageSource, InstanceNamesFollowTheVersionsCaseRule)
{
    const char* source = R"(
        _root.createEmptyMovieClip("spot", 1);
        trace(typeof Spot + " " + typeof spot);
    )";
    EXPECT_EQ(runSource(source, 6), "movieclip movieclip\n");
    EXPECT_EQ(runSource(source, 7), "undefined movieclip\n");
}

} // namespace
} // namespace lumbra::movie::test
