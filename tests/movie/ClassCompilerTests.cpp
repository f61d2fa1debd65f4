// ActionScript 2 classes in the source compiler, played through the action
// machine: what the language reference says a class, an interface, an
// accessor, a cast and a typed catch do, in the forms the authoring tool
// writes (Extends, ImplementsOp, CastOp, addProperty, ASSetPropFlags).
#include <gtest/gtest.h>

#include "ActionAssembler.h"
#include "SourceSupport.h"
#include "tools/actionscript/SourceCompiler.h"

namespace lumbra::movie::test {
namespace {

using actionscript::compileActions;
using actionscript::compileFrame;

constexpr const char* kShapes = R"(
class geo.Shape {
    var name:String = "shape";
    static var made:Number = 0;
    function Shape(n:String) { if (n != undefined) name = n; made++; }
    function area():Number { return 0; }
    function describe():String { return name + " " + area(); }
    function get label():String { return "<" + name + ">"; }
    function set label(v:String):Void { name = v; }
    static function count():Number { return made; }
}
interface geo.IRound { function radius():Number; }
interface geo.IBall extends geo.IRound { function bounce():Void; }
class geo.Circle extends geo.Shape implements geo.IRound {
    private var r:Number;
    function Circle(r:Number) { super("circle"); this.r = r; }
    function area():Number { return Math.round(Math.PI * r * r); }
    function radius():Number { return r; }
    function describe():String { return "C:" + super.describe(); }
}
class geo.Ball extends geo.Circle implements geo.IBall {
    function Ball() { super(1); }
    function bounce():Void {}
    function describe():String { return "B:" + super.describe(); }
}
class geo.Square extends geo.Shape { function area() { return 4; } }
)";

TEST(ClassCompiler, SuperChainsAccessorsAndStatics)
{
    EXPECT_EQ(runSource(std::string(kShapes) + R"(
        import geo.*;
        var b = new Ball();
        trace(b.describe());
        trace(b.label);
        b.label = "ball";
        trace(b.describe() + " " + b.label);
        var s = new Square();
        trace(s.describe());
        trace(Shape.count() + " " + Shape.made + " " + Circle.made + " " + typeof Circle.count);
        trace(b.hasOwnProperty("name") + " " + s.hasOwnProperty("name") + " " + Shape.prototype.name);
        for (var k in Shape.prototype) trace("visible " + k);
    )", 7),
              "B:C:circle 3\n<circle>\nB:C:ball 3 <ball>\nshape 4\n2 2 undefined undefined\ntrue false shape\n");
}

TEST(ClassCompiler, SuperclassesAreDefinedAndConstructedFirst)
{
    EXPECT_EQ(runSource(R"(
        class D extends C { function D(x) { trace("D before " + x); super(); trace("D after"); } }
        class C extends B { }
        class B extends A { function B() { trace("B"); } }
        class A { function A() { trace("A"); } }
        new C();
        new D(1);
    )", 7),
              "A\nB\nD before 1\nA\nB\nD after\n");
}

TEST(ClassCompiler, InterfacesInstanceofAndCasts)
{
    EXPECT_EQ(runSource(std::string(kShapes) + R"(
        import geo.Ball;
        import geo.Square;
        import geo.IRound;
        var b = new Ball(), s = new Square();
        trace((b instanceof IRound) + " " + (b instanceof geo.IBall) + " " + (s instanceof IRound));
        trace((b instanceof geo.Shape) + " " + (s instanceof geo.Circle));
        trace((IRound(b) == b) + " " + IRound(s) + " " + geo.Circle(s) + " " + Square(s).area());
        trace(typeof geo.IRound + " " + typeof _global.geo + " " + (geo.Shape.prototype.__proto__ == Object.prototype));
        class Toy implements geo.IBall { function radius() { return 1; } function bounce() {} }
        var t = new Toy();
        trace((t instanceof geo.IBall) + " " + (t instanceof IRound) + " " + (IRound(t) == t) + " " + (t instanceof geo.Shape));
    )", 7),
              "true true false\ntrue false\ntrue null null 4\nfunction object true\ntrue true true false\n");
}

TEST(ClassCompiler, AccessorsReachTheirSuperclassThroughSuper)
{
    EXPECT_EQ(runSource(R"(
        class Box { var w = 2; function get width() { return w; } function set width(v) { w = v; }
                    function toString() { return "box " + width; } }
        class Padded extends Box {
            function get width() { return super.width + 10; }
            function set width(v) { super.width = v * 2; trace("set " + v); }
            function toString() { return "padded " + super.toString(); }
        }
        var p = new Padded();
        trace(p.width);
        p.width = 5;
        trace(p.width + " " + p.w + " " + p);
    )", 7),
              "12\nset 5\n20 10 padded box 20\n");
}

TEST(ClassCompiler, InterfacesThatExtendThemselvesEndTheSearch)
{
    EXPECT_EQ(runSource(R"(
        interface ILoop extends ILoop, IOther {}
        interface IOther extends ILoop {}
        interface IApart {}
        class Z implements ILoop {}
        var z = new Z();
        trace((z instanceof ILoop) + " " + (z instanceof IOther) + " " + (z instanceof IApart) + " " + ({} instanceof ILoop));
    )", 7),
              "true true false false\n");
}

TEST(ClassCompiler, PackagesAreMadeOnceAndClassesDefinedOnce)
{
    EXPECT_EQ(runSource(R"(
        #initclip
        _global.lib = {kept: "yes"};
        _global.lib.Tool = function () {};
        _global.lib.Tool.tag = "first";
        #endinitclip
        class lib.Tool { static var tag = "second"; }
        class lib.deep.Gear { function Gear() {} function toString() { return "gear"; } }
        trace(lib.kept + " " + lib.Tool.tag + " " + new lib.deep.Gear());
    )", 8),
              "yes first gear\n");
}

TEST(ClassCompiler, ClassesExtendingPlayerClassesReachTheirMembers)
{
    EXPECT_EQ(runSource(R"(
        class Spot extends MovieClip {
            var speed = 3;
            function go() { _x = 10; return _name + " " + speed + " " + _x; }
        }
        class Oops extends Error {
            function Oops(m) { super(m); name = "Oops"; }
        }
        var m = _root.createEmptyMovieClip("spot", 1);
        m.__proto__ = Spot.prototype;
        trace(m.go());
        try { throw new Oops("bad"); } catch (e) { trace(e.name + ": " + e.message + " " + (e instanceof Error)); }
    )", 8),
              "spot 3 10\nOops: bad true\n");
}

TEST(ClassCompiler, RegisteredClassesConstructAttachedClips)
{
    EXPECT_EQ(runSource(R"(
        #export ball
        class Ball extends MovieClip {
            var speed = 3;
            function Ball() { trace("made " + _name + " " + speed + " " + (this instanceof Ball)); }
            function onLoad() { trace("loaded " + _name); }
            function roll() { _x += speed; return _x; }
        }
        trace(Object.registerClass("ball", Ball));
        var b = attachMovie("ball", "b1", 1, {speed: 5});
        trace(b.roll() + " " + (b instanceof MovieClip) + " " + typeof b);
    )", 8, 2),
              "true\nmade b1 5 true\n5 true movieclip\nloaded b1\n");
}

TEST(ClassCompiler, MembersHideOnlyWhereNoLocalDoes)
{
    EXPECT_EQ(runSource(R"(
        var x = "global x";
        class P {
            var x = "member x";
            static var n = 5;
            function f(x) { return x; }
            function g() { var x = "local x"; return x; }
            function h() { return x + " " + n; }
            function inner() { var f = function (x) { return x; }; return f("inner x"); }
            static function s() { return n * 2; }
        }
        var p = new P();
        trace(p.f("param x") + ", " + p.g() + ", " + p.h() + ", " + p.inner() + ", " + P.s());
    )", 7),
              "param x, local x, member x 5, inner x, 10\n");
}

TEST(ClassCompiler, TypedCatchClausesTestInTurn)
{
    EXPECT_EQ(runSource(R"(
        class Oops extends Error {}
        function attempt(v) {
            try {
                throw v;
            } catch (e:Oops) {
                return "oops";
            } catch (e:Error) {
                return "error " + e.message;
            } catch (other) {
                return "other " + other;
            }
        }
        trace(attempt(new Oops("a")) + ", " + attempt(new Error("b")) + ", " + attempt(7));
        try {
            try { throw 5; } catch (e:Error) { trace("not here"); } finally { trace("finally"); }
        } catch (passed) { trace("passed on " + passed); }
    )", 7),
              "oops, error b, other 7\nfinally\npassed on 5\n");
    // In global code the caught value has no register.
    EXPECT_EQ(runSource("try { throw new Error(\"x\"); } catch (a:TypeError) { trace(1); } catch (b:Error) { trace(b.message); }"),
              "x\n");
}

TEST(ClassCompiler, IntrinsicAndImportWriteNothing)
{
    const auto frame = compileFrame("intrinsic class Far { function go():Void; }\nimport a.b.C;\ntrace(1);", 8);
    EXPECT_TRUE(frame.classes.empty());
    EXPECT_EQ(frame.actions, compileActions("trace(1);", 8));
    EXPECT_EQ(runSource("dynamic class Bag {}\nvar b = new Bag(); b.any = 1; trace(b.any + \" \" + typeof Far);", 7),
              "1 undefined\n");
}

TEST(ClassCompiler, ClassesOfAFrameRunBeforeItsActions)
{
    EXPECT_EQ(runSource(R"(
        trace(typeof Late);
        class Late {}
        #frame
        class Later {}
        trace(typeof Later);
    )", 7, 2),
              "function\nfunction\n");
}

TEST(ClassCompiler, VersionSixAndBelowFindSuperByName)
{
    EXPECT_EQ(runSource(R"(
        class Base { function hi() { return "base"; } }
        class Kid extends Base { function hi() { return "kid+" + super.hi(); } }
        trace(new Kid().hi());
    )", 6),
              "kid+base\n");
}

TEST(ClassCompilerBytes, AnInterfaceIsAFunctionDefinedWhenAbsent)
{
    // if (!_global.I) _global.I = function () {};  the value passing through register 1.
    enum : std::uint8_t { GetVariable = 0x1C, GetMember = 0x4E, SetMember = 0x4F, StoreRegister = 0x87 };
    Asm expected;
    expected.pool({"_global", "I"});
    expected.constant(0).op(GetVariable).constant(1).op(GetMember).branchIf("present");
    expected.constant(0).op(GetVariable).constant(1).function("", {}, Asm());
    expected.record(StoreRegister, {1}).op(SetMember).label("present");
    EXPECT_EQ(compileActions("interface I { function f():Void; }", 6), actionsOf(expected));
}

TEST(ClassCompilerErrors, DeclarationMistakesNameTheirLine)
{
    EXPECT_EQ(compileError("class A {\n  trace(1);\n}"), "line 2: syntax error: invalid class member");
    EXPECT_EQ(compileError("class A {\n  function f();\n}"), "line 2: syntax error: invalid function body");
    EXPECT_EQ(compileError("function f() {\n class A {} }"), "line 2: syntax error: classes and imports belong at the top level");
    EXPECT_EQ(compileError("dynamic var x;"), "line 1: syntax error: missing class after modifier");
    EXPECT_EQ(compileError("import a.;"), "line 1: syntax error: missing name after import");
    EXPECT_EQ(compileError("try {} catch (a) {}\ncatch (b:Error) {}"),
              "line 2: only the last of several catch clauses may be untyped");
    EXPECT_EQ(compileError("class A extends A {}"), "line 1: class A extends itself");
    EXPECT_EQ(compileError("class X extends Y {}\nclass Y extends X {}"), "line 1: class X extends itself");
    EXPECT_EQ(compileError("interface I { function f():Void; }\nclass A implements I { function f() {} }"), "compiled");
}

TEST(ClassCompiler, PackageImportsCoverClassesOfEveryFrame)
{
    // The class is declared in the second frame's script and imported by
    // package in a clip's script and the third frame's.
    EXPECT_EQ(runSource(R"(
        trace("start");
        #frame
        class shapes.Circle {
            var r;
            function Circle(r) { this.r = r; }
            function area() { return r * r * 3; }
        }
        #clip holder
        import shapes.*;
        trace("clip " + new Circle(1).area());
        #endclip
        #frame
        import shapes.*;
        class Ring extends Circle { function Ring() { super(3); } }
        var c:Circle = new Circle(2);
        trace(c.area() + " " + new Ring().area() + " " + (new Ring() instanceof shapes.Circle));
    )", 8, 3),
              "start\nclip 3\n12 27 true\n");
}

} // namespace
} // namespace lumbra::movie::test
