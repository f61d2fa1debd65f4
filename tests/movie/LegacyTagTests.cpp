// Tags and file versions the writer does not produce: the first versions of
// shapes, placement and buttons, gradients, and version-4 files.
#include "MovieTestSupport.h"

#include "control/movie/BitWriter.h"
#include "control/movie/Movie.h"
#include "control/movie/MovieWriter.h"
#include "control/movie/TagCodes.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

// A 100 x 100 pixel square at the origin as DefineShape (version 1) with a
// linear gradient from red to blue.
std::vector<std::uint8_t> gradientSquare(std::uint16_t id)
{
    BitWriter b;
    b.u16(id);
    b.rect({0, 0, 2000, 2000});
    b.u8(1);    // one fill
    b.u8(0x10); // linear gradient
    b.matrix({2000.0 / 32768, 0, 0, 2000.0 / 32768, 1000, 1000});
    b.u8(2);
    b.u8(0);
    b.rgb(0xFFFF0000);
    b.u8(255);
    b.rgb(0xFF0000FF);
    b.u8(0);    // no lines
    b.ub(1, 4);
    b.ub(0, 4);
    b.ub(0, 1);
    b.ub(0b00101, 5); // fill 1, move
    b.ub(1, 5);
    b.sb(0, 1);
    b.sb(0, 1);
    b.ub(1, 1);
    for (auto [dx, dy] : {std::pair{2000, 0}, {0, 2000}, {-2000, 0}, {0, -2000}}) {
        b.ub(0b11, 2);
        b.ub(13 - 2, 4);
        b.ub(1, 1);
        b.sb(dx, 13);
        b.sb(dy, 13);
    }
    b.ub(0, 6);
    return b.take();
}

std::vector<std::uint8_t> legacyMovie(int version, const ActionBytes& frameActions)
{
    MovieWriter writer(4000, 4000, 12, version);
    auto shape = gradientSquare(1);
    writer.root().tag(tag::DefineShape, shape);
    BitWriter place; // PlaceObject: id, depth, matrix
    place.u16(1);
    place.u16(3);
    place.matrix(Matrix::translation(200, 200));
    writer.root().tag(tag::PlaceObject, place.take());
    BitWriter button; // DefineButton: records, then release actions
    button.u16(2);
    button.u8(StateUp | StateHit);
    button.u16(1);
    button.u16(1);
    button.matrix({});
    button.u8(0);
    ActionBytes release = {0x07, 0x00}; // stop
    button.bytes(release);
    writer.root().tag(tag::DefineButton, button.take());
    BitWriter placeButton;
    placeButton.u16(2);
    placeButton.u16(4);
    placeButton.matrix(Matrix::translation(2000, 2000));
    writer.root().tag(tag::PlaceObject, placeButton.take());
    writer.root().actions(frameActions);
    writer.root().showFrame();
    BitWriter remove; // RemoveObject: id, depth
    remove.u16(1);
    remove.u16(3);
    writer.root().tag(tag::RemoveObject, remove.take());
    writer.root().showFrame();
    return writer.finish(false);
}

TEST(LegacyTags, GradientFillsCarryStopsAndTheirMean)
{
    MovieWriter writer(4000, 4000, 12);
    auto shape = gradientSquare(1);
    writer.root().tag(tag::DefineShape, shape);
    Movie movie = parseMovie(writer.finish(false));
    const auto& def = std::get<ShapeDef>(*movie.find(1));
    ASSERT_EQ(def.fills.size(), 1u);
    const Fill& fill = def.fills[0].fill;
    EXPECT_EQ(fill.kind, Fill::Kind::LinearGradient);
    ASSERT_EQ(fill.stops.size(), 2u);
    EXPECT_EQ(fill.stops[0].color, 0xFFFF0000u);
    EXPECT_DOUBLE_EQ(fill.stops[1].ratio, 1.0);
    EXPECT_EQ(fill.color, 0xFF800080u);
    // Gradient space -1..1 spans the square.
    Point left = fill.gradientToPixels.apply({-1, 0});
    Point right = fill.gradientToPixels.apply({1, 0});
    EXPECT_NEAR(left.x, 0, 0.5);
    EXPECT_NEAR(right.x, 2000, 0.5);
}

TEST(LegacyTags, FirstVersionPlacementButtonsAndRemoval)
{
    MoviePlayer player;
    auto bytes = legacyMovie(6, {0x00});
    ASSERT_TRUE(player.load(bytes));
    player.setViewport(200, 200);
    RecordingCanvas frame0;
    player.render(frame0);
    ASSERT_EQ(frame0.fills.size(), 2u); // the square and the button
    Rect square = boundsOf(frame0.fills[0].path);
    EXPECT_NEAR(square.xMin, 10, 1e-9);
    EXPECT_NEAR(square.xMax, 110, 1e-9);
    EXPECT_EQ(frame0.fills[0].fill.kind, Fill::Kind::LinearGradient);
    // The button's release action stops the movie.
    EXPECT_TRUE(player.isPlaying());
    player.mouseDown(150, 150);
    player.mouseUp(150, 150);
    EXPECT_FALSE(player.isPlaying());
    player.mouseMove(0, 0); // the button has no over state: away, it shows again
    player.gotoFrame(1);
    RecordingCanvas frame1;
    player.render(frame1);
    EXPECT_EQ(frame1.fills.size(), 1u);
}

TEST(LegacyTags, VersionFourTextAndComparisons)
{
    // r = "\xE9" (Windows-1252 e-acute); c = (1 == 1)
    ActionBytes actions = {0x96, 0x03, 0x00, 0x00, 'r', 0x00, 0x96, 0x03, 0x00, 0x00, 0xE9, 0x00, 0x1D,
                           0x96, 0x03, 0x00, 0x00, 'c', 0x00, 0x96, 0x03, 0x00, 0x00, '1', 0x00,
                           0x96, 0x02, 0x00, 0x00, 0x00, 0x0E, 0x1D, 0x00};
    // c = ("1" == ""): the empty text reads 0 before version 7.
    MoviePlayer player;
    auto bytes = legacyMovie(4, actions);
    ASSERT_TRUE(player.load(bytes));
    EXPECT_EQ(*player.getVariable(u"r"), u"\u00e9");
    EXPECT_EQ(*player.getVariable(u"c"), u"0"); // 1 == 0 gives the number 0, not false
}

} // namespace
} // namespace lumbra::movie::test
