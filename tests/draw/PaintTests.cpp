// Gradients and bitmap fills, checked against colours reasoned out from the
// gradient square, the spread modes and the sampling rules.
#include "control/movie/Paint.h"
#include "control/movie/RasterCanvas.h"

#include <gtest/gtest.h>

#include <memory>

namespace lumbra::movie {
namespace {

// A 100-pixel-wide red-to-blue gradient over x = 0..100.
Fill redToBlue(Fill::Kind kind, Spread spread = Spread::Pad)
{
    Fill f;
    f.kind = kind;
    f.stops = {{0, 0xFFFF0000}, {1, 0xFF0000FF}};
    f.spread = spread;
    // Gradient space -1..1 onto pixels 0..100 for linear ones; radial ones are
    // centred at (50, 50) with radius 50.
    f.gradientToPixels = kind == Fill::Kind::LinearGradient ? Matrix{50, 0, 0, 50, 50, 0} : Matrix{50, 0, 0, 50, 50, 50};
    return f;
}

Argb at(const Paint& paint, int x, int y)
{
    Argb c;
    paint.shadeRow(x, y, 1, &c);
    return c;
}

void expectColor(Argb actual, unsigned r, unsigned g, unsigned b, int tolerance = 2)
{
    EXPECT_NEAR(int(redOf(actual)), int(r), tolerance) << std::hex << actual;
    EXPECT_NEAR(int(greenOf(actual)), int(g), tolerance) << std::hex << actual;
    EXPECT_NEAR(int(blueOf(actual)), int(b), tolerance) << std::hex << actual;
}

TEST(Gradients, LinearRampsAndSpreads)
{
    Fill f = redToBlue(Fill::Kind::LinearGradient);
    Paint pad(f);
    expectColor(at(pad, 0, 0), 254, 0, 1);
    {
        SCOPED_TRACE("midway: half of each");
        expectColor(at(pad, 49, 0), 129, 0, 126);
    }
    expectColor(at(pad, 99, 0), 1, 0, 254);
    {
        SCOPED_TRACE("pad holds the end colour");
        expectColor(at(pad, 150, 0), 0, 0, 255);
    }
    expectColor(at(pad, -50, 0), 255, 0, 0);
    // 25 px past the end is a quarter of the way back when reflected, a
    // quarter of the way in when repeated.
    expectColor(at(Paint(redToBlue(Fill::Kind::LinearGradient, Spread::Reflect)), 124, 0), 64, 0, 191, 3);
    expectColor(at(Paint(redToBlue(Fill::Kind::LinearGradient, Spread::Repeat)), 124, 0), 191, 0, 64, 3);
}

TEST(Gradients, StopsAlphaAndLinearLight)
{
    Fill f;
    f.kind = Fill::Kind::LinearGradient;
    f.gradientToPixels = {50, 0, 0, 50, 50, 0};
    f.stops = {{0, 0xFF000000}, {0.5, 0xFF00FF00}, {1, 0x0000FF00}};
    Paint p(f);
    expectColor(at(p, 49, 0), 0, 253, 0);
    Argb faded = at(p, 74, 0); // three quarters: green at half alpha, premultiplied
    EXPECT_NEAR(int(alphaOf(faded)), 128, 3);
    EXPECT_NEAR(int(greenOf(faded)), 128, 3);
    // In linear light the middle of black to white is brighter: 0.5 linear is 188.
    Fill lin;
    lin.kind = Fill::Kind::LinearGradient;
    lin.gradientToPixels = {50, 0, 0, 50, 50, 0};
    lin.stops = {{0, 0xFF000000}, {1, 0xFFFFFFFF}};
    lin.linearRgb = true;
    expectColor(at(Paint(lin), 49, 0), 187, 187, 187, 3);
}

TEST(Gradients, RadialAndFocal)
{
    Paint radial(redToBlue(Fill::Kind::RadialGradient));
    {
        SCOPED_TRACE("centre: the first stop");
        expectColor(at(radial, 50, 50), 254, 0, 1, 4);
    }
    {
        SCOPED_TRACE("half the radius");
        expectColor(at(radial, 75, 49), 129, 0, 126, 4);
    }
    expectColor(at(radial, 99, 49), 3, 0, 252, 4);
    {
        SCOPED_TRACE("outside: padded");
        expectColor(at(radial, 0, 0), 0, 0, 255);
    }
    Fill focal = redToBlue(Fill::Kind::FocalGradient);
    focal.focus = 0.5; // focal point at (75, 50)
    Paint p(focal);
    {
        SCOPED_TRACE("the focal point has the first stop");
        expectColor(at(p, 75, 50), 255, 0, 0, 8);
    }
    // Half-way from the focal point to the circle on either side.
    expectColor(at(p, 87, 50), 129, 0, 126, 8);
    expectColor(at(p, 37, 50), 129, 0, 126, 8);
}

std::shared_ptr<PixelBuffer> checker()
{
    // 2 x 2: red, green / blue, white.
    auto b = std::make_shared<PixelBuffer>(2, 2);
    b->at(0, 0) = 0xFFFF0000;
    b->at(1, 0) = 0xFF00FF00;
    b->at(0, 1) = 0xFF0000FF;
    b->at(1, 1) = 0xFFFFFFFF;
    return b;
}

TEST(BitmapFills, NearestRepeatClampAndSmooth)
{
    Fill f;
    f.kind = Fill::Kind::Bitmap;
    f.bitmap = checker();
    f.bitmapToPixels = Matrix::scaling(10, 10); // each texel 10 x 10 pixels
    f.smooth = false;
    Paint nearest(f);
    EXPECT_EQ(at(nearest, 5, 5), 0xFFFF0000u);
    EXPECT_EQ(at(nearest, 15, 5), 0xFF00FF00u);
    EXPECT_EQ(at(nearest, 5, 15), 0xFF0000FFu);
    EXPECT_EQ(at(nearest, 35, 5), 0xFF00FF00u) << "clamped: the edge texel extends";
    f.repeat = true;
    EXPECT_EQ(at(Paint(f), 25, 5), 0xFFFF0000u) << "repeated: starts over";
    EXPECT_EQ(at(Paint(f), -5, 5), 0xFF00FF00u);
    // Smoothing: at the seam between red and green both count half.
    f.repeat = false;
    f.smooth = true;
    expectColor(at(Paint(f), 9, 2), 128, 127, 0, 14);
    expectColor(at(Paint(f), 2, 2), 255, 0, 0);
    // A colour transform acts on every sample: red to half red.
    f.bitmapColor.rMult = 0.5;
    expectColor(at(Paint(f), 2, 2), 128, 0, 0);
}

} // namespace
} // namespace lumbra::movie
