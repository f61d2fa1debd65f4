// Pictures on the stage: attached bitmaps, bitmap fills and gradient lines of
// the drawing methods, rendered into the memory canvas. Pictures are placed on
// whole pixels and not smoothed, so every pixel inside shows one picture pixel
// exactly; gradient pixels are checked against their ramp position within a
// wide tolerance, since the ramp is sampled in 256 steps.
#include "control/movie/MoviePlayer.h"
#include "control/movie/RasterCanvas.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

#include <string>

namespace lumbra::movie::test {
namespace {

// The stage (40 x 20 pixels, white) after `frames` frames of the script.
RasterCanvas render(const std::string& source, int frames = 1)
{
    MoviePlayer player;
    EXPECT_TRUE(player.load(actionscript::compileMovie("var B = flash.display.BitmapData;\n" + source, 8, frames)));
    player.setBackgroundColor(0xFFFFFF);
    player.setViewport(40, 20);
    player.setScaleMode(ScaleMode::NoScale);
    player.setAlign(AlignLeft | AlignTop);
    for (int i = 1; i < frames; ++i)
        player.advance();
    RasterCanvas canvas(40, 20);
    player.render(canvas);
    return canvas;
}

constexpr Argb kWhite = 0xFFFFFFFF, kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kGreen = 0xFF00FF00, kBlack = 0xFF000000;

TEST(BitmapRender, AttachedBitmapsShowTheirPixelsAndLaterChanges)
{
    const std::string script = R"(
var b = new B(4, 4, false, 0x0000FF);
this.createEmptyMovieClip("holder", 1);
holder._x = 10; holder._y = 2;
holder.attachBitmap(b, 1);
this.createEmptyMovieClip("wide", 2);
wide._x = 20; wide._xscale = 200;
wide.attachBitmap(b, 5, "auto", false);
#frame
b.fillRect({x: 0, y: 0, width: 2, height: 4}, 0xFF0000);
)";
    RasterCanvas first = render(script, 1);
    EXPECT_EQ(first.pixels().at(10, 2), kBlue);
    EXPECT_EQ(first.pixels().at(13, 5), kBlue);
    EXPECT_EQ(first.pixels().at(9, 3), kWhite);
    EXPECT_EQ(first.pixels().at(14, 3), kWhite);
    EXPECT_EQ(first.pixels().at(10, 6), kWhite);

    RasterCanvas second = render(script, 2);
    EXPECT_EQ(second.pixels().at(10, 2), kRed);
    EXPECT_EQ(second.pixels().at(11, 5), kRed);
    EXPECT_EQ(second.pixels().at(12, 2), kBlue);
    // Twice as wide: each picture pixel covers two stage pixels.
    EXPECT_EQ(second.pixels().at(23, 1), kRed);
    EXPECT_EQ(second.pixels().at(24, 1), kBlue);
    EXPECT_EQ(second.pixels().at(27, 3), kBlue);
    EXPECT_EQ(second.pixels().at(28, 3), kWhite);
}

TEST(BitmapRender, DisposedPicturesDrawNothing)
{
    RasterCanvas c = render(R"(
var b = new B(4, 4, false, 0x0000FF);
this.createEmptyMovieClip("holder", 1);
holder.attachBitmap(b, 1);
b.dispose();
)");
    EXPECT_EQ(c.pixels().at(1, 1), kWhite);
}

TEST(BitmapRender, BitmapFillsRepeatOrExtendTheirEdges)
{
    // A 2 x 2 picture: red, green / blue, black.
    const std::string picture = R"(
var p = new B(2, 2, false, 0);
p.setPixel(0, 0, 0xFF0000); p.setPixel(1, 0, 0x00FF00); p.setPixel(0, 1, 0x0000FF);
function square(x0, y0, x1, y1) { moveTo(x0, y0); lineTo(x1, y0); lineTo(x1, y1); lineTo(x0, y1); endFill(); }
)";
    RasterCanvas c = render(picture + R"(
beginBitmapFill(p); square(0, 0, 8, 8);
beginBitmapFill(p, {a: 1, b: 0, c: 0, d: 1, tx: 11, ty: 0}, true); square(10, 0, 18, 8);
beginBitmapFill(p, {tx: 20, ty: 0}, false); square(20, 0, 28, 8);
beginBitmapFill(p, {a: 2, b: 0, c: 0, d: 2, tx: 30, ty: 0}); square(30, 0, 38, 8);
)");
    const PixelBuffer& px = c.pixels();
    // Repeated from the origin.
    EXPECT_EQ(px.at(0, 0), kRed);
    EXPECT_EQ(px.at(5, 0), kGreen);
    EXPECT_EQ(px.at(4, 7), kBlue);
    EXPECT_EQ(px.at(7, 7), kBlack);
    // Moved one pixel right: column 10 shows the picture's column 1.
    EXPECT_EQ(px.at(10, 0), kGreen);
    EXPECT_EQ(px.at(11, 0), kRed);
    EXPECT_EQ(px.at(11, 1), kBlue);
    EXPECT_EQ(px.at(12, 1), kBlack);
    // Not repeated (a matrix of only some members: the rest as the identity's):
    // beyond the picture its last row and column go on.
    EXPECT_EQ(px.at(20, 0), kRed);
    EXPECT_EQ(px.at(26, 0), kGreen);
    EXPECT_EQ(px.at(20, 6), kBlue);
    EXPECT_EQ(px.at(27, 7), kBlack);
    // Scaled twice: picture pixels are 2 x 2 stage pixels.
    EXPECT_EQ(px.at(31, 1), kRed);
    EXPECT_EQ(px.at(32, 1), kGreen);
    EXPECT_EQ(px.at(34, 1), kRed);
    EXPECT_EQ(px.at(33, 3), kBlack);
}

TEST(BitmapRender, GradientLinesRunAlongTheirBox)
{
    RasterCanvas c = render(R"(
lineStyle(4, 0);
lineGradientStyle("linear", [0xFF0000, 0x0000FF], [100, 100], [0, 255], {matrixType: "box", x: 0, y: 0, w: 40, h: 10, r: 0});
moveTo(2, 5); lineTo(38, 5);
lineStyle(2, 0x00FF00);
moveTo(2, 15); lineTo(38, 15);
)");
    const PixelBuffer& px = c.pixels();
    auto red = [&](int x, int y) { return int(redOf(px.at(x, y))); };
    auto blue = [&](int x, int y) { return int(blueOf(px.at(x, y))); };
    // Position t along the box gives red 255 (1 - t) and blue 255 t.
    for (int x : {3, 10, 20, 30, 36}) {
        double t = (x + 0.5) / 40;
        EXPECT_NEAR(red(x, 5), 255 * (1 - t), 8) << x;
        EXPECT_NEAR(blue(x, 5), 255 * t, 8) << x;
        EXPECT_EQ(alphaOf(px.at(x, 5)), 255u);
    }
    EXPECT_EQ(px.at(20, 10), kWhite);
    // A later lineStyle is a plain pen again.
    EXPECT_EQ(px.at(20, 15), kGreen);
}

} // namespace
} // namespace lumbra::movie::test
