// Text fields drawn through the memory canvas: embedded glyphs placed by the
// field's layout (2-pixel gutter, ascent from the font), backgrounds and
// borders. Fonts and fields are assembled by hand; pixels are reasoned out
// from the layout rules.
#include "control/movie/MoviePlayer.h"
#include "control/movie/RasterCanvas.h"
#include "control/movie/TagCodes.h"
#include "tests/draw/TagAssembly.h"

#include <gtest/gtest.h>

namespace lumbra::movie {
namespace {

using namespace test;

// A 40 x 20 pixel movie of the tags `build` writes, drawn once.
RasterCanvas drawn(const std::function<void(TimelineWriter&)>& build)
{
    MovieWriter writer(40 * 20, 20 * 20, 12, 8);
    build(writer.root());
    writer.root().showFrame();
    MoviePlayer player;
    EXPECT_TRUE(player.load(writer.finish(false))) << player.error();
    player.setViewport(40, 20);
    RasterCanvas canvas(40, 20);
    player.render(canvas);
    return canvas;
}

// DefineFont2 "Sq" with one glyph for 'A': the square 0..512 x -512..0 of the
// 1024-unit em, advancing 640 units; ascent 768, descent 256.
void squareFont(TimelineWriter& t)
{
    BitWriter glyph;
    glyph.ub(1, 4), glyph.ub(0, 4);
    glyph.ub(0, 1), glyph.ub(0x04 | 0x01, 5), glyph.ub(12, 5), glyph.sb(0, 12), glyph.sb(-512, 12), glyph.ub(1, 1);
    auto line = [&glyph](std::int32_t d, bool vertical) {
        glyph.ub(1, 1), glyph.ub(1, 1), glyph.ub(12 - 2, 4), glyph.ub(0, 1), glyph.ub(vertical, 1), glyph.sb(d, 12);
    };
    line(512, false), line(512, true), line(-512, false), line(-512, true);
    glyph.ub(0, 6);
    Bytes shape = glyph.take();

    BitWriter w;
    w.u16(1);
    w.u8(0x80 | 0x04); // layout, wide codes
    w.u8(0);
    w.u8(2), w.u8('S'), w.u8('q');
    w.u16(1);
    w.u16(4), w.u16(std::uint16_t(4 + shape.size())); // the glyph's offset, the code table's
    for (std::uint8_t b : shape)
        w.u8(b);
    w.u16('A');
    w.u16(768), w.u16(256), w.u16(0); // ascent, descent, leading
    w.u16(640);
    w.rect({0, 0, 0, 0});
    w.u16(0); // no kerning
    t.tag(tag::DefineFont2, w.take());
}

// DefineEditText 2 over the whole stage in red 10-pixel text.
void field(TimelineWriter& t, unsigned flags, const char* text, bool withFont)
{
    BitWriter w;
    w.u16(2);
    w.rect({0, 0, 800, 400});
    w.u16(std::uint16_t(flags | 0x0080 | 0x0004 | (withFont ? 0x0001 : 0))); // text, colour, font
    if (withFont)
        w.u16(1), w.u16(200);
    w.rgba(0xFFFF0000);
    w.u8(0); // no variable
    for (const char* c = text; *c; ++c)
        w.u8(std::uint8_t(*c));
    w.u8(0);
    t.tag(tag::DefineEditText, w.take());
    place(t, 2, 2);
}

TEST(TextFieldDrawing, EmbeddedGlyphsFollowTheLayout)
{
    RasterCanvas c = drawn([](TimelineWriter& t) {
        squareFont(t);
        field(t, 0x0100 | 0x0008, "AA", true); // outlines, read-only
    });
    // Baseline at 2 + 7.5 px: the squares stand 5 px high on it, the first
    // from x = 2, the second 6.25 px further.
    EXPECT_EQ(c.pixels().at(4, 7), 0xFFFF0000u);
    EXPECT_EQ(c.pixels().at(10, 7), 0xFFFF0000u);
    EXPECT_EQ(c.pixels().at(7, 7) & 0xFFFFFF, 0xFFFFFFu) << "the gap between the glyphs";
    EXPECT_EQ(c.pixels().at(15, 7), 0xFFFFFFFFu) << "no third glyph";
    EXPECT_EQ(c.pixels().at(4, 3), 0xFFFFFFFFu) << "above the squares";
    EXPECT_EQ(c.pixels().at(4, 10), 0xFFFFFFFFu) << "below the baseline";
}

TEST(TextFieldDrawing, BorderFramesAWhiteBackground)
{
    RasterCanvas c = drawn([](TimelineWriter& t) {
        solidShape(t, 1, {0, 0, 40, 20}, 0xFF0000FF);
        place(t, 1, 1);
        field(t, 0x0800, "", false);
    });
    for (auto [x, y] : {std::pair{0, 0}, {20, 0}, {39, 10}, {20, 19}, {0, 10}})
        EXPECT_EQ(c.pixels().at(x, y), 0xFF000000u) << x << "," << y;
    EXPECT_EQ(c.pixels().at(20, 10), 0xFFFFFFFFu) << "the background hides the blue below";
    EXPECT_EQ(c.pixels().at(1, 1), 0xFFFFFFFFu) << "the frame is one pixel";
}

TEST(TextFieldDrawing, PlainFieldsHaveNoBackground)
{
    RasterCanvas c = drawn([](TimelineWriter& t) {
        solidShape(t, 1, {0, 0, 40, 20}, 0xFF0000FF);
        place(t, 1, 1);
        field(t, 0, "", false);
    });
    EXPECT_EQ(c.pixels().at(20, 10), 0xFF0000FFu);
    EXPECT_EQ(c.pixels().at(0, 0), 0xFF0000FFu);
}

} // namespace
} // namespace lumbra::movie
