// The anti-aliased canvas: coverage of edges reasoned out from areas, fill
// rules, lines with their caps and joins, masks, layers.
#include "control/movie/RasterCanvas.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumbra::movie {
namespace {

Contour square(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

Fill solid(Argb c)
{
    Fill f;
    f.color = c;
    return f;
}

unsigned red(const RasterCanvas& c, int x, int y) { return redOf(c.pixels().at(x, y)); }

TEST(Coverage, EdgesCoverTheirAreaExactly)
{
    // A pixel column half inside the square is half covered; pixels wholly in
    // are full, wholly out untouched.
    Coverage cov({square(2.5, 1, 6, 5)}, {0, 0, 10, 10});
    EXPECT_EQ(cov.at(2, 2), 128);
    EXPECT_EQ(cov.at(3, 2), 255);
    EXPECT_EQ(cov.at(5, 4), 255);
    // The top edge lies on a pixel border: the row above stays clear.
    PixelRect area = cov.area();
    EXPECT_EQ(area.y0, 1);
    // A quarter of the corner pixel of a square ending half-way both ways.
    Coverage corner({square(0, 0, 1.5, 1.5)}, {0, 0, 4, 4});
    EXPECT_EQ(corner.at(1, 1), 64);
    // The diagonal of a right triangle halves the pixels it crosses.
    Coverage triangle({{{0, 0}, {4, 0}, {0, 4}}}, {0, 0, 4, 4});
    EXPECT_EQ(triangle.at(1, 2), 128);
    EXPECT_EQ(triangle.at(0, 0), 255);
    EXPECT_EQ(triangle.at(3, 3), 0);
}

TEST(Coverage, FillRulesAndClipping)
{
    Contour outer = square(0, 0, 8, 8), inner = square(2, 2, 6, 6);
    Contour reversed(inner.rbegin(), inner.rend());
    EXPECT_EQ(Coverage({outer, inner}, {0, 0, 8, 8}).at(4, 4), 255) << "same way round: filled";
    EXPECT_EQ(Coverage({outer, reversed}, {0, 0, 8, 8}).at(4, 4), 0) << "against: a hole";
    EXPECT_EQ(Coverage({outer, inner}, {0, 0, 8, 8}, FillRule::EvenOdd).at(4, 4), 0);
    // Geometry far outside the surface still winds correctly inside it.
    Coverage big({square(-1e6, -1e6, 5.5, 1e6)}, {0, 0, 8, 8});
    EXPECT_EQ(big.at(0, 0), 255);
    EXPECT_EQ(big.at(5, 7), 128);
    EXPECT_EQ(big.at(6, 3), 0);
    // Broken numbers draw nothing rather than anything undefined.
    Coverage broken(Path{{{0, 0}, {NAN, 3}, {INFINITY, 5}}}, {0, 0, 8, 8});
    for (int y = broken.area().y0; y < broken.area().y1; ++y)
        for (int x = broken.area().x0; x < broken.area().x1; ++x)
            EXPECT_EQ(broken.at(x, y), 0);
}

TEST(RasterCanvas, PaintsSourceOverAndLeavesTheBackgroundExact)
{
    RasterCanvas canvas(10, 10);
    canvas.clear(0xFFFFFFFF);
    canvas.fillPath({square(2.5, 0, 10, 10)}, solid(0xFF000000));
    EXPECT_EQ(canvas.pixels().at(0, 5), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.pixels().at(1, 5), 0xFFFFFFFFu);
    EXPECT_NEAR(int(red(canvas, 2, 5)), 127, 1) << "half-covered edge: half the background";
    EXPECT_EQ(canvas.pixels().at(3, 5), 0xFF000000u);
    // Half-transparent red over white: (255, 127, 127).
    canvas.clear(0xFFFFFFFF);
    canvas.fillPath({square(0, 0, 10, 10)}, solid(0x80FF0000));
    Argb c = canvas.pixels().at(5, 5);
    EXPECT_EQ(redOf(c), 255u);
    EXPECT_NEAR(int(greenOf(c)), 127, 1);
    // The same drawn over black and over white gives what a layered window
    // recovers alpha from: white - black = 255 - alpha.
    RasterCanvas black(4, 4), white(4, 4);
    black.clear(0xFF000000);
    white.clear(0xFFFFFFFF);
    black.fillPath({square(0, 0, 4, 4)}, solid(0x400000FF));
    white.fillPath({square(0, 0, 4, 4)}, solid(0x400000FF));
    EXPECT_EQ(blueOf(white.pixels().at(1, 1)) - blueOf(black.pixels().at(1, 1)), 255u - 0x40);
    EXPECT_EQ(black.pixels().at(1, 1) & 0xFFFF00u, 0u);
}

TEST(RasterCanvas, LinesWithCapsAndJoins)
{
    RasterCanvas canvas(40, 20);
    Stroke s;
    s.width = 4;
    s.color = 0xFF000000;
    s.startCap = s.endCap = CapStyle::None;
    canvas.clear(0xFFFFFFFF);
    canvas.strokePath({{{10, 10}, {30, 10}}}, s);
    EXPECT_EQ(red(canvas, 20, 8), 0u) << "two pixels either side of the centre line";
    EXPECT_EQ(red(canvas, 20, 11), 0u);
    EXPECT_EQ(red(canvas, 20, 12), 255u);
    EXPECT_EQ(red(canvas, 9, 10), 255u) << "no cap: ends at the end point";
    s.startCap = s.endCap = CapStyle::Square;
    canvas.clear(0xFFFFFFFF);
    canvas.strokePath({{{10, 10}, {30, 10}}}, s);
    EXPECT_EQ(red(canvas, 8, 10), 0u) << "square cap: half a width further";
    EXPECT_EQ(red(canvas, 7, 10), 255u);
    s.startCap = s.endCap = CapStyle::Round;
    canvas.clear(0xFFFFFFFF);
    canvas.strokePath({{{10, 10}, {30, 10}}}, s);
    EXPECT_LT(red(canvas, 8, 10), 128u) << "round cap reaches out at the middle";
    EXPECT_EQ(red(canvas, 7, 7), 255u) << "but not in the corner";
    // A right-angled corner: a miter join fills the outer corner square, a
    // bevel cuts it off.
    s.width = 6;
    s.join = JoinStyle::Miter;
    canvas.clear(0xFFFFFFFF);
    canvas.strokePath({{{5, 15}, {20, 15}, {20, 0}}}, s);
    EXPECT_EQ(red(canvas, 22, 17), 0u);
    s.join = JoinStyle::Bevel;
    canvas.clear(0xFFFFFFFF);
    canvas.strokePath({{{5, 15}, {20, 15}, {20, 0}}}, s);
    EXPECT_EQ(red(canvas, 22, 17), 255u);
    // Hairlines: under a pixel wide they draw one pixel wide.
    s.width = 0.1;
    canvas.clear(0xFFFFFFFF);
    canvas.strokePath({{{0, 5.5}, {40, 5.5}}}, s);
    EXPECT_EQ(red(canvas, 20, 5), 0u);
    EXPECT_EQ(red(canvas, 20, 4), 255u);
}

TEST(RasterCanvas, MasksLimitDrawingAndNest)
{
    RasterCanvas canvas(20, 20);
    canvas.clear(0xFFFFFFFF);
    canvas.beginMask();
    canvas.fillPath({square(0, 0, 10, 20)}, solid(0x01000000)); // a mask's colour and alpha do not matter
    canvas.endMask();
    canvas.fillPath({square(0, 0, 20, 20)}, solid(0xFF000000));
    EXPECT_EQ(red(canvas, 5, 5), 0u);
    EXPECT_EQ(red(canvas, 15, 5), 255u);
    canvas.beginMask();
    canvas.fillPath({square(0, 10, 20, 20)}, solid(0xFF000000));
    canvas.endMask();
    canvas.fillPath({square(0, 0, 20, 20)}, solid(0xFFFF0000));
    EXPECT_EQ(canvas.pixels().at(5, 15), 0xFFFF0000u) << "inside both masks";
    EXPECT_EQ(canvas.pixels().at(5, 5), 0xFF000000u) << "outside the inner one";
    EXPECT_EQ(canvas.pixels().at(15, 15), 0xFFFFFFFFu) << "outside the outer one";
    canvas.popMask();
    canvas.popMask();
    canvas.fillPath({square(0, 0, 20, 20)}, solid(0xFF00FF00));
    EXPECT_EQ(canvas.pixels().at(15, 15), 0xFF00FF00u) << "popped: everything again";
}

TEST(RasterCanvas, LayersBlendAsAWhole)
{
    RasterCanvas canvas(10, 10);
    canvas.clear(0xFF808080);
    LayerEffects multiply;
    multiply.blend = BlendMode::Multiply;
    ASSERT_TRUE(canvas.beginLayer({0, 0, 10, 10}, multiply));
    canvas.fillPath({square(0, 0, 5, 10)}, solid(0xFFFFFFFF));
    canvas.fillPath({square(5, 0, 10, 10)}, solid(0xFF000000));
    canvas.endLayer(multiply);
    EXPECT_EQ(canvas.pixels().at(2, 2), 0xFF808080u) << "white multiplies to no change";
    EXPECT_EQ(canvas.pixels().at(7, 2), 0xFF000000u);
    canvas.clear(0xFF808080);
    LayerEffects screen;
    screen.blend = BlendMode::Screen;
    ASSERT_TRUE(canvas.beginLayer({0, 0, 10, 10}, screen));
    canvas.fillPath({square(0, 0, 10, 10)}, solid(0xFF404040));
    canvas.endLayer(screen);
    // 1 - (1 - 0.5) (1 - 0.25) = 0.625 -> 159 or 160
    EXPECT_NEAR(int(red(canvas, 3, 3)), 160, 1);
}

// A layer covers its content grown by its filters' reach, and no more: a
// blurred square in a corner of a large canvas takes a small layer, yet its
// blur still spreads past the content's edge. Content past the canvas edge
// spreads in as far as the blur reaches.
TEST(RasterCanvas, LayersCoverOnlyWhatTheirEffectsReach)
{
    RasterCanvas canvas(2880, 2880);
    canvas.clear(0xFFFFFFFF);
    LayerEffects blur;
    blur.filters.push_back(BlurFilter{5, 5, 1}); // reaches 2 pixels each side
    ASSERT_TRUE(canvas.beginLayer({10, 10, 20, 20}, blur));
    canvas.fillPath({square(10, 10, 20, 20)}, solid(0xFF000000));
    canvas.endLayer(blur);
    EXPECT_EQ(canvas.peakLayerPixels(), std::size_t(14 * 14));
    EXPECT_LT(red(canvas, 9, 15), 255u) << "the blur spreads beyond the square";
    EXPECT_EQ(red(canvas, 7, 15), 255u) << "but no further than its reach";
    EXPECT_EQ(red(canvas, 15, 15), 0u);

    RasterCanvas edge(10, 10);
    edge.clear(0xFFFFFFFF);
    ASSERT_TRUE(edge.beginLayer({-10, 0, 0, 10}, blur));
    edge.fillPath({square(-10, 0, 0, 10)}, solid(0xFF000000));
    edge.endLayer(blur);
    EXPECT_LT(red(edge, 0, 5), 255u) << "a square just off the canvas blurs onto it";
    EXPECT_EQ(red(edge, 3, 5), 255u);
}

// Nested layers of a whole large canvas stop at the allowance: the layer past
// it is refused and its content is drawn plain onto the one below.
TEST(RasterCanvas, NestedLayersStayWithinTheAllowance)
{
    RasterCanvas canvas(2880, 2880);
    canvas.clear(0xFFFFFFFF);
    LayerEffects blur;
    blur.filters.push_back(BlurFilter{3, 3, 1});
    int opened = 0;
    for (int i = 0; i < 16; ++i)
        opened += canvas.beginLayer({0, 0, 2880, 2880}, blur) ? 1 : 0;
    EXPECT_EQ(opened, 0) << "one whole-canvas layer is past the allowance";
    for (int i = 0; i < 16; ++i)
        opened += canvas.beginLayer({0, 0, 1000, 1000}, blur) ? 1 : 0;
    EXPECT_EQ(opened, 4);
    canvas.fillPath({square(0, 0, 6, 6)}, solid(0xFF000000));
    for (int i = 0; i < opened; ++i)
        canvas.endLayer(blur);
    EXPECT_LE(canvas.peakLayerPixels(), RasterCanvas::kMaxLayerPixels);
    EXPECT_GT(red(canvas, 3, 3), 0u) << "four blurs soften even the middle of a small square";
    EXPECT_LT(red(canvas, 3, 3), 255u);
}

} // namespace
} // namespace lumbra::movie
