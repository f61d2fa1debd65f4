// Reading movie files: header, compression, tag stream and damaged input.
#include "MovieTestSupport.h"

#include "control/movie/BitReader.h"
#include "control/movie/BitWriter.h"
#include "control/movie/Movie.h"
#include "control/movie/MovieWriter.h"
#include "control/movie/ShapeParser.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

std::vector<std::uint8_t> smallMovie(bool compress)
{
    MovieWriter writer(550 * 20, 400 * 20, 24);
    writer.setBackground(0xFF336699);
    writer.root().label(u"intro");
    writer.root().showFrame();
    writer.root().label(u"main");
    writer.root().showFrame();
    writer.root().showFrame();
    return writer.finish(compress);
}

TEST(MovieFile, HeaderOfPlainAndCompressedFiles)
{
    for (bool compress : {false, true}) {
        MoviePlayer player;
        auto bytes = smallMovie(compress);
        ASSERT_TRUE(player.load(bytes)) << player.error();
        const MovieInfo& info = player.info();
        EXPECT_EQ(info.compressed, compress);
        EXPECT_EQ(info.version, 6);
        EXPECT_DOUBLE_EQ(info.frame.width(), 11000);
        EXPECT_DOUBLE_EQ(info.frame.height(), 8000);
        EXPECT_DOUBLE_EQ(info.frameRate, 24);
        EXPECT_EQ(info.frameCount, 3);
        EXPECT_EQ(player.totalFrames(), 3);
        EXPECT_EQ(player.backgroundColor(), 0x336699);
        EXPECT_EQ(info.fileLength, compress ? smallMovie(false).size() : bytes.size());
    }
}

TEST(MovieFile, RefusesWhatIsNotAMovie)
{
    MoviePlayer player;
    const std::vector<std::uint8_t> cases[] = {
        {},
        {'F', 'W', 'S'},
        {'G', 'W', 'S', 6, 8, 0, 0, 0},
        {'F', 'W', 'S', 6, 8, 0, 0, 0},                       // no frame rectangle
        {'C', 'W', 'S', 6, 100, 0, 0, 0, 1, 2, 3, 4, 5, 6},   // not a zlib stream
    };
    for (const auto& bytes : cases) {
        EXPECT_FALSE(player.load(bytes));
        EXPECT_FALSE(player.error().empty());
        EXPECT_FALSE(player.isLoaded());
        EXPECT_EQ(player.totalFrames(), 0);
        EXPECT_FALSE(player.getVariable(u"x"));
    }
}

TEST(MovieFile, ZeroFrameRateGetsAUsableRate)
{
    auto bytes = smallMovie(false);
    // The rate follows the 5-byte frame rectangle of this movie (15 bits each).
    BitReader in(std::span<const std::uint8_t>(bytes).subspan(8));
    in.rect();
    std::size_t at = 8 + in.position();
    bytes[at] = bytes[at + 1] = 0;
    MoviePlayer player;
    ASSERT_TRUE(player.load(bytes));
    EXPECT_GT(player.info().frameRate, 0);
}

TEST(MovieFile, TruncatedFilePlaysTheFramesItHolds)
{
    auto full = smallMovie(false);
    for (std::size_t cut = 8 + 9 + 4; cut < full.size(); ++cut) { // from just after the header
        std::vector<std::uint8_t> part(full.begin(), full.begin() + std::ptrdiff_t(cut));
        MoviePlayer player;
        ASSERT_TRUE(player.load(part)) << cut;
        EXPECT_GE(player.totalFrames(), 1);
        EXPECT_LE(player.totalFrames(), 3);
    }
}

TEST(MovieFile, UnknownAndDamagedTagsAreSkipped)
{
    MovieWriter writer(2000, 2000, 12);
    const std::uint8_t junk[] = {1, 2, 3, 4, 5};
    writer.root().tag(777, junk);
    writer.root().tag(2, junk); // a shape cut short: left out
    writer.root().label(u"after");
    writer.root().showFrame();
    writer.root().showFrame();
    auto bytes = writer.finish(false);
    MoviePlayer player;
    ASSERT_TRUE(player.load(bytes, false));
    EXPECT_EQ(player.totalFrames(), 2);
    EXPECT_TRUE(player.gotoLabel(u"after"));
}

TEST(MovieFile, TagLengthPastTheEndEndsTheStream)
{
    auto bytes = smallMovie(false);
    // Replace the End tag by a long-form header claiming 1 GB.
    bytes.resize(bytes.size() - 2);
    for (std::uint8_t b : {0x7F, 0x00, 0x00, 0x00, 0x00, 0x40})
        bytes.push_back(b);
    MoviePlayer player;
    ASSERT_TRUE(player.load(bytes));
    EXPECT_EQ(player.totalFrames(), 3);
}

TEST(BitFields, SignedFieldsAndWidths)
{
    BitWriter w;
    w.sb(-5, 4);
    w.ub(3, 2);
    w.sb(-1, 1);
    w.ub(0xABCDEF12u, 32);
    auto bytes = w.take();
    BitReader r(bytes);
    EXPECT_EQ(r.sb(4), -5);
    EXPECT_EQ(r.ub(2), 3u);
    EXPECT_EQ(r.sb(1), -1);
    EXPECT_EQ(r.ub(32), 0xABCDEF12u);
    EXPECT_THROW(r.ub(8), FormatError);
    EXPECT_THROW(BitReader(bytes).ub(33), FormatError);
}

TEST(BitFields, MatrixRoundTrip)
{
    Matrix m{1.5, 0.25, -0.25, 2, -300, 4500};
    BitWriter w;
    w.matrix(m);
    auto bytes = w.take();
    BitReader r(bytes);
    Matrix back = r.matrix();
    EXPECT_NEAR(back.a, 1.5, 1e-4);
    EXPECT_NEAR(back.b, 0.25, 1e-4);
    EXPECT_NEAR(back.c, -0.25, 1e-4);
    EXPECT_NEAR(back.d, 2, 1e-4);
    EXPECT_EQ(back.tx, -300);
    EXPECT_EQ(back.ty, 4500);
}

// The shape tag body of a writer's movie, after its id.
ShapeDef parseWrittenShape(const std::vector<Outline>& outlines, const ShapeStyle& style)
{
    MovieWriter writer(2000, 2000, 12);
    std::uint16_t id = writer.defineShape(outlines, style);
    Movie movie = parseMovie(writer.finish(false));
    return std::get<ShapeDef>(*movie.find(id));
}

TEST(Shapes, RectangleBecomesOneClosedContour)
{
    ShapeStyle style;
    style.fill = 0xFFFF0000;
    style.lineWidth = 40;
    style.lineColor = 0xFF0000FF;
    ShapeDef shape = parseWrittenShape({Outline::rectangle({100, 200, 300, 600})}, style);
    ASSERT_EQ(shape.fills.size(), 1u);
    EXPECT_EQ(shape.fills[0].fill.color, 0xFFFF0000u);
    ASSERT_EQ(shape.fillPaths[0].size(), 1u);
    EXPECT_EQ(shape.fillPaths[0][0].size(), 4u);
    Rect r = boundsOf(shape.fillPaths[0]);
    EXPECT_EQ(r.xMin, 100);
    EXPECT_EQ(r.yMin, 200);
    EXPECT_EQ(r.xMax, 300);
    EXPECT_EQ(r.yMax, 600);
    ASSERT_EQ(shape.lines.size(), 1u);
    EXPECT_EQ(shape.lines[0].width, 40);
    // The outline is one run that returns to its start.
    ASSERT_EQ(shape.linePaths[0].size(), 1u);
    EXPECT_EQ(shape.linePaths[0][0].size(), 5u);
    EXPECT_EQ(shape.bounds.xMin, 80);
}

TEST(Shapes, CurvesAreFlattenedOntoTheEllipse)
{
    ShapeStyle style;
    style.fill = 0xFF00FF00;
    ShapeDef shape = parseWrittenShape({Outline::ellipse({1000, 1000}, 400, 200)}, style);
    ASSERT_EQ(shape.fillPaths[0].size(), 1u);
    const Contour& c = shape.fillPaths[0][0];
    EXPECT_GE(c.size(), 16u);
    for (Point p : c) {
        double e = (p.x - 1000) * (p.x - 1000) / (400.0 * 400) + (p.y - 1000) * (p.y - 1000) / (200.0 * 200);
        EXPECT_NEAR(e, 1.0, 0.05);
    }
}

TEST(Shapes, HolesFromOppositeFillSides)
{
    // A ring: outer square with fill 1, inner square drawn with fill 0 on the
    // same style, as authoring tools write holes.
    BitWriter body;
    body.rect({0, 0, 1000, 1000});
    body.u8(1);
    body.u8(0);
    body.rgba(0xFF000000);
    body.u8(0);
    body.ub(1, 4);
    body.ub(0, 4);
    auto move = [&](int x, int y, bool fill0) {
        body.ub(0, 1);
        body.ub(0b00111, 5); // fill 1, fill 0 and a move
        body.ub(12, 5);
        body.sb(x, 12);
        body.sb(y, 12);
        body.ub(fill0 ? 1 : 0, 1);
        body.ub(fill0 ? 0 : 1, 1);
    };
    auto line = [&](int dx, int dy) {
        body.ub(0b11, 2);
        body.ub(12 - 2, 4);
        body.ub(1, 1);
        body.sb(dx, 12);
        body.sb(dy, 12);
    };
    move(0, 0, false);
    line(1000, 0), line(0, 1000), line(-1000, 0), line(0, -1000);
    move(250, 250, true);
    line(500, 0), line(0, 500), line(-500, 0), line(0, -500);
    body.ub(0, 6);
    auto bytes = body.take();
    BitReader in(bytes);
    ShapeDef shape = parseShape(in, 3);
    ASSERT_EQ(shape.fillPaths[0].size(), 2u);
}

TEST(Shapes, StyleIndexOutOfRangeIsRefused)
{
    BitWriter body;
    body.rect({0, 0, 100, 100});
    body.u8(0); // no fills
    body.u8(0); // no lines
    body.ub(2, 4);
    body.ub(0, 4);
    body.ub(0, 1);
    body.ub(0b00100, 5); // fill style 1 := 3, which does not exist
    body.ub(3, 2);
    auto bytes = body.take();
    BitReader in(bytes);
    EXPECT_THROW(parseShape(in, 3), FormatError);
}

} // namespace
} // namespace lumbra::movie::test
