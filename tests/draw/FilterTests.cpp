// Filters and blend modes on small layers whose results follow from the
// definitions: box blurs keep the total, colour matrices and convolutions act
// on straight colour, glows sit outside the shape and bevels on its sides.
#include "control/movie/FilterParser.h"
#include "control/movie/Filters.h"

#include <gtest/gtest.h>

namespace lumbra::movie {
namespace {

PixelBuffer dot(int size, Argb colour)
{
    PixelBuffer b(size, size);
    b.at(size / 2, size / 2) = colour;
    return b;
}

TEST(Filters, BlurSpreadsAndKeepsTheTotal)
{
    PixelBuffer b = dot(9, 0xFFFFFFFF);
    applyFilter(b, BlurFilter{3, 3, 1});
    // A 3 x 3 box: the dot's 255 becomes nine pixels of 255 / 9 = 28.
    EXPECT_NEAR(int(alphaOf(b.at(4, 4))), 28, 1);
    EXPECT_NEAR(int(alphaOf(b.at(3, 5))), 28, 1);
    EXPECT_EQ(b.at(2, 4), 0u);
    applyFilter(b, BlurFilter{3, 1, 1});
    EXPECT_EQ(b.at(1, 4), 0u);
    EXPECT_GT(alphaOf(b.at(2, 4)), 0u) << "a second pass spreads further";
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_LE(redOf(b.at(x, y)), alphaOf(b.at(x, y))) << "colour stays within alpha";
}

TEST(Filters, ColourMatrixAndConvolutionOnStraightColour)
{
    PixelBuffer b(1, 1, premultiply(0x80FF8000));
    ColorMatrixFilter swap;
    swap.m = {0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 1, 0}; // red and blue change places
    applyFilter(b, swap);
    EXPECT_EQ(unpremultiply(b.at(0, 0)) & 0xFFFFFF, 0x0080FFu);
    EXPECT_EQ(alphaOf(b.at(0, 0)), 0x80u);
    // A 3 x 1 averaging kernel over red | green | blue, clamped at the edges.
    PixelBuffer row(3, 1);
    row.at(0, 0) = 0xFFFF0000, row.at(1, 0) = 0xFF00FF00, row.at(2, 0) = 0xFF0000FF;
    ConvolutionFilter average;
    average.columns = 3, average.rows = 1, average.matrix = {1, 1, 1}, average.divisor = 3;
    applyFilter(row, average);
    EXPECT_EQ(row.at(1, 0), 0xFF555555u);
    EXPECT_EQ(row.at(0, 0), 0xFFAA5500u) << "the edge pixel counts twice";
}

TEST(Filters, GlowsAndShadowsAroundTheShape)
{
    PixelBuffer b(9, 9);
    for (int y = 3; y < 6; ++y)
        for (int x = 3; x < 6; ++x)
            b.at(x, y) = 0xFF0000FF;
    PixelBuffer glow = b;
    ShadowFilter g;
    g.color = 0xFFFF0000;
    g.blurX = g.blurY = 3;
    applyFilter(glow, g);
    EXPECT_EQ(glow.at(4, 4), 0xFF0000FFu) << "the shape stays on top";
    EXPECT_EQ(redOf(glow.at(2, 4)), alphaOf(glow.at(2, 4)));
    EXPECT_NEAR(int(alphaOf(glow.at(2, 4))), 85, 2) << "a third of a 3-wide box reaches one pixel out";
    EXPECT_EQ(glow.at(0, 4), 0u);
    PixelBuffer knocked = b;
    g.knockout = true;
    applyFilter(knocked, g);
    EXPECT_EQ(knocked.at(4, 4), 0u) << "knockout: the shape is cut out of its glow";
    PixelBuffer inner = b;
    ShadowFilter in;
    in.color = 0xFF000000;
    in.inner = true;
    in.blurX = in.blurY = 1;
    in.distance = 1;
    applyFilter(inner, in);
    EXPECT_EQ(inner.at(3, 3), 0xFF000000u) << "an inner shadow shades the edge facing the light";
    EXPECT_EQ(inner.at(5, 4), 0xFF0000FFu);
    EXPECT_EQ(inner.at(1, 1), 0u) << "nothing outside";
}

// A gradient glow as the file gives it: the blurred alpha picks the colour
// from the ramp, so a third of the way out of transparent black into green
// is alpha 85 with a third of full green, 28 once premultiplied; a flat glow
// of the outer colour would give green 85.
TEST(Filters, GradientGlowsTakeTheirColourFromTheRamp)
{
    const std::uint8_t list[] = {
        1, 4, 2,                // one filter: gradient glow, two colours
        0, 0, 0, 0, 0, 255, 0, 255, // transparent black, opaque green (RGBA)
        0, 255,                 // ratios
        0, 0, 3, 0, 0, 0, 3, 0, // blur 3 x 3 (16.16)
        0, 0, 0, 0, 0, 0, 0, 0, // angle, distance
        0, 1,                   // strength 1 (8.8)
        0x21};                  // composite, one pass
    BitReader in(list);
    auto filters = parseFilterList(in);
    ASSERT_EQ(filters.size(), 1u);
    auto* glow = std::get_if<ShadowFilter>(&filters[0]);
    ASSERT_TRUE(glow);
    EXPECT_TRUE(glow->glow);
    ASSERT_EQ(glow->ramp.size(), 2u);
    EXPECT_EQ(glow->ramp[1].ratio, 255u);
    EXPECT_EQ(glow->ramp[1].color, 0xFF00FF00u);
    PixelBuffer b(9, 9);
    for (int y = 3; y < 6; ++y)
        for (int x = 3; x < 6; ++x)
            b.at(x, y) = 0xFFFF0000;
    applyFilter(b, *glow);
    EXPECT_NEAR(int(alphaOf(b.at(2, 4))), 85, 2);
    EXPECT_NEAR(int(greenOf(b.at(2, 4))), 28, 2);
    EXPECT_EQ(redOf(b.at(2, 4)), 0u);
    EXPECT_EQ(b.at(4, 4), 0xFFFF0000u) << "the shape stays on top";
}

// A gradient bevel's ramp runs from the full highlight (ratio 0) through the
// flat base (128) to the full shadow (255). Red, transparent, blue with the
// light from the top left (45 degrees): the top left edge of an inner bevel
// is red, the bottom right blue, the middle untouched.
TEST(Filters, GradientBevelsColourBothSidesFromTheRamp)
{
    const std::uint8_t list[] = {
        1, 7, 3,                            // one filter: gradient bevel, three colours
        255, 0, 0, 255, 0, 0, 0, 0, 0, 0, 255, 255, // red, transparent, blue (RGBA)
        0, 128, 255,                        // ratios
        0, 0, 2, 0, 0, 0, 2, 0,             // blur 2 x 2 (16.16)
        0x0F, 0xC9, 0, 0,                   // angle 0.785398 (pi / 4, 16.16)
        0, 0, 2, 0,                         // distance 2
        0, 1,                               // strength 1 (8.8)
        0xA1};                              // inner, composite, one pass
    BitReader in(list);
    auto filters = parseFilterList(in);
    ASSERT_EQ(filters.size(), 1u);
    auto* bevel = std::get_if<BevelFilter>(&filters[0]);
    ASSERT_TRUE(bevel);
    ASSERT_EQ(bevel->ramp.size(), 3u);
    EXPECT_TRUE(bevel->inner);
    EXPECT_EQ(bevel->highlightColor, 0xFFFF0000u);
    EXPECT_EQ(bevel->shadowColor, 0xFF0000FFu);
    PixelBuffer b(12, 12);
    for (int y = 3; y < 9; ++y)
        for (int x = 3; x < 9; ++x)
            b.at(x, y) = 0xFF00FF00;
    applyFilter(b, *bevel);
    // The offset rounds to one pixel, and a 2-wide box takes the pixel after:
    // at the top left the light side leads by three quarters, ratio 32, a
    // quarter of the way from red to transparent black: alpha 191 of red 191
    // (143 premultiplied) over green's remaining 64. The bottom right leads
    // the other way fully: blue.
    EXPECT_NEAR(int(redOf(b.at(3, 3))), 143, 3) << "highlight";
    EXPECT_NEAR(int(greenOf(b.at(3, 3))), 64, 3);
    EXPECT_EQ(blueOf(b.at(3, 3)), 0u);
    EXPECT_EQ(b.at(8, 8), 0xFF0000FFu) << "shadow";
    EXPECT_EQ(b.at(6, 6), 0xFF00FF00u) << "the flat middle shows the base: transparent";
    EXPECT_EQ(b.at(1, 1), 0u) << "an inner bevel stays inside";
}

TEST(Filters, BlendModes)
{
    EXPECT_EQ(blendPixel(0xFF808080, 0xFF404040, BlendMode::Normal), 0xFF404040u);
    EXPECT_EQ(blendPixel(0xFF808080, 0xFF404040, BlendMode::Darken), 0xFF404040u);
    EXPECT_EQ(blendPixel(0xFF808080, 0xFF404040, BlendMode::Lighten), 0xFF808080u);
    EXPECT_EQ(blendPixel(0xFF808080, 0xFF404040, BlendMode::Add), 0xFFC0C0C0u);
    EXPECT_EQ(blendPixel(0xFF808080, 0xFF404040, BlendMode::Subtract), 0xFF404040u);
    EXPECT_EQ(blendPixel(0xFF808080, 0xFF404040, BlendMode::Difference), 0xFF404040u);
    EXPECT_EQ(blendPixel(0xFF102030, 0xFFFFFFFF, BlendMode::Invert), 0xFFEFDFCFu);
    EXPECT_EQ(blendPixel(0xFF808080, 0x80000000, BlendMode::Erase), 0x7F404040u);
    EXPECT_EQ(blendPixel(0xFF808080, 0x00000000, BlendMode::Alpha), 0u);
    // Hard light with a light source screens: 1 - 2 (1 - 0.75)(1 - 0.5) = 0.75.
    EXPECT_NEAR(int(redOf(blendPixel(0xFF808080, 0xFFC0C0C0, BlendMode::HardLight))), 191, 2);
}

} // namespace
} // namespace lumbra::movie
