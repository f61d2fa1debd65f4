// The ActionScript source compiler: programs whose output the language
// reference fixes, played through the action machine, and emitted bytes
// checked against records assembled by hand from the file format's tables.
#include <gtest/gtest.h>

#include "ActionAssembler.h"
#include "SourceSupport.h"
#include "tools/actionscript/SourceCompiler.h"

namespace lumbra::movie::test {
namespace {

using actionscript::compileActions;
using actionscript::SourceError;

TEST(SourceCompiler, ArithmeticAndStrings)
{
    EXPECT_EQ(runSource(R"(
        trace(1 + 2 * 3);
        trace((1 + 2) * 3);
        trace(7 % 3 - 10 / 4);
        trace("a" + 1 + 2);
        trace(1 + 2 + "a");
        var s = "abc";
        trace(s.length + s.charAt(1) + s.toUpperCase());
        trace(-5 + -(2));
        trace(1 << 4 | 1);
        trace(-16 >> 2);
        trace(-1 >>> 28);
        trace(~5 & 0xFF ^ 1);
    )"),
              "7\n9\n-1.5\na12\n3a\n3bABC\n-7\n17\n-4\n15\n251\n");
}

TEST(SourceCompiler, ClosuresKeepTheirVariables)
{
    EXPECT_EQ(runSource(R"(
        function counter(start) {
            var n = start;
            return function () { n += 1; return n; };
        }
        var c = counter(10), d = counter(0);
        c(); c();
        trace(c() + " " + d());
        function adder(a) { return function (b) { return a + b; }; }
        trace(adder(2)(3));
    )", 7),
              "13 1\n5\n");
}

TEST(SourceCompiler, PrototypesAndConstructors)
{
    EXPECT_EQ(runSource(R"(
        function Shape(name) { this.name = name; }
        Shape.prototype.describe = function () { return "I am " + this.name; };
        function Square(side) { super("square"); this.side = side; }
        Square.prototype = new Shape();
        Square.prototype.constructor = Square;
        Square.prototype.__constructor__ = Shape;
        Square.prototype.area = function () { return this.side * this.side; };
        var s = new Square(3);
        trace(s.describe() + ", area " + s.area());
        trace(s instanceof Square);
        trace(s instanceof Shape);
        trace({} instanceof Shape);
    )"),
              "I am square, area 9\ntrue\ntrue\nfalse\n");
}

TEST(SourceCompiler, TypeofDeleteAndOperatorsOnValues)
{
    EXPECT_EQ(runSource(R"(
        var o = {a: 1, b: "x", f: function () {}};
        trace(typeof o + " " + typeof o.a + " " + typeof o.b + " " + typeof o.c + " " + typeof o.f);
        trace(delete o.a);
        trace(o.a);
        var k = "b";
        delete o[k];
        trace(o.b);
        trace(typeof null + " " + typeof true);
        trace(void 0);
        trace(1 == "1");
        trace(1 === "1");
        trace(null == undefined);
        trace(2 > 1 && 1 >= 1 && 1 <= 2 && !(2 < 1) && 1 != 2 && 1 !== 2);
        trace(0 || "" || "last");
        trace(1 && 0);
        trace(true ? "yes" : "no");
    )"),
              "object number string undefined function\ntrue\nundefined\nundefined\nnull boolean\n"
              "undefined\ntrue\nfalse\ntrue\ntrue\nlast\n0\nyes\n");
}

TEST(SourceCompiler, IncrementsOnNamesMembersAndElements)
{
    EXPECT_EQ(runSource(R"(
        var i = 5;
        trace(i++ + " " + i + " " + ++i + " " + i-- + " " + --i);
        var o = {n: 1, list: [10, 20]};
        o.n++;
        ++o.n;
        trace(o.n + " " + o.n++ + " " + o.n);
        var j = 0;
        o.list[j++] += 5;
        o.list[j]--;
        trace(o.list + " " + j);
        function get() { trace("get"); return o; }
        get().n *= 2;
        trace(o.n);
        o.s = "a";
        o.s += "b";
        trace(o.s);
        var x, y;
        x = y = 4;
        trace(x + y);
    )"),
              "5 6 7 7 5\n3 3 4\n15,19 1\nget\n8\nab\n8\n");
}

TEST(SourceCompiler, LocalsInRegistersBehaveAsVariables)
{
    // Version 7 keeps these in registers; version 6 by name.
    const char* source = R"(
        function sum(list) {
            var total = 0;
            for (var i = 0; i < list.length; i++)
                total += list[i];
            var k;
            for (k in {p: 1})
                total += k;
            return total;
        }
        trace(sum([1, 2, 3]));
        function args() { return arguments.length + ":" + this.tag; }
        var holder = {tag: "t", f: args};
        trace(holder.f(1, 2));
    )";
    EXPECT_EQ(runSource(source, 7), "6p\n2:t\n");
    EXPECT_EQ(runSource(source, 6), "6p\n2:t\n");
}

TEST(SourceCompiler, FunctionValuesSuperAndPreloadedNames)
{
    // Versions 6 to 8: by name, then with registers for locals and for
    // this, super, _root and _global.
    const char* source = R"(
        function apply(f, C, v) { return f(new C(v).x); }
        trace(apply(function (n) { return n * 2; }, function (x) { this.x = x; }, 4));
        function Base() {}
        Base.prototype.hello = function () { return "base hello"; };
        function Derived() {}
        Derived.prototype = new Base();
        Derived.prototype.hello = function () { return "derived, " + super.hello(); };
        trace(new Derived().hello());
        var o = {f: function () { return this.tag; }, tag: "me"};
        trace(o["f"]());
        _global.shared = 5;
        function readGlobal() { return _global.shared + _root.rootVar; }
        rootVar = 1;
        trace(readGlobal());
    )";
    for (int version : {6, 7, 8})
        EXPECT_EQ(runSource(source, version), "8\nderived, base hello\nme\n6\n") << version;
}

TEST(SourceCompiler, ForInVisitsEveryMember)
{
    EXPECT_EQ(runSource(R"(
        var o = {a: 1, b: 2, c: 3};
        var total = 0, names = [];
        for (var k in o) {
            total += o[k];
            names.push(k);
        }
        names.sort();
        trace(names.join(",") + " " + total);
        function firstOver(obj, limit) {
            for (var name in obj)
                if (obj[name] > limit)
                    return name;
            return "none";
        }
        trace(firstOver({x: 1}, 0) + " " + firstOver({x: 1}, 5));
        // Leaving inner loops early must not leave their names behind for
        // the outer loop to take.
        var runs = 0;
        for (var p in o) {
            runs++;
            for (var q in o) break;
            inner: for (var r in o)
                for (var t in o)
                    continue inner;
        }
        trace(runs);
    )"),
              "a,b,c 6\nx none\n3\n");
}

TEST(SourceCompiler, TryCatchFinallyAndThrow)
{
    EXPECT_EQ(runSource(R"(
        function risky(n) {
            if (n > 1) throw "too big";
            return n;
        }
        try {
            trace(risky(1));
            trace(risky(2));
            trace("not here");
        } catch (e) {
            trace("caught " + e);
        } finally {
            trace("finally");
        }
        try {
            trace("quiet");
        } finally {
            trace("always");
        }
        function f() {
            try { throw {code: 7}; } catch (err) { return err.code; }
        }
        trace(f());
    )"),
              "1\ncaught too big\nfinally\nquiet\nalways\n7\n");
}

TEST(SourceCompiler, SwitchFallsThroughAndLabelsBreakOut)
{
    EXPECT_EQ(runSource(R"(
        function name(n) {
            var s = "";
            switch (n) {
            case 1: s += "one ";
            case 2: s += "two "; break;
            case "3": s += "text three "; break;
            default: s += "other ";
            case 4: s += "four";
            }
            return s;
        }
        trace(name(1) + "|" + name(2) + "|" + name(3) + "|" + name("3") + "|" + name(4));
        var hits = 0;
        outer: for (var i = 0; i < 5; i++) {
            for (var j = 0; j < 5; j++) {
                if (j == 2) continue outer;
                if (i == 3) break outer;
                hits++;
            }
        }
        trace(hits + " " + i);
        block: {
            trace("in");
            break block;
            trace("skipped");
        }
        var n = 0;
        do { n++; if (n == 2) continue; } while (n < 4);
        while (true) { if (--n == 0) break; }
        trace(n);
    )"),
              "one two |two |other four|text three |four\n6 3\nin\n0\n");
}

TEST(SourceCompiler, WithLooksUpTheObjectFirst)
{
    EXPECT_EQ(runSource(R"(
        var point = {x: 3, y: 4};
        var x = "outer";
        with (point) {
            trace(x + y);
            y = 10;
        }
        trace(point.y + " " + x);
    )"),
              "7\n10 outer\n");
}

TEST(SourceCompiler, FunctionsAreDefinedBeforeTheCodeRuns)
{
    EXPECT_EQ(runSource(R"(
        trace(later(2));
        function later(n) { return n * inner(); function inner() { return 10; } }
        var f = function () { return "anonymous"; };
        trace(f() + " " + (function (a) { return a; })("now"));
        trace([1, 2, 3].concat([4, 5]).join("-"));
        trace([3, , 1].length + " " + {}.missing);
    )"),
              "20\nanonymous now\n1-2-3-4-5\n3 undefined\n");
}

TEST(SourceCompiler, TypeAnnotationsAndEscapes)
{
    EXPECT_EQ(runSource(R"(
        var n:Number = 3;
        function twice(x:Number, unused:mx.core.Thing):Number { return x * 2; }
        for (var k:String in {only: 1}) trace(k);
        trace(twice(n));
        var s:String = "caf\u00e9\x21\t";
        trace(s.length + " " + s.charCodeAt(3) + " " + s.charCodeAt(4) + " " + s.charCodeAt(5));
        trace("café".length);
    )"),
              "only\n6\n6 233 33 9\n4\n");
}

TEST(SourceCompiler, BuiltinFunctionsAreActions)
{
    EXPECT_EQ(runSource(R"(
        var name = "value";
        value = 42;
        trace(eval("name") + " " + eval(name));
        set("made" + 1, "by set");
        trace(made1);
        trace(int(7.9) + " " + chr(65) + ord("a") + " " + length("four") + " " + substring("abcdef", 2, 3));
        trace(targetPath(this));
        trace(typeof getTimer());
        trace("a" + newline + "b");
    )"),
              "value 42\nby set\n7 A97 4 bcd\n_level0\nnumber\na\nb\n");
}

TEST(SourceCompiler, FramesRunInTurn)
{
    EXPECT_EQ(runSource("trace('one');\n#frame\ntrace('two');\nstop();\n#frame\ntrace('three');\n", 8, 4),
              "one\ntwo\n");
    EXPECT_EQ(runSource("var n = 0;\n#frame\nn++;\ntrace(n);\nif (n == 3) stop();\n#frame\ngotoAndPlay(2);\n", 8, 10),
              "1\n2\n3\n");
    EXPECT_EQ(runSource("var n = 0;\n#frame\n#label again\nn++;\ntrace(n);\nif (n == 2) stop();\n#frame\n"
                        "gotoAndPlay(\"again\");\n",
                        8, 10),
              "1\n2\n");
    // Lines count through the whole source.
    try {
        actionscript::compileMovie("trace(1);\n#frame\n#label x\ntrace(2);\nvar = 1;\n", 8);
        ADD_FAILURE() << "compiled";
    } catch (const SourceError& e) {
        EXPECT_EQ(e.line(), 5);
    }
}

TEST(SourceCompiler, ClipsAndInitActionsOfAFrame)
{
    EXPECT_EQ(runSource(R"(trace("root frame");
#clip ball
_root.fromBall = targetPath(this) + " " + this._name;
#endclip
#initclip
_global.initRan = "init ran";
#endinitclip
#frame
trace(fromBall + " / " + typeof ball + " / " + initRan);
)",
                        8, 2),
              "root frame\n_level0.ball ball / movieclip / init ran\n");
}

TEST(SourceCompiler, ClipEventHandlersBecomeClipActions)
{
    // Version 5 writes 16-bit event flags, later versions 32-bit ones.
    const char* source = R"(var frames = 0;
#clip ball
onClipEvent (load) { trace("load " + this._name); }
onClipEvent (enterFrame) { _root.frames++; }
var own = "ball frame";
trace(own);
#endclip
#frame
#frame
trace(frames > 0);
)";
    for (int version : {5, 6, 8})
        EXPECT_EQ(runSource(source, version, 3), "load ball\nball frame\ntrue\n") << version;
}

TEST(SourceCompiler, TellTargetActsOnAnotherClip)
{
    EXPECT_EQ(runSource(R"(#clip ball
var inBall = "ball's";
#endclip
#frame
tellTarget ("ball") { trace(inBall); }
tellTarget (ball) {
    trace(_name);
}
trace(_name == "" ? "back" : _name);
)",
                        8, 2),
              "ball's\nball\nback\n");
}

TEST(SourceCompiler, LayoutMistakesNameTheirLine)
{
    auto lineOf = [](std::string_view source) {
        try {
            actionscript::compileMovie(source, 8);
        } catch (const SourceError& e) {
            return std::to_string(e.line()) + ": " + e.what();
        }
        return std::string("compiled");
    };
    EXPECT_EQ(lineOf("trace(1);\n#clip a\ntrace(2);\nvar = 1;\n#endclip\n"),
              "4: line 4: syntax error: missing variable name");
    EXPECT_EQ(lineOf("#clip a\n#frame\n"), "2: line 2: #frame does not belong here");
    EXPECT_EQ(lineOf("#clip\n"), "1: line 1: #clip needs an instance name");
    EXPECT_EQ(lineOf("\n#initclip\ntrace(1);\n"), "2: line 2: #initclip without #endinitclip");
    EXPECT_EQ(lineOf("#endclip\n"), "1: line 1: #endclip does not belong here");
    EXPECT_EQ(lineOf("#include \"x.as\"\n"), "1: line 1: unknown directive #include \"x.as\"");
    EXPECT_EQ(lineOf("#clip a\nonClipEvent (bogus) {}\n#endclip\n"), "2: line 2: onClipEvent: no event bogus");
    EXPECT_EQ(lineOf("\nonClipEvent (load) {}\n"), "2: line 2: onClipEvent handlers stand at the top level of a #clip script");
    EXPECT_EQ(lineOf("#clip a\nif (1) { on (press) {} }\n#endclip\n"), "2: line 2: on handlers stand at the top level of a #clip script");
    EXPECT_EQ(lineOf("#clip a\non () {}\n#endclip\n"), "2: line 2: on names no event");
}

TEST(SourceCompiler, FsCommandQuitEndsThePlay)
{
    EXPECT_EQ(runSource("trace(1);\nfscommand('quit');\n#frame\ntrace(2);\n", 8, 5), "1\n");
}

TEST(SourceCompiler, Version5StringsAndComparisons)
{
    EXPECT_EQ(runSource(R"(
        trace("caf\u00e9".length);
        trace(3 > 2);
        trace(2 > 3);
        var o = {a: 1};
        for (var k in o) trace(k);
    )", 5),
              "4\ntrue\nfalse\na\n");
}

// Bytes as the format's tables give them.
TEST(SourceCompilerBytes, TraceOfAStringPushesAPoolConstant)
{
    EXPECT_EQ(compileActions("trace(\"a\");", 8),
              (Asm::Bytes{0x88, 0x04, 0x00, 0x01, 0x00, 'a', 0x00, // ConstantPool ["a"]
                          0x96, 0x02, 0x00, 0x08, 0x00,            // Push constant 0
                          0x26, 0x00}));                           // Trace, End
}

TEST(SourceCompilerBytes, ValuesInARowShareOnePush)
{
    Asm expected;
    expected.pool({"x"});
    // "x", then the elements last first, then the count; 1.5's high word first.
    expected.record(0x96, {0x08, 0x00, 0x07, 0x01, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0xF8, 0x3F, 0x00, 0x00,
                           0x00, 0x00, 0x05, 0x01, 0x03, 0x02, 0x07, 0x05, 0x00, 0x00, 0x00});
    expected.op(0x42).op(0x1D); // InitArray, SetVariable
    EXPECT_EQ(compileActions("x = [null, undefined, true, 1.5, 1];", 8), actionsOf(expected));
}

TEST(SourceCompilerBytes, Function2HeaderNamesRegisters)
{
    // this, arguments and super unused: suppressed; a and b in registers 1, 2.
    Asm body;
    body.reg(1).reg(2);
    Asm::Bytes expectedBody = {0x96, 0x04, 0x00, 0x04, 0x01, 0x04, 0x02, 0x47, 0x3E};
    Asm::Bytes header = {'f', 0, 0x02, 0x00, 0x03, 0x2A, 0x00, 0x01, 'a', 0, 0x02, 'b', 0, 0x09, 0x00};
    Asm::Bytes expected = {0x8E, std::uint8_t(header.size()), 0x00};
    expected.insert(expected.end(), header.begin(), header.end());
    expected.insert(expected.end(), expectedBody.begin(), expectedBody.end());
    expected.push_back(0);
    EXPECT_EQ(compileActions("function f(a, b) { return a + b; }", 7), expected);

    // this preloaded into register 1; the parameter follows in 2.
    auto code = compileActions("function g(v) { this.v = v; }", 7);
    ASSERT_GT(code.size(), 12u);
    EXPECT_EQ(code[code.size() - 1], 0);
    const std::uint8_t* fn = &code[0];
    while (*fn != 0x8E)
        fn += 3 + (fn[1] | fn[2] << 8); // past the pool
    EXPECT_EQ(fn[3 + 2 + 2], 3);        // registers 0, this, v
    EXPECT_EQ(fn[3 + 2 + 3], 0x29);     // PreloadThis | SuppressArguments | SuppressSuper
    EXPECT_EQ(fn[3 + 2 + 5], 2);        // v's register
}

TEST(SourceCompilerBytes, Version6FunctionsUseNames)
{
    Asm body;
    body.constant(0).op(0x1C).op(0x3E); // Push "a"; GetVariable; Return
    Asm expected;
    expected.pool({"a"});
    expected.function("f", {"a"}, body);
    EXPECT_EQ(compileActions("function f(a) { return a; }", 6), actionsOf(expected));
}

TEST(SourceCompilerBytes, ConditionsAndLoops)
{
    // while (i < 3) i++;  ->  top: i 3 Less2 Not If end; i i Increment SetVariable; Jump top; end:
    Asm expected;
    expected.pool({"i"});
    expected.label("top").constant(0).op(0x1C).i32(3).op(0x48).op(0x12).branchIf("end");
    expected.record(0x96, {0x08, 0x00, 0x08, 0x00}).op(0x1C).op(0x50).op(0x1D).jump("top").label("end");
    EXPECT_EQ(compileActions("while (i < 3) i++;", 8), actionsOf(expected));
    EXPECT_EQ(runSource("var i = 0; while (i < 3) i++; trace(i);"), "3\n");
}

TEST(SourceCompilerBytes, FsCommandIsAGetUrl)
{
    Asm expected;
    expected.record(0x83, {'F', 'S', 'C', 'o', 'm', 'm', 'a', 'n', 'd', ':', 'q', 'u', 'i', 't', 0, 0});
    EXPECT_EQ(compileActions("fscommand(\"quit\");", 8), actionsOf(expected));
    Asm gotoPlay;
    gotoPlay.record(0x81, {0x04, 0x00}).op(0x06);
    EXPECT_EQ(compileActions("gotoAndPlay(5);", 8), actionsOf(gotoPlay));
}

TEST(SourceCompilerBytes, TellTargetSetsAndResetsTheTarget)
{
    Asm literal;
    literal.record(0x8B, {'a', 0}).op(0x07).record(0x8B, {0}); // SetTarget "a"; Stop; SetTarget ""
    EXPECT_EQ(compileActions("tellTarget (\"a\") { stop(); }", 8), actionsOf(literal));
    Asm computed;
    computed.pool({"t"}).constant(0).op(0x1C).op(0x20).op(0x06).record(0x8B, {0}); // t; SetTarget2; Play
    EXPECT_EQ(compileActions("tellTarget (t) { play(); }", 8), actionsOf(computed));
}

TEST(SourceCompilerErrors, ClearMessagesWithLines)
{
    EXPECT_EQ(compileError("trace(1);\nvar = 3;"), "line 2: syntax error: missing variable name");
    EXPECT_EQ(compileError("\n\nbreak;"), "line 3: break outside a loop or switch");
    EXPECT_EQ(compileError("a: while (1) {}\nfor (;;) { continue a; }"), "line 2: no statement labelled a around this continue");
    EXPECT_EQ(compileError("x = /re/;"), "line 1: ActionScript has no regular expression literals");
    EXPECT_EQ(compileError("trace(1, 2);"), "line 1: trace takes 1 argument");
    EXPECT_EQ(compileError("f() = 1;"), "line 1: cannot assign to this expression");
    EXPECT_EQ(compileError(std::string_view("trace(1);\0", 10)), "line 1: the source holds a NUL byte");
    EXPECT_EQ(compileError("try {} catch (a) {} catch (b) {}"), "line 1: only the last of several catch clauses may be untyped");
    EXPECT_EQ(compileError("\ngetURL(\"a\\0b\");"), "line 2: a string in a movie cannot hold the character 0");
    EXPECT_EQ(compileError("a[f()] += b[g()] += c[h()] += 1;"), "line 1: expression too complex: no register left for it");
    // Deep nesting is refused, not a crash.
    std::string deep(5000, '(');
    deep += "1" + std::string(5000, ')') + ";";
    EXPECT_NE(compileError(deep).find("nesting too deep"), std::string::npos);
    std::string blocks(5000, '{');
    EXPECT_NE(compileError(blocks).find("line 1:"), std::string::npos);
    // A long flat chain compiles without deep recursion.
    std::string chain = "x = 0";
    for (int i = 0; i < 20000; ++i)
        chain += " + 1";
    EXPECT_EQ(compileError(chain + ";"), "compiled");
    EXPECT_THROW(compileActions("trace(1);", 4), SourceError);
}

} // namespace
} // namespace lumbra::movie::test
