// Whole movies drawn through the memory canvas. The tags are assembled by hand
// from the format's bit layouts, including forms our movie writer never emits
// (colour transforms with only one kind of term, gradients, pictures, glyphs,
// clip layers, filters), and the pixels are reasoned out from the rules.
#include "control/movie/Movie.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/Playback.h"
#include "control/movie/Renderer.h"
#include "control/movie/MovieWriter.h"
#include "control/movie/RasterCanvas.h"
#include "control/movie/TagCodes.h"
#include "tests/draw/TagAssembly.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

namespace lumbra::movie {
namespace {

using namespace test;
constexpr double kPx = 20; // twips per pixel

struct Drawn {
    RasterCanvas canvas{40, 20};
    Argb at(int x, int y) const { return canvas.pixels().at(x, y); }
};

// A 40 x 20 pixel movie of the tags that `build` writes, drawn once.
std::unique_ptr<Drawn> draw(const std::function<void(MovieWriter&, TimelineWriter&)>& build)
{
    MovieWriter writer(40 * kPx, 20 * kPx, 12, 8);
    build(writer, writer.root());
    writer.root().showFrame();
    MoviePlayer player;
    EXPECT_TRUE(player.load(writer.finish(false))) << player.error();
    player.setViewport(40, 20);
    auto drawn = std::make_unique<Drawn>();
    player.render(drawn->canvas);
    return drawn;
}

TEST(MovieDrawing, TheFirstBackgroundColourStays)
{
    auto d = draw([](MovieWriter&, TimelineWriter& t) {
        t.tag(tag::SetBackgroundColor, Bytes{0x10, 0x20, 0x30});
        t.tag(tag::SetBackgroundColor, Bytes{0xFF, 0x00, 0x00});
    });
    EXPECT_EQ(d->at(5, 5), 0xFF102030u);
}

TEST(MovieDrawing, ColourTransformsWithOnlyAddOrOnlyMultiplyTerms)
{
    auto d = draw([](MovieWriter&, TimelineWriter& t) {
        solidShape(t, 1, {0, 0, 10, 20}, 0xFF800000);
        solidShape(t, 2, {10, 0, 20, 20}, 0xFF800000);
        solidShape(t, 3, {20, 0, 30, 20}, 0xFF800000);
        // Add only: +0x40 green, -0x80 alpha (CXFORMWITHALPHA, 9-bit terms).
        place(t, 1, 1, [](BitWriter& w) {
            w.ub(1, 1);
            w.ub(0, 1);
            w.ub(9, 4);
            w.sb(0, 9), w.sb(0x40, 9), w.sb(0, 9), w.sb(-0x80, 9);
        });
        // Multiply only: red x 0.5 (128 / 256), alpha x 1.
        place(t, 2, 2, [](BitWriter& w) {
            w.ub(0, 1);
            w.ub(1, 1);
            w.ub(10, 4);
            w.sb(128, 10), w.sb(256, 10), w.sb(256, 10), w.sb(256, 10);
        });
        // Both: red x 0 + 0x20, blue + 0x60.
        place(t, 3, 3, [](BitWriter& w) {
            w.ub(1, 1);
            w.ub(1, 1);
            w.ub(10, 4);
            w.sb(0, 10), w.sb(256, 10), w.sb(256, 10), w.sb(256, 10);
            w.sb(0x20, 10), w.sb(0, 10), w.sb(0x60, 10), w.sb(0, 10);
        });
    });
    // (0x80, 0x40, 0) at alpha 0x7F over white: 0x80*0x7F/255 + 0x80 = 0xC0 red.
    Argb added = d->at(5, 5);
    EXPECT_NEAR(int(redOf(added)), 0xC0, 1);
    EXPECT_NEAR(int(greenOf(added)), 0xA0, 1);
    EXPECT_NEAR(int(blueOf(added)), 0x80, 1);
    EXPECT_EQ(d->at(15, 5), 0xFF400000u);
    EXPECT_EQ(d->at(25, 5), 0xFF200060u);
}

TEST(MovieDrawing, ClipLayersMaskTheDepthsTheyName)
{
    auto d = draw([](MovieWriter&, TimelineWriter& t) {
        solidShape(t, 1, {0, 0, 20, 20}, 0xFF00FF00); // the mask: left half
        solidShape(t, 2, {0, 0, 40, 10}, 0xFFFF0000); // masked
        solidShape(t, 3, {0, 10, 40, 20}, 0xFF0000FF); // above the mask's depths
        place(t, 1, 1, {}, 2);
        place(t, 2, 2);
        place(t, 3, 3);
    });
    EXPECT_EQ(d->at(5, 5), 0xFFFF0000u);
    EXPECT_EQ(d->at(30, 5), 0xFFFFFFFFu) << "outside the mask";
    EXPECT_EQ(d->at(30, 15), 0xFF0000FFu) << "past the clip depth";
    EXPECT_EQ(d->at(5, 15), 0xFF0000FFu) << "the mask itself is not drawn";
}

TEST(MovieDrawing, LinearGradientAcrossAShape)
{
    auto d = draw([](MovieWriter&, TimelineWriter& t) {
        t.tag(tag::DefineShape3, shapeBody(1, {0, 0, 40, 20}, [](BitWriter& w) {
            w.u8(0x10);
            // The gradient square (32768 units) scaled to 40 px = 800 twips.
            w.matrix({800.0 / 32768, 0, 0, 800.0 / 32768, 400, 200});
            w.u8(2);
            w.u8(0), w.rgba(0xFF000000);
            w.u8(255), w.rgba(0xFFFFFFFF);
        }));
        place(t, 1, 1);
    });
    EXPECT_LE(redOf(d->at(0, 10)), 8u);
    EXPECT_NEAR(int(redOf(d->at(19, 10))), 125, 4) << "the middle: half way";
    EXPECT_GE(redOf(d->at(39, 10)), 247u);
}

TEST(MovieDrawing, LosslessPictureAsAClippedFill)
{
    auto d = draw([](MovieWriter&, TimelineWriter& t) {
        // 2 x 1 pixels, 24-bit: green then blue.
        Bytes raw = {0, 0, 255, 0, 0, 0, 0, 255};
        uLongf size = compressBound(uLong(raw.size()));
        Bytes packed(size);
        compress(packed.data(), &size, raw.data(), uLong(raw.size()));
        packed.resize(size);
        Bytes body = {7, 0, 5, 2, 0, 1, 0};
        body.insert(body.end(), packed.begin(), packed.end());
        t.tag(tag::DefineBitsLossless, body);
        t.tag(tag::DefineShape3, shapeBody(1, {0, 0, 40, 20}, [](BitWriter& w) {
            w.u8(0x43); // clipped, not smoothed
            w.u16(7);
            w.matrix({20 * 10, 0, 0, 20 * 10, 0, 0}); // a picture pixel is 10 x 10 screen pixels
        }));
        place(t, 1, 1);
    });
    EXPECT_EQ(d->at(5, 5), 0xFF00FF00u);
    EXPECT_EQ(d->at(15, 5), 0xFF0000FFu);
    EXPECT_EQ(d->at(35, 15), 0xFF0000FFu) << "clipped: the edge extends";
}

TEST(MovieDrawing, StaticTextFromEmbeddedGlyphs)
{
    auto d = draw([](MovieWriter&, TimelineWriter& t) {
        // DefineFont with one glyph: the square 0..512 x -512..0 of the em.
        BitWriter glyph;
        glyph.ub(1, 4), glyph.ub(0, 4);
        glyph.ub(0, 1), glyph.ub(0x04 | 0x01, 5), glyph.ub(12, 5), glyph.sb(0, 12), glyph.sb(-512, 12), glyph.ub(1, 1);
        auto line = [&glyph](std::int32_t d, bool vertical) {
            glyph.ub(1, 1), glyph.ub(1, 1), glyph.ub(12 - 2, 4), glyph.ub(0, 1), glyph.ub(vertical, 1), glyph.sb(d, 12);
        };
        line(512, false), line(512, true), line(-512, false), line(-512, true);
        glyph.ub(0, 6);
        Bytes glyphBytes = glyph.take();
        Bytes font = {1, 0, 2, 0}; // id, one offset (2)
        font.insert(font.end(), glyphBytes.begin(), glyphBytes.end());
        t.tag(tag::DefineFont, font);
        // DefineText2: two glyphs 200 twips high (so 5 x 5 pixels), red, at
        // baseline y = 300 twips, the second 300 twips further.
        BitWriter text;
        text.u16(2);
        text.rect({0, 0, 800, 400});
        text.matrix({});
        text.u8(1), text.u8(10); // glyph and advance bits
        text.u8(0x80 | 0x08 | 0x04 | 0x02 | 0x01);
        text.u16(1);
        text.rgba(0xFFFF0000);
        text.u16(0), text.u16(300); // x, y
        text.u16(200);
        text.u8(2);
        text.ub(0, 1), text.sb(300, 10);
        text.ub(0, 1), text.sb(300, 10);
        text.align();
        text.u8(0);
        t.tag(tag::DefineText2, text.take());
        place(t, 2, 1);
    });
    EXPECT_EQ(d->at(2, 12), 0xFFFF0000u) << "first glyph: x 0..5, y 10..15";
    EXPECT_EQ(d->at(17, 12), 0xFFFF0000u) << "second: x 15..20";
    EXPECT_EQ(d->at(10, 12), 0xFFFFFFFFu);
    EXPECT_EQ(d->at(2, 8), 0xFFFFFFFFu);
}

TEST(MovieDrawing, DropShadowFromPlaceObject3)
{
    auto d = draw([](MovieWriter&, TimelineWriter& t) {
        solidShape(t, 1, {5, 5, 15, 15}, 0xFFFF0000);
        BitWriter w;
        w.u8(0x02 | 0x04);
        w.u8(0x01); // filters
        w.u16(1);
        w.u16(1);
        w.matrix({});
        w.u8(1); // one filter: a drop shadow, unblurred, 5 px at 0 degrees
        w.u8(0);
        w.rgba(0xFF000000);
        w.u32(1 << 16), w.u32(1 << 16); // blur 1 x 1: none
        w.u32(0), w.u32(5 << 16);      // angle 0, distance 5
        w.u16(0x0100);                  // strength 1
        w.u8(0x20 | 1);                 // composite the source, one pass
        t.tag(tag::PlaceObject3, w.take());
    });
    EXPECT_EQ(d->at(10, 10), 0xFFFF0000u) << "the object over its shadow";
    EXPECT_EQ(d->at(17, 10), 0xFF000000u) << "the shadow sticks out to the right";
    EXPECT_EQ(d->at(10, 17), 0xFFFFFFFFu) << "not downwards at 0 degrees";
}

TEST(MovieDrawing, MorphShapesAtTheirRatio)
{
    auto d = draw([](MovieWriter&, TimelineWriter& t) {
        // From a red rectangle x 0..10 to a blue one x 20..40, all 20 high.
        Bytes start = rectangleRecords({0, 0, 10, 20}), end = rectangleRecords({20, 0, 40, 20});
        BitWriter styles;
        styles.u8(1);
        styles.u8(0x00);
        styles.rgba(0xFFFF0000);
        styles.rgba(0xFF0000FF);
        styles.u8(0); // no lines
        Bytes styleBytes = styles.take();
        BitWriter w;
        w.u16(1);
        w.rect({0, 0, 10 * kPx, 20 * kPx});
        w.rect({20 * kPx, 0, 40 * kPx, 20 * kPx});
        w.u32(std::uint32_t(styleBytes.size() + start.size()));
        w.bytes(styleBytes);
        w.bytes(start);
        w.bytes(end);
        t.tag(tag::DefineMorphShape, w.take());
        BitWriter p;
        p.u8(0x02 | 0x04 | 0x10);
        p.u16(1);
        p.u16(1);
        p.matrix({});
        p.u16(32768); // half way
        t.tag(tag::PlaceObject2, p.take());
    });
    // Half way: x 10..25 in the mean colour.
    Argb mid = d->at(15, 10);
    EXPECT_NEAR(int(redOf(mid)), 128, 2);
    EXPECT_NEAR(int(blueOf(mid)), 128, 2);
    EXPECT_EQ(greenOf(mid), 0u);
    EXPECT_EQ(d->at(24, 10), mid);
    EXPECT_EQ(d->at(5, 10), 0xFFFFFFFFu);
    EXPECT_EQ(d->at(26, 10), 0xFFFFFFFFu);
}

TEST(MovieDrawing, SetMaskLimitsAClipAndHidesTheMask)
{
    MovieWriter writer(40 * kPx, 20 * kPx, 12, 8);
    solidShape(writer.root(), 1, {0, 0, 10, 20}, 0xFF00FF00);
    solidShape(writer.root(), 2, {0, 0, 40, 20}, 0xFFFF0000);
    place(writer.root(), 1, 1);
    place(writer.root(), 2, 2);
    writer.root().showFrame();
    auto movie = std::make_shared<const Movie>(parseMovie(writer.finish(false)));
    Playback playback(movie, HostHooks{});
    playback.start(false);
    auto& children = playback.root().children();
    ASSERT_EQ(children.size(), 2u);
    // By stacking order: the file's depths 1 and 2.
    auto green = children.begin()->second, red = std::next(children.begin())->second;
    auto draw = [&] {
        RasterCanvas canvas(40, 20);
        canvas.clear(0xFFFFFFFF);
        renderTree(playback, Matrix::scaling(1 / kPx, 1 / kPx), canvas);
        return canvas.pixels();
    };
    setMask(*red, green);
    PixelBuffer masked = draw();
    EXPECT_EQ(masked.at(5, 10), 0xFFFF0000u) << "inside the mask";
    EXPECT_EQ(masked.at(20, 10), 0xFFFFFFFFu) << "outside it";
    setMask(*red, nullptr);
    PixelBuffer plain = draw();
    EXPECT_EQ(plain.at(20, 10), 0xFFFF0000u);
    EXPECT_EQ(plain.at(5, 10), 0xFFFF0000u) << "the former mask is drawn again, under the red";
}

} // namespace
} // namespace lumbra::movie
