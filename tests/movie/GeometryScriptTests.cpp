// flash.geom from scripts: Point, Rectangle, Matrix and ColorTransform with
// the results the language reference gives for its examples and that follow
// from the definitions (worked out by hand below), and Transform bound to a
// clip: setting its matrix moves the clip, reading gives copies.
#include "SourceSupport.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

TEST(GeometryScript, PointArithmeticAndStatics)
{
    EXPECT_EQ(runSource(R"(
var P = flash.geom.Point;
var p = new P(3, 4);
trace(p + " " + p.length + " " + new P());
trace(p.add(new P(1, 1)) + " " + p.subtract(new P(1, 1)));
trace(P.distance(new P(0, 0), p) + " " + P.interpolate(new P(0, 0), new P(10, 20), 0.25) + " " + P.polar(2, 0));
var q = p.clone();
q.normalize(10);
trace(q + " " + p.equals(p.clone()) + " " + p.equals(q) + " " + p.equals(3));
q.offset(1, -1);
trace(q + " " + p);
var s = new P("a", "b");
trace(s.x + s.y + " " + typeof new P(1).y);
)"),
              "(x=3, y=4) 5 (x=0, y=0)\n"
              "(x=4, y=5) (x=2, y=3)\n"
              "5 (x=7.5, y=15) (x=2, y=0)\n"
              "(x=6, y=8) true false false\n"
              "(x=7, y=7) (x=3, y=4)\n"
              "ab undefined\n");
}

TEST(GeometryScript, RectangleEdgesTestsAndChanges)
{
    EXPECT_EQ(runSource(R"(
var R = flash.geom.Rectangle, P = flash.geom.Point;
var r = new R(0, 0, 10, 10);
trace(r + " " + r.left + " " + r.right + " " + r.top + " " + r.bottom);
trace(r.size + " " + r.topLeft + " " + r.bottomRight);
trace(r.contains(0, 0) + " " + r.contains(10, 5) + " " + r.containsPoint(new P(9.5, 9.5)) + " " + r.containsRectangle(new R(1, 1, 9, 9)) + " " + r.containsRectangle(new R(1, 1, 10, 9)));
trace(r.intersects(new R(5, 5, 10, 10)) + " " + r.intersects(new R(10, 0, 5, 5)) + " " + r.intersection(new R(5, 5, 10, 10)) + " " + r.intersection(new R(20, 20, 1, 1)));
trace(r.union(new R(5, 5, 10, 10)) + " " + r.union(new R()));
r.inflate(1, 2); trace(r);
r.left = 2; trace(r);
r.bottomRight = new P(20, 30); trace(r);
r.top = 0; trace(r);
r.size = new P(4, 5); r.offset(1, 1); trace(r);
r.offsetPoint(new P(-1, -1)); r.inflatePoint(new P(1, 0)); trace(r);
trace(new R().isEmpty() + " " + new R(0, 0, 5, 0).isEmpty() + " " + r.isEmpty() + " " + r.equals(r.clone()) + " " + r.equals(new R()));
r.setEmpty(); trace(r);
)"),
              "(x=0, y=0, w=10, h=10) 0 10 0 10\n"
              "(x=10, y=10) (x=0, y=0) (x=10, y=10)\n"
              "true false true true false\n"
              "true false (x=5, y=5, w=5, h=5) (x=0, y=0, w=0, h=0)\n"
              "(x=0, y=0, w=15, h=15) (x=0, y=0, w=10, h=10)\n"
              "(x=-1, y=-2, w=12, h=14)\n"
              "(x=2, y=-2, w=9, h=14)\n"
              "(x=2, y=-2, w=18, h=32)\n"
              "(x=2, y=0, w=18, h=30)\n"
              "(x=3, y=1, w=4, h=5)\n"
              "(x=1, y=0, w=6, h=5)\n"
              "true true false true false\n"
              "(x=0, y=0, w=0, h=0)\n");
}

TEST(GeometryScript, MatrixSteps)
{
    // scale then translate: (2, 0, 0, 3, 10, 20); its inverse halves and
    // thirds and moves back; createBox(2, 2, 0, 5, 5) maps (1, 1) to (7, 7);
    // a 100 x 50 gradient box is 100 / 1638.4 by 50 / 1638.4 about (50, 25).
    EXPECT_EQ(runSource(R"(
var M = flash.geom.Matrix, P = flash.geom.Point;
var m = new M(); trace(m);
m.scale(2, 3); m.translate(10, 20); trace(m);
var i = m.clone(); i.invert(); trace(i + " " + i.transformPoint(m.transformPoint(new P(4, 5))));
m.createBox(2, 2, 0, 5, 5); trace(m + " " + m.transformPoint(new P(1, 1)) + " " + m.deltaTransformPoint(new P(1, 1)));
m.createGradientBox(100, 50); trace(m);
var r = new M(); r.rotate(Math.PI / 2); var p = r.transformPoint(new P(1, 0));
trace(Math.round(p.x) + " " + Math.round(p.y));
var c = new M(1, 0, 0, 1, 5, 0); c.concat(new M(2, 0, 0, 2, 0, 1)); trace(c);
c.identity(); trace(c);
var b = new M(); b.createBox(2, 1, Math.PI / 2); trace(Math.round(b.b) + " " + Math.round(b.c));
)"),
              "(a=1, b=0, c=0, d=1, tx=0, ty=0)\n"
              "(a=2, b=0, c=0, d=3, tx=10, ty=20)\n"
              "(a=0.5, b=0, c=0, d=0.333333333333333, tx=-5, ty=-6.66666666666667) (x=4, y=5)\n"
              "(a=2, b=0, c=0, d=2, tx=5, ty=5) (x=7, y=7) (x=2, y=2)\n"
              "(a=0.06103515625, b=0, c=0, d=0.030517578125, tx=50, ty=25)\n"
              "0 1\n"
              "(a=2, b=0, c=0, d=2, tx=10, ty=1)\n"
              "(a=1, b=0, c=0, d=1, tx=0, ty=0)\n"
              // turned first, then scaled along the stage's axes: b = sy, c = -sx
              "1 -2\n");
}

TEST(GeometryScript, ColorTransformTermsRgbAndConcat)
{
    // concat: this after the other, so the offsets are 0.5 * 5 + 10.
    EXPECT_EQ(runSource(R"(
var C = flash.geom.ColorTransform;
var c = new C(); trace(c);
c.rgb = 0xFF8000; trace(c + " " + c.rgb.toString(16));
var d = new C(0.5, 0.5, 0.5, 1, 10, 10, 10, 0); d.concat(new C(2, 2, 2, 1, 5, 5, 5, 0)); trace(d);
var e = new C(1, 1, 1, 0.5); trace(e.alphaMultiplier + " " + e.redOffset);
)"),
              "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, redOffset=0, greenOffset=0, "
              "blueOffset=0, alphaOffset=0)\n"
              "(redMultiplier=0, greenMultiplier=0, blueMultiplier=0, alphaMultiplier=1, redOffset=255, "
              "greenOffset=128, blueOffset=0, alphaOffset=0) ff8000\n"
              "(redMultiplier=1, greenMultiplier=1, blueMultiplier=1, alphaMultiplier=1, redOffset=12.5, "
              "greenOffset=12.5, blueOffset=12.5, alphaOffset=0)\n"
              "0.5 0\n");
}

TEST(GeometryScript, TransformMovesItsClipAndReadsCopies)
{
    EXPECT_EQ(runSource(R"(
this.createEmptyMovieClip("mc", 1);
mc.beginFill(0xFF0000); mc.moveTo(0, 0); mc.lineTo(10, 0); mc.lineTo(10, 10); mc.lineTo(0, 10); mc.endFill();
mc._x = 5; mc._y = 7;
var t = mc.transform;
trace(t.matrix + " " + t.pixelBounds);
var m = t.matrix; m.tx = 100; trace(mc._x);
m.scale(2, 3); t.matrix = m; trace(mc._x + " " + mc._xscale + " " + mc._yscale + " " + mc._width);
mc.createEmptyMovieClip("kid", 1); mc.kid._x = 10;
trace(mc.kid.transform.concatenatedMatrix);
t.colorTransform = new flash.geom.ColorTransform(0.5, 1, 1, 1, 10, 0, 0, 0);
trace(mc.transform.colorTransform.redMultiplier + " " + mc.kid.transform.concatenatedColorTransform.redOffset);
mc._alpha = 50; trace(t.colorTransform.alphaMultiplier);
mc.transform = {matrix: new flash.geom.Matrix(1, 0, 0, 1, 3, 4), colorTransform: new flash.geom.ColorTransform()};
trace(mc._x + " " + mc._y + " " + mc._alpha + " " + (new flash.geom.Transform(mc)).matrix.a);
t.matrix = {a: 1};
trace(mc._x);
)"),
              "(a=1, b=0, c=0, d=1, tx=5, ty=7) (x=5, y=7, w=10, h=10)\n"
              "5\n"
              "200 200 300 20\n"
              "(a=2, b=0, c=0, d=3, tx=220, ty=21)\n"
              "0.5 10\n"
              "0.5\n"
              "3 4 100 1\n"
              "3\n");
}

TEST(GeometryScript, PackagesBelongToVersion8)
{
    EXPECT_EQ(runSource("trace(typeof flash.geom.Point + \" \" + typeof flash.filters.BlurFilter);", 8),
              "function function\n");
    EXPECT_EQ(runSource("trace(typeof flash);", 7), "undefined\n");
}

} // namespace
} // namespace lumbra::movie::test
