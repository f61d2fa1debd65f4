// The drawing methods of clips, checked on the pixels of the memory canvas and
// on the bounds scripts read back. Expected pixels follow from the geometry
// given; edges are anti-aliased, so only pixels well inside or well outside a
// shape are compared, each channel within 2 of the value worked out.
#include "TimelineAssembly.h"

#include "control/movie/Drawing.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/RasterCanvas.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace lumbra::movie::test {
namespace {

void square(Asm& a, const std::string& path, double x0, double y0, double x1, double y1)
{
    call(a, path, "moveTo", {x0, y0});
    call(a, path, "lineTo", {x1, y0});
    call(a, path, "lineTo", {x1, y1});
    call(a, path, "lineTo", {x0, y1}); // left open: endFill closes it
}

RasterCanvas render(const Asm& code)
{
    MoviePlayer player;
    EXPECT_TRUE(player.load(movieOf(8, {code.bytes()})));
    player.setBackgroundColor(0xFFFFFF);
    player.setViewport(40, 20);
    player.setScaleMode(ScaleMode::NoScale);
    player.setAlign(AlignLeft | AlignTop);
    RasterCanvas canvas(40, 20);
    player.render(canvas);
    return canvas;
}

void expectNear(Argb actual, Argb expected)
{
    for (int shift : {24, 16, 8, 0})
        EXPECT_LE(std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)), 2)
            << std::hex << actual << " vs " << expected;
}

TEST(ClipDrawing, FillsAutoCloseAndBlendWithTheirAlpha)
{
    Asm a;
    call(a, "this", "lineStyle", {2.0, 0.0, 100.0});
    call(a, "this", "beginFill", {double(0xFF0000), 100.0});
    square(a, "this", 2, 2, 18, 18);
    call(a, "this", "endFill");
    call(a, "this", "lineStyle");
    call(a, "this", "beginFill", {double(0x0000FF), 50.0});
    square(a, "this", 22, 2, 38, 18);
    call(a, "this", "endFill");
    RasterCanvas c = render(a);
    expectNear(c.pixels().at(10, 10), 0xFFFF0000);
    // The closing edge (x = 2) is drawn with the pen like the others.
    expectNear(c.pixels().at(2, 10), 0xFF000000);
    expectNear(c.pixels().at(10, 2), 0xFF000000);
    expectNear(c.pixels().at(0, 10), 0xFFFFFFFF);
    expectNear(c.pixels().at(20, 10), 0xFFFFFFFF);
    // 50 % is 128 of 255: blue over white keeps 127 of red and green.
    expectNear(c.pixels().at(30, 10), 0xFF7F7FFF);
}

TEST(ClipDrawing, ChildrenLieOverTheDrawingAndClearForgetsIt)
{
    Asm a;
    call(a, "this", "createEmptyMovieClip", {"kid", 1.0});
    call(a, "kid", "beginFill", {double(0x00FF00)});
    square(a, "kid", 0, 0, 10, 20);
    call(a, "kid", "endFill");
    call(a, "this", "beginFill", {double(0x000000)});
    square(a, "this", 0, 0, 20, 20);
    call(a, "this", "endFill");
    call(a, "this", "lineStyle", {4.0, double(0xFF0000)});
    call(a, "this", "moveTo", {30.0, 0.0});
    call(a, "this", "lineTo", {30.0, 20.0});
    RasterCanvas c = render(a);
    expectNear(c.pixels().at(5, 10), 0xFF00FF00);
    expectNear(c.pixels().at(15, 10), 0xFF000000);
    expectNear(c.pixels().at(30, 10), 0xFFFF0000);
    expectNear(c.pixels().at(33, 10), 0xFFFFFFFF);

    Asm cleared = a;
    call(cleared, "this", "clear");
    RasterCanvas d = render(cleared);
    expectNear(d.pixels().at(5, 10), 0xFF00FF00);
    expectNear(d.pixels().at(15, 10), 0xFFFFFFFF);
    expectNear(d.pixels().at(30, 10), 0xFFFFFFFF);
}

TEST(ClipDrawing, ScriptMasksShowOnlyWhatTheMaskCovers)
{
    Asm a;
    call(a, "this", "createEmptyMovieClip", {"content", 1.0});
    call(a, "content", "beginFill", {double(0xFF0000)});
    square(a, "content", 0, 0, 40, 20);
    call(a, "content", "endFill");
    call(a, "this", "createEmptyMovieClip", {"window", 2.0});
    call(a, "window", "beginFill", {double(0x00FF00)});
    square(a, "window", 10, 0, 20, 20);
    call(a, "window", "endFill");
    a.str("window").op(GetVariable).f64(1).str("content").op(GetVariable).str("setMask").op(CallMethod).op(Pop);
    // The masked clip is hit only where its mask lies.
    call(a, "content", "hitTest", {15.0, 10.0, 1.0}, true).trace();
    call(a, "content", "hitTest", {30.0, 10.0, 1.0}, true).trace();
    RasterCanvas c = render(a);
    expectNear(c.pixels().at(15, 10), 0xFFFF0000); // the mask itself is not drawn
    expectNear(c.pixels().at(5, 10), 0xFFFFFFFF);
    expectNear(c.pixels().at(30, 10), 0xFFFFFFFF);
    EXPECT_EQ(run(a), "true\nfalse\n");
}

TEST(ClipDrawing, LinearGradientAcrossABox)
{
    // Red to blue over x = 0..40 (box form): at x the mix is x / 40 blue.
    Asm a;
    a.str("m").str("matrixType").str("box").str("x").f64(0).str("y").f64(0).str("w").f64(40).str("h").f64(20)
        .str("r").f64(0).f64(6).op(InitObject).op(SetVariable);
    a.str("ratios").f64(255).f64(0).f64(2).op(InitArray).op(SetVariable);
    a.str("alphas").f64(100).f64(100).f64(2).op(InitArray).op(SetVariable);
    a.str("colors").f64(0x0000FF).f64(0xFF0000).f64(2).op(InitArray).op(SetVariable);
    for (const char* name : {"m", "ratios", "alphas", "colors"})
        a.str(name).op(GetVariable);
    a.str("linear").f64(5).str("this").op(GetVariable).str("beginGradientFill").op(CallMethod).op(Pop);
    square(a, "this", 0, 0, 40, 20);
    call(a, "this", "endFill");
    RasterCanvas c = render(a);
    for (int x : {2, 10, 20, 30, 37}) {
        Argb p = c.pixels().at(x, 10);
        double t = (x + 0.5) / 40;
        EXPECT_NEAR(double((p >> 16) & 0xFF), 255 * (1 - t), 4) << x;
        EXPECT_NEAR(double(p & 0xFF), 255 * t, 4) << x;
    }
}

TEST(ClipDrawing, BoundsIncludeTheDrawingAndHalfTheLine)
{
    Asm a;
    call(a, "this", "createEmptyMovieClip", {"kid", 1.0});
    call(a, "kid", "lineStyle", {4.0});
    call(a, "kid", "beginFill", {double(0xFF)});
    square(a, "kid", 0, 0, 100, 50);
    call(a, "kid", "endFill");
    traceMember(a, "kid", "_width");
    traceMember(a, "kid", "_height");
    call(a, "kid", "getBounds", {"kid"}, true).str("xMin").op(GetMember).trace();
    // A curve bulging to y = 75 at its middle: control point at 100.
    call(a, "kid", "clear");
    call(a, "kid", "beginFill", {0.0});
    call(a, "kid", "moveTo", {0.0, 50.0});
    call(a, "kid", "curveTo", {50.0, 100.0, 100.0, 50.0});
    call(a, "kid", "endFill");
    traceMember(a, "kid", "_height");
    EXPECT_EQ(run(a), "104\n54\n-2\n25\n");
}

TEST(ClipDrawing, DrawingsOfAStageShareABoundedAllowance)
{
    auto inUse = std::make_shared<std::size_t>(0);
    {
        Drawing drawing(inUse);
        drawing.lineStyle(LineStyle{});
        // Deep curves flatten to many points each: far more than the allowance.
        for (int i = 0; i < 100000; ++i)
            drawing.curveTo({double(i % 2 ? -1e6 : 1e6), 0}, {0, double(i)});
        std::size_t held = *inUse;
        EXPECT_GT(held, 1'000'000u);
        EXPECT_LE(held, 2'000'100u);
        EXPECT_EQ(drawing.copy(), nullptr);
        drawing.lineTo({5, 5});
        EXPECT_EQ(*inUse, held);
        drawing.clear();
        EXPECT_EQ(*inUse, 0u);
        drawing.lineStyle(LineStyle{});
        drawing.lineTo({100, 0});
        auto copy = drawing.copy();
        ASSERT_NE(copy, nullptr);
        ASSERT_EQ(copy->shape().linePaths.size(), 1u);
        EXPECT_EQ(copy->shape().linePaths[0][0].size(), 2u);
        EXPECT_EQ(*inUse, 4u); // a style and a point, twice
    }
    EXPECT_EQ(*inUse, 0u);
}

} // namespace
} // namespace lumbra::movie::test
