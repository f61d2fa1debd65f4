// flash.filters objects and the drawn properties of clips from scripts:
// the reference's documented defaults and ranges, copies on reading, and the
// pixels the renderer draws for filters, blend modes and opaque backgrounds
// set by script. Expected pixels follow from the shapes' geometry; only
// pixels away from edges are compared, each channel within 2.
#include "SourceSupport.h"

#include "control/movie/MoviePlayer.h"
#include "control/movie/RasterCanvas.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace lumbra::movie::test {
namespace {

TEST(FilterScript, DefaultsFromTheReference)
{
    EXPECT_EQ(runSource(R"(
var F = flash.filters;
var d = new F.DropShadowFilter();
trace([d.distance, d.angle, d.color, d.alpha, d.blurX, d.blurY, d.strength, d.quality, d.inner, d.knockout, d.hideObject]);
var g = new F.GlowFilter();
trace([g.color, g.alpha, g.blurX, g.blurY, g.strength, g.quality, g.inner, g.knockout]);
var b = new F.BevelFilter();
trace([b.distance, b.angle, b.highlightColor, b.highlightAlpha, b.shadowColor, b.shadowAlpha, b.blurX, b.strength, b.quality, b.type, b.knockout]);
var gg = new F.GradientGlowFilter();
trace([gg.distance, gg.angle, gg.colors.length, gg.blurX, gg.strength, gg.type]);
trace(new F.BlurFilter().blurX + " " + new F.ColorMatrixFilter().matrix);
var c = new F.ConvolutionFilter();
trace([c.matrixX, c.matrixY, c.matrix.length, c.divisor, c.bias, c.preserveAlpha, c.clamp, c.color, c.alpha]);
var m = new F.DisplacementMapFilter();
trace([m.mapBitmap, m.mapPoint, m.componentX, m.scaleX, m.mode, m.color, m.alpha]);
trace((d instanceof F.BitmapFilter) + " " + (gg instanceof F.BitmapFilter) + " " + (d instanceof F.GlowFilter));
)"),
              "4,45,0,1,4,4,1,1,false,false,false\n"
              "16711680,1,6,6,2,1,false,false\n"
              "4,45,16777215,1,0,1,4,1,1,inner,false\n"
              "4,45,0,4,1,inner\n"
              "4 1,0,0,0,0,0,1,0,0,0,0,0,1,0,0,0,0,0,1,0\n"
              "0,0,0,1,0,true,true,0,0\n"
              "undefined,(x=0, y=0),0,0,wrap,0,0\n"
              "true true false\n");
}

TEST(FilterScript, MembersKeepToTheirRangesAndReadAsCopies)
{
    EXPECT_EQ(runSource(R"(
var F = flash.filters;
var b = new F.BlurFilter(300, -2, 20);
trace(b.blurX + " " + b.blurY + " " + b.quality);
var d = new F.DropShadowFilter(4, 45, 0x1FF0000, 7, 4, 4, 1000);
trace(d.color + " " + d.alpha + " " + d.strength);
d.alpha = -1; d.blurX = "8"; trace(d.alpha + " " + d.blurX);
var v = new F.BevelFilter(); v.type = "bogus"; trace(v.type); v.type = "full"; trace(v.type);
var gg = new F.GradientGlowFilter(5, 90, [0xFF0000, 0x00FF00], [0, 2], [0, 300], 8, 8, 2, 3, "outer", true);
trace(gg.colors + " " + gg.alphas + " " + gg.ratios + " " + gg.type + " " + gg.knockout);
var colors = gg.colors; colors.push(1); trace(gg.colors.length);
var k = gg.clone(); gg.blurX = 1;
trace(k.colors + " " + k.blurX + " " + (k instanceof F.GradientGlowFilter) + " " + (k == gg));
var cm = new F.ColorMatrixFilter([2, 0, 0]); trace(cm.matrix.length + " " + cm.matrix[0] + " " + cm.matrix[19]);
)"),
              "255 0 15\n"
              "16711680 1 255\n"
              "0 8\n"
              "inner\nfull\n"
              "16711680,65280 0,1 0,255 outer true\n"
              "2\n"
              "16711680,65280 8 true false\n"
              "20 2 0\n");
}

TEST(ClipEffectsScript, FiltersBlendModeAndTheOtherDrawnProperties)
{
    EXPECT_EQ(runSource(R"(
var F = flash.filters;
this.createEmptyMovieClip("mc", 1);
trace(mc.filters.length + " " + mc.blendMode + " " + mc.cacheAsBitmap + " " + mc.opaqueBackground + " " + mc.scale9Grid);
mc.filters = [new F.DropShadowFilter(6, 90), new F.BlurFilter(2, 3), 5, new F.GlowFilter(0xFF)];
var got = mc.filters;
trace(got.length + " " + got[0].distance + " " + got[0].angle + " " + got[1].blurY + " " + (got[2] instanceof F.GlowFilter) + " " + got[2].color);
trace(mc.cacheAsBitmap);
got[1].blurY = 1; trace(mc.filters[1].blurY + " " + (mc.filters == mc.filters));
mc.filters = "nonsense"; trace(mc.filters.length);
mc.filters = undefined; trace(mc.filters.length + " " + mc.cacheAsBitmap);
mc.cacheAsBitmap = true; trace(mc.cacheAsBitmap);
mc.blendMode = "multiply"; trace(mc.blendMode);
mc.blendMode = 9; trace(mc.blendMode);
mc.blendMode = "nonsense"; mc.blendMode = 99; mc.blendMode = 0; mc.blendMode = -1; trace(mc.blendMode);
mc.opaqueBackground = 0xFF00FF; trace(mc.opaqueBackground);
mc.opaqueBackground = null; trace(mc.opaqueBackground);
mc.scale9Grid = new flash.geom.Rectangle(1, 2, 3, 4); trace(mc.scale9Grid);
var names = ""; for (var n in mc) names += n; trace("[" + names + "]");
)"),
              "0 normal false undefined undefined\n"
              "3 6 90 3 true 255\n"
              "true\n"
              "3 false\n"
              "3\n"
              "0 false\n"
              "true\n"
              "multiply\n"
              "subtract\n"
              "subtract\n"
              "16711935\n"
              "undefined\n"
              "(x=1, y=2, w=3, h=4)\n"
              "[]\n");
}

TEST(ClipEffectsScript, OlderMoviesKeepTheNamesAsVariables)
{
    EXPECT_EQ(runSource(R"(
this.createEmptyMovieClip("mc", 1);
mc.filters = 5; mc.blendMode = "x"; mc.transform = 1;
trace(mc.filters + " " + mc.blendMode + " " + mc.transform);
)",
                        7),
              "5 x 1\n");
}

TEST(ClipEffectsScript, QualityIsKept)
{
    EXPECT_EQ(runSource(R"(
trace(_quality + " " + _highquality);
_quality = "low"; trace(_quality + " " + _highquality);
_quality = "bogus"; trace(_quality);
_highquality = 2; trace(_quality);
toggleHighQuality(); trace(_quality);
toggleHighQuality(); trace(_quality);
)"),
              "HIGH 1\nLOW 0\nLOW\nBEST\nLOW\nHIGH\n");
}

// --- pixels ---------------------------------------------------------------------

RasterCanvas render(std::string_view source, std::u16string_view quality = u"HIGH")
{
    MoviePlayer player;
    EXPECT_TRUE(player.setQuality(quality));
    EXPECT_TRUE(player.load(actionscript::compileMovie(source, 8)));
    player.setBackgroundColor(0xFFFFFF);
    player.setViewport(60, 30);
    player.setScaleMode(ScaleMode::NoScale);
    player.setAlign(AlignLeft | AlignTop);
    RasterCanvas canvas(60, 30);
    player.render(canvas);
    return canvas;
}

void expectNear(Argb actual, Argb expected, const char* where)
{
    for (int shift : {24, 16, 8, 0})
        EXPECT_LE(std::abs(int((actual >> shift) & 0xFF) - int((expected >> shift) & 0xFF)), 2)
            << where << ": " << std::hex << actual << " vs " << expected;
}

constexpr std::string_view kSquare = R"(
function square(mc, colour, x0, y0, x1, y1) {
    mc.beginFill(colour); mc.moveTo(x0, y0); mc.lineTo(x1, y0); mc.lineTo(x1, y1); mc.lineTo(x0, y1); mc.endFill();
}
)";

TEST(ClipEffectsDrawing, ScriptFiltersBlendModesAndBackgroundsAreDrawn)
{
    std::string source(kSquare);
    source += R"(
// A red square with a hard blue shadow 6 pixels to its right.
this.createEmptyMovieClip("shadowed", 1);
square(shadowed, 0xFF0000, 4, 4, 14, 14);
shadowed.filters = [new flash.filters.DropShadowFilter(6, 0, 0x0000FF, 1, 0, 0)];
// Magenta multiplied over green gives black; over white it stays magenta.
this.createEmptyMovieClip("under", 2);
square(under, 0x00FF00, 30, 0, 40, 30);
this.createEmptyMovieClip("over", 3);
square(over, 0xFF00FF, 35, 0, 45, 30);
over.blendMode = "multiply";
// A diagonal line whose bounding box is filled grey below it.
this.createEmptyMovieClip("backed", 4);
backed.lineStyle(1, 0x000000);
backed.moveTo(48, 4); backed.lineTo(58, 26);
backed.opaqueBackground = 0x808080;
)";
    RasterCanvas c = render(source);
    const PixelBuffer& p = c.pixels();
    expectNear(p.at(9, 9), 0xFFFF0000, "the square");
    expectNear(p.at(17, 9), 0xFF0000FF, "its shadow");
    expectNear(p.at(22, 9), 0xFFFFFFFF, "beyond the shadow");
    expectNear(p.at(9, 2), 0xFFFFFFFF, "above the square");
    expectNear(p.at(32, 15), 0xFF00FF00, "green alone");
    expectNear(p.at(37, 15), 0xFF000000, "magenta times green");
    expectNear(p.at(43, 15), 0xFFFF00FF, "magenta times white");
    expectNear(p.at(56, 8), 0xFF808080, "the background beside the line");
    expectNear(p.at(46, 15), 0xFFFFFFFF, "outside the line's box");
}

TEST(ClipEffectsDrawing, ClearedFiltersDrawThePlainClip)
{
    std::string source(kSquare);
    source += R"(
this.createEmptyMovieClip("mc", 1);
square(mc, 0xFF0000, 4, 4, 14, 14);
mc.filters = [new flash.filters.GlowFilter(0x0000FF, 1, 8, 8, 10)];
mc.filters = [];
)";
    RasterCanvas c = render(source);
    expectNear(c.pixels().at(9, 9), 0xFFFF0000, "the square");
    expectNear(c.pixels().at(16, 9), 0xFFFFFFFF, "no glow");
}

// A map of red 0 moves every pixel it covers by (0 - 128) * 10 / 256 = -5:
// each takes the pixel five to its left, so the square seems to move five
// pixels right; what finds nothing there takes the mode's transparent colour.
TEST(ClipEffectsDrawing, DisplacementMapsMoveTheClipsPixels)
{
    std::string source(kSquare);
    source += R"(
this.createEmptyMovieClip("mc", 1);
square(mc, 0xFF0000, 10, 10, 20, 20);
var map = new flash.display.BitmapData(20, 20, false, 0x000000);
mc.filters = [new flash.filters.DisplacementMapFilter(map, new flash.geom.Point(0, 0), 1, 1, 10, 0, "color", 0, 0)];
)";
    RasterCanvas c = render(source);
    const PixelBuffer& p = c.pixels();
    expectNear(p.at(12, 15), 0xFFFFFFFF, "left of the moved square");
    expectNear(p.at(14, 15), 0xFFFFFFFF, "still left of it");
    expectNear(p.at(16, 15), 0xFFFF0000, "the moved square");
    expectNear(p.at(19, 15), 0xFFFF0000, "the moved square further on");
}

// A 10 x 10 black square whose left and right edges fall a quarter pixel
// into their columns: anti-aliased those columns are three quarters black;
// at LOW quality they are painted whole, set by the host or by the movie.
TEST(ClipEffectsDrawing, LowQualityDrawsWithoutAntiAliasing)
{
    std::string source(kSquare);
    source += R"(
this.createEmptyMovieClip("mc", 1);
square(mc, 0x000000, 4.25, 4, 13.75, 14);
)";
    RasterCanvas high = render(source);
    expectNear(high.pixels().at(4, 9), 0xFF404040, "three quarters covered");
    expectNear(high.pixels().at(13, 9), 0xFF404040, "three quarters covered on the right");
    RasterCanvas low = render(source, u"low");
    expectNear(low.pixels().at(4, 9), 0xFF000000, "painted whole");
    expectNear(low.pixels().at(13, 9), 0xFF000000, "painted whole on the right");
    expectNear(low.pixels().at(3, 9), 0xFFFFFFFF, "outside");
    RasterCanvas scripted = render(source + "_quality = \"LOW\";\n");
    expectNear(scripted.pixels().at(4, 9), 0xFF000000, "LOW set by the movie");
}

TEST(ClipEffectsDrawing, QualityIsOneSettingWithTheMovies)
{
    MoviePlayer player;
    std::vector<std::u16string> traces;
    player.setTraceHandler([&](const std::u16string& text) { traces.push_back(text); });
    EXPECT_TRUE(player.setQuality(u"best"));
    EXPECT_FALSE(player.setQuality(u"ultra"));
    EXPECT_EQ(player.quality(), u"BEST");
    ASSERT_TRUE(player.load(actionscript::compileMovie("trace(_quality + \" \" + _highquality); _quality = \"medium\";", 8)));
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_EQ(traces[0], u"BEST 2");
    EXPECT_EQ(player.quality(), u"MEDIUM") << "the movie's change is the host's";
    ASSERT_TRUE(player.load(actionscript::compileMovie("trace(_quality);", 8)));
    EXPECT_EQ(traces.back(), u"BEST") << "the next movie starts at the host's setting";
}

// A 30 x 30 red square with a blue top left and a green bottom right corner
// of 10 x 10, its grid at 10 and 20, drawn twice as wide: with the grid the
// corners stay 10 wide at each end of the 60 and the red stretches between.
TEST(ClipEffectsDrawing, Scale9GridKeepsTheCornersOfADrawing)
{
    std::string source(kSquare);
    source += R"(
this.createEmptyMovieClip("mc", 1);
square(mc, 0xFF0000, 0, 0, 30, 30);
square(mc, 0x0000FF, 0, 0, 10, 10);
square(mc, 0x00FF00, 20, 20, 30, 30);
mc._xscale = 200;
mc.scale9Grid = new flash.geom.Rectangle(10, 10, 10, 10);
)";
    RasterCanvas c = render(source);
    const PixelBuffer& p = c.pixels();
    expectNear(p.at(5, 5), 0xFF0000FF, "the top left corner");
    expectNear(p.at(15, 5), 0xFFFF0000, "past the corner, unstretched");
    expectNear(p.at(45, 25), 0xFFFF0000, "before the bottom right corner");
    expectNear(p.at(55, 25), 0xFF00FF00, "the bottom right corner");
    expectNear(p.at(30, 15), 0xFFFF0000, "the stretched middle");
    RasterCanvas plain = render(source + "mc.scale9Grid = undefined;\n");
    expectNear(plain.pixels().at(15, 5), 0xFF0000FF, "without the grid the corner stretches");
    expectNear(plain.pixels().at(45, 25), 0xFF00FF00, "at both ends");
}

} // namespace
} // namespace lumbra::movie::test
