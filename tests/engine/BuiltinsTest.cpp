// The core built-in objects seen from scripts: global functions, Object,
// Function, Array, Boolean, Number and Math.
#include "tests/engine/EngineFixture.h"

namespace orvet::test {
namespace {

using GlobalsTest = EngineFixture;
using ObjectTest = EngineFixture;
using ArrayTest = EngineFixture;
using NumberTest = EngineFixture;
using MathTest = EngineFixture;

TEST_F(GlobalsTest, ParseInt)
{
    EXPECT_EQ(value("parseInt('0x1A')"), "int 26");
    EXPECT_EQ(value("parseInt('017')"), "int 15");
    EXPECT_EQ(value("parseInt('1012', 2)"), "int 5");
    EXPECT_EQ(value("parseInt('  -42px')"), "int -42");
    EXPECT_EQ(value("parseInt('ff', 16)"), "int 255");
    EXPECT_EQ(value("parseInt('zz')"), "NaN");
    EXPECT_EQ(value("parseInt()"), "NaN");
    EXPECT_EQ(value("parseInt('12', 99)"), "NaN");
    EXPECT_EQ(value("typeof parseInt('99999999999999999999')"), "number");
}

TEST_F(GlobalsTest, ParseFloat)
{
    EXPECT_EQ(value("parseFloat('12abc')"), "float 12");
    EXPECT_EQ(value("parseFloat('1.5e3')"), "float 1500");
    EXPECT_EQ(value("parseFloat('0x10')"), "float 16");
    EXPECT_EQ(value("parseFloat('abc')"), "NaN");
    EXPECT_EQ(value("parseFloat()"), "NaN");
}

TEST_F(GlobalsTest, EscapeAndUnescape)
{
    EXPECT_EQ(value("escape('a b')"), "a%20b");
    EXPECT_EQ(value("escape(unescape('%u20AC'))"), "%u20AC");
    EXPECT_EQ(value("unescape('a%20b')"), "a b");
    EXPECT_EQ(value("escape(unescape('%u20ac%E9%41'))"), "%u20AC%E9A");
    EXPECT_EQ(value("escape()"), "");
    EXPECT_EQ(value("unescape()"), "undefined");
}

TEST_F(GlobalsTest, IsNaNAndIsFinite)
{
    EXPECT_EQ(value("isNaN(NaN)"), "bool true");
    EXPECT_EQ(value("isNaN(1.5)"), "bool false");
    EXPECT_EQ(value("isNaN('abc')"), "bool true");
    EXPECT_EQ(value("isNaN('12')"), "bool false");
    EXPECT_EQ(value("isNaN(Math.sqrt(-1))"), "bool true");
    EXPECT_EQ(value("isNaN()"), "undefined");
    EXPECT_EQ(value("isFinite(3)"), "bool true");
    EXPECT_EQ(value("isFinite(1/0)"), "bool false");
    EXPECT_EQ(value("isFinite(NaN)"), "bool false");
    EXPECT_EQ(value("isFinite('2.5')"), "bool true");
    EXPECT_EQ(value("isFinite('1e999')"), "bool false");
    EXPECT_EQ(value("isFinite()"), "undefined");
}

TEST_F(ObjectTest, CallAndConstruct)
{
    EXPECT_EQ(value("typeof new Object()"), "object");
    EXPECT_EQ(value("new Object(5)"), "int 5");
    EXPECT_EQ(value("typeof Object(null)"), "object");
    EXPECT_EQ(value("var o = {a: 1}; new Object(o) == o"), "bool true");
    EXPECT_EQ(value("var s = 'abc'; typeof new Object(s)"), "string");
    EXPECT_EQ(value("({}).toString()"), "[object Object]");
    EXPECT_EQ(value("Object.toString()"), "[type Function]");
    EXPECT_EQ(value("Object.toSource()"), "new Object()");
    EXPECT_EQ(value("Object.valueOf() == Object"), "bool true");
    EXPECT_EQ(value("var p = {q: 2}; p.valueOf() == p"), "bool true");
}

TEST_F(ObjectTest, BooleanAndFunction)
{
    EXPECT_EQ(value("Boolean()"), "bool false");
    EXPECT_EQ(value("new Boolean('x')"), "bool true");
    EXPECT_EQ(value("Boolean(0)"), "bool false");
    EXPECT_EQ(value("true.toString()"), "true");
    EXPECT_EQ(value("Boolean.toString()"), "[type Function]");
    EXPECT_EQ(value("function f() {} f.toString()"), "[object Function]");
    EXPECT_EQ(value("Function.valueOf() == Function"), "bool true");
}

TEST_F(ObjectTest, NewFunctionCompilesText)
{
    EXPECT_EQ(value("var add = new Function('a', 'b', 'return a + b;'); add(1, 2)"), "int 3");
    EXPECT_EQ(value("var k = new Function('return 7;'); k()"), "int 7");
    EXPECT_EQ(value("var skip = new Function(1, 'x', 'return x;'); skip(9)"), "int 9");
    EXPECT_EQ(value("new Function('a', 'return (;')"), "null");
    EXPECT_EQ(value("var twice = new Function('a', 'return a * 2;'); var again = new Function('return 1;');"
                    "twice(4) + again()"), "int 9");
}

TEST_F(ArrayTest, Construction)
{
    EXPECT_EQ(value("var a = new Array(3); a.length"), "int 3");
    EXPECT_EQ(value("new Array(3).join()"), ",,");
    EXPECT_EQ(value("new Array(3, 4).join('-')"), "3-4");
    EXPECT_EQ(value("[5].length"), "int 1");
    EXPECT_EQ(value("[5][0]"), "int 5");
    EXPECT_EQ(value("Array().length"), "int 0");
    EXPECT_EQ(value("Array('x').join()"), "x");
    EXPECT_EQ(value("new Array(-4).length"), "int 0");
    EXPECT_EQ(value("Array.length"), "int 1");
    EXPECT_EQ(value("Array.toString()"), "[object Array]");
}

TEST_F(ArrayTest, LengthProperty)
{
    EXPECT_EQ(value("var a = [1, 2, 3, 4]; a.length = 2; a.join()"), "1,2");
    EXPECT_EQ(value("var b = [1, 2]; b.length = 4.7; b.length"), "int 4");
    EXPECT_EQ(value("var c = [1, 2]; c.length = 'x'; c.length = -1; c.length"), "int 2");
    EXPECT_EQ(value("var d = [1, 2, 3]; d.length = 1; d.length = 3; d[2]"), "undefined");
    EXPECT_EQ(value("Array.length = 5; Array.length"), "int 1");
}

TEST_F(ArrayTest, ConcatJoinAndToString)
{
    EXPECT_EQ(value("[1, 2].concat(3, [4, 5], 6).join()"), "1,2,3,4,5,6");
    EXPECT_EQ(value("var h = new Array(2); h[0] = 'a'; h.concat(new Array(2), 'z').join()"), "a,,,,z");
    EXPECT_EQ(value("[1, 2].concat([3]).length"), "int 3");
    EXPECT_EQ(value("[].join()"), "");
    EXPECT_EQ(value("[1, null, 'x'].join(' + ')"), "1 + undefined + x");
    EXPECT_EQ(value("[1, 2, 3].toString()"), "1,2,3");
    EXPECT_EQ(value("'' + [1, [2, 3]]"), "1,2,3");
    // An array inside itself is joined as nothing instead of for ever.
    EXPECT_EQ(value("var self = [1, 2]; self[2] = self; self.join('-')"), "1-2-");
}

TEST_F(ArrayTest, PopPushShiftUnshift)
{
    EXPECT_EQ(value("var a = [1, 2, 3]; var p = a.pop(); p + ':' + a.join() + ':' + a.length"), "3:1,2:2");
    EXPECT_EQ(value("[].pop()"), "undefined");
    EXPECT_EQ(value("var b = [1]; b.push(2, 3)"), "undefined");
    EXPECT_EQ(value("var c = [1]; c.push(2, 3); c.join()"), "1,2,3");
    EXPECT_EQ(value("var d = [1, 2, 3]; var s = d.shift(); s + ':' + d.join()"), "1:2,3");
    EXPECT_EQ(value("var e = new Array(3); e[2] = 'z'; e.shift(); e.length + e[1]"), "2z");
    EXPECT_EQ(value("[].shift()"), "undefined");
    EXPECT_EQ(value("var f = [3, 4]; f.unshift(1, 2)"), "int 4");
    EXPECT_EQ(value("var g = [3, 4]; g.unshift(1, 2); g.join()"), "1,2,3,4");
}

TEST_F(ArrayTest, ReverseAndSlice)
{
    EXPECT_EQ(value("var a = [1, 2, 3]; a.reverse(); a.join()"), "3,2,1");
    EXPECT_EQ(value("var h = new Array(3); h[0] = 'x'; h.reverse(); h[2] + h.length"), "x3");
    EXPECT_EQ(value("[1, 2, 3].slice(2, 0).join()"), "1,2");
    EXPECT_EQ(value("[1, 2, 3].slice(0, 5).length"), "int 5");
    EXPECT_EQ(value("[1, 2, 3, 4].slice(1).join()"), "2,3,4");
    EXPECT_EQ(value("[1, 2, 3, 4].slice(-2).join()"), "3,4");
    EXPECT_EQ(value("[1, 2, 3, 4].slice(1, -1).join()"), "2,3");
    EXPECT_EQ(value("[1, 2, 3].slice(1, -10).length"), "int 0");
    EXPECT_EQ(value("[1, 2, 3].slice('x').join()"), "1,2,3");
}

TEST_F(ArrayTest, Splice)
{
    EXPECT_EQ(value("var a = [1, 2, 3, 4, 5]; var r = a.splice(1, 2); r.join() + ':' + a.join()"), "2,3:1,4,5");
    EXPECT_EQ(value("var b = [1, 2, 3]; b.splice(1, 1, 'x', 'y'); b.join() + b.length"), "1,x,y,34");
    EXPECT_EQ(value("var c = [1, 2, 3]; c.splice(-1, 5).join() + ':' + c.join()"), "3:1,2");
    EXPECT_EQ(value("var d = [1, 2, 3]; d.splice(1).join() + ':' + d.length"), "2,3:1");
    EXPECT_EQ(value("var e = [1, 2, 3]; e.splice(1, -3, 'n'); e.join()"), "1,n,2,3");
    EXPECT_EQ(value("var f = [1, 2]; f.splice(7, 0, 'end'); f.join() + ':' + f.length"), "1,2,end:3");
}

TEST_F(ArrayTest, SortIsStableAndPutsUndefinedLast)
{
    EXPECT_EQ(value("var a = [3, undefined, 1]; a.sort(); a[0] + ',' + a[1] + ',' + a[2]"), "1,3,undefined");
    EXPECT_EQ(value("var b = [10, 9, 1]; b.sort(); b.join()"), "1,10,9");
    EXPECT_EQ(value("function byNumber(x, y) { return x - y; } var c = [10, 9, 1, 100]; c.sort(byNumber); c.join()"),
              "1,9,10,100");
    EXPECT_EQ(value("function same(x, y) { return 0; } var d = [3, 1, 2]; d.sort(same); d.join()"), "3,1,2");
    // Stable: equal keys keep their order.
    EXPECT_EQ(value("function byKey(x, y) { return x.k - y.k; }"
                    "var e = [{k: 1, n: 'a'}, {k: 0, n: 'b'}, {k: 1, n: 'c'}, {k: 0, n: 'd'}];"
                    "e.sort(byKey); e[0].n + e[1].n + e[2].n + e[3].n"), "bdac");
    // Holes are dropped, the length stays.
    EXPECT_EQ(value("var f = new Array(5); f[4] = 'b'; f[1] = 'a'; f.sort(); f.join() + f.length"), "a,b,,,5");
    EXPECT_EQ(value("function half(x, y) { return (x - y) / 10; } var g = [3, 1, 2]; g.sort(half); g.join()"),
              "1,2,3");
}

TEST_F(ArrayTest, ElementsConvertThroughTheirOwnToString)
{
    EXPECT_EQ(value("function Named(n) { this.n = n; } Named.toString = function() { return 'N' + this.n; };"
                    "var list = [new Named(2), new Named(10), new Named(1)]; list.sort(); list.join(' ')"),
              "N1 N10 N2");
}

TEST_F(ArrayTest, ErrorsInTheComparisonReachTheScript)
{
    EXPECT_EQ(value("function bad(x, y) { throw 'cmp'; } var r; try { [2, 1].sort(bad); } catch (e) { r = e; } r"),
              "cmp");
    // A comparison that empties the array does not break the sort.
    EXPECT_EQ(value("var v = [3, 1, 2]; function mean(x, y) { v.length = 0; return x - y; } v.sort(mean); v.join()"),
              "1,2,3");
}

TEST_F(ArrayTest, DeleteClosesTheGap)
{
    EXPECT_EQ(value("var a = [10, 20, 30]; delete a[1]; a.join() + ':' + a.length"), "10,30:2");
}

TEST_F(NumberTest, ConversionAndConstants)
{
    EXPECT_EQ(value("Number()"), "int 0");
    EXPECT_EQ(value("Number('42')"), "int 42");
    EXPECT_EQ(value("new Number('1.5')"), "float 1.5");
    EXPECT_EQ(value("Number.MIN_VALUE"), "float 2.22507e-308");
    EXPECT_EQ(value("Number.MAX_VALUE"), "float 1.79769e+308");
    EXPECT_EQ(value("(5).MAX_VALUE == Number.MAX_VALUE"), "bool true");
    EXPECT_EQ(value("Number.NaN"), "NaN");
    EXPECT_EQ(value("Number.NEGATIVE_INFINITY < 0 && Number.POSITIVE_INFINITY > 0"), "bool true");
    EXPECT_EQ(value("Number.MAX_VALUE = 1; Number.MAX_VALUE > 1"), "bool true");
}

TEST_F(NumberTest, ToStringAndFormat)
{
    EXPECT_EQ(value("(255).toString(16)"), "ff");
    EXPECT_EQ(value("(-5).toString(2)"), "-101");
    EXPECT_EQ(value("(255).toString()"), "255");
    EXPECT_EQ(value("(1/3).toString()"), "0.333333");
    EXPECT_EQ(value("NaN.toString()"), "NaN");
    EXPECT_EQ(value("Number.toString()"), "[type Function]");
    EXPECT_EQ(value("(42).format('%05d')"), "00042");
    EXPECT_EQ(value("(3.14159).format('%.2f')"), "3.14");
    EXPECT_EQ(value("(7).format()"), "7");
    EXPECT_EQ(value("(7).format('%s')"), "7");
    EXPECT_EQ(value("NaN.format('%d')"), "NaN");
    EXPECT_EQ(value("(2.5).valueOf()"), "float 2.5");
}

TEST_F(MathTest, RoundPowAndExtremes)
{
    EXPECT_EQ(value("Math.round(2.5)"), "int 3");
    EXPECT_EQ(value("Math.round(-2.5)"), "int -2");
    EXPECT_EQ(value("Math.round(4294967296.2)"), "int 0");
    EXPECT_EQ(value("Math.round(1/0)"), value("1/0"));
    EXPECT_EQ(value("Math.round('x')"), "NaN");
    EXPECT_EQ(value("Math.pow(2, 10)"), "int 1024");
    EXPECT_EQ(value("Math.pow(2, 0.5)"), "float 1.41421");
    EXPECT_EQ(value("Math.pow(2, 60)"), "float 1.15292e+018");
    EXPECT_EQ(value("Math.pow(10, -1)"), "float 0.1");
    EXPECT_EQ(value("Math.pow(2)"), "NaN");
    EXPECT_EQ(value("Math.max()"), "NaN");
    EXPECT_EQ(value("Math.max(1, 2)"), "float 2");
    EXPECT_EQ(value("Math.min(4, '3', 5)"), "float 3");
    EXPECT_EQ(value("Math.max(1, NaN)"), "NaN");
}

TEST_F(MathTest, FunctionsConstantsAndRandom)
{
    EXPECT_EQ(value("Math.abs(-3)"), "float 3");
    EXPECT_EQ(value("Math.floor(2.7)"), "float 2");
    EXPECT_EQ(value("Math.sqrt(-1)"), "NaN");
    EXPECT_EQ(value("Math.atan2(1, 1) * 4 == Math.PI"), "bool true");
    EXPECT_EQ(value("Math.cos()"), "NaN");
    EXPECT_EQ(value("Math.E"), "float 2.71828");
    EXPECT_EQ(value("Math.PI = 3; Math.PI"), "float 3.14159");
    EXPECT_EQ(value("Math.toString()"), "[object Math]");
    EXPECT_EQ(value("var ok = true; for (var i = 0; i < 100; i++) { var r = Math.random();"
                    " if (r < 0 || r >= 1) ok = false; } ok"), "bool true");
}

} // namespace
} // namespace orvet::test
