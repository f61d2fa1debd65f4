// Rendering through a canvas: where shapes land for each scale mode, colour
// transforms, background, text runs.
#include "MovieTestSupport.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

constexpr const char* kScene = R"m(
movie 200 100 background #102030
shape box rect 0 0 40 20 fill #ff0000 line 2 #000000
text label 0 0 100 30 text "Hi" font "Arial" size 20 color #0000ff align center
frame
  place box depth 1 at 10 10
  place label depth 2 at 100 50
)m";

Rect firstFill(MoviePlayer& player)
{
    RecordingCanvas canvas;
    player.render(canvas);
    return canvas.fills.empty() ? Rect{} : boundsOf(canvas.fills[0].path);
}

void expectRect(const Rect& r, double x0, double y0, double x1, double y1)
{
    EXPECT_NEAR(r.xMin, x0, 1e-6);
    EXPECT_NEAR(r.yMin, y0, 1e-6);
    EXPECT_NEAR(r.xMax, x1, 1e-6);
    EXPECT_NEAR(r.yMax, y1, 1e-6);
}

TEST(Render, ShapesAtTheirPixelsOneToOne)
{
    TestPlayer t(kScene);
    t.player.setViewport(200, 100);
    RecordingCanvas canvas;
    t.player.render(canvas);
    EXPECT_EQ(canvas.cleared, 0xFF102030u);
    ASSERT_EQ(canvas.fills.size(), 1u);
    expectRect(boundsOf(canvas.fills[0].path), 10, 10, 50, 30);
    EXPECT_EQ(canvas.fills[0].fill.color, 0xFFFF0000u);
    ASSERT_EQ(canvas.strokes.size(), 1u);
    EXPECT_DOUBLE_EQ(canvas.strokes[0].second.width, 2);
    ASSERT_EQ(canvas.texts.size(), 1u);
    const TextRun& run = canvas.texts[0];
    EXPECT_EQ(run.text, u"Hi");
    EXPECT_EQ(run.font, u"Arial");
    EXPECT_DOUBLE_EQ(run.size, 20);
    EXPECT_EQ(run.color, 0xFF0000FFu);
    // Centred in the box less its 2-pixel gutters: "Hi" is 0.722 + 0.222 em wide.
    EXPECT_NEAR(run.box.xMin, 100 + 2 + (96 - 0.944 * 20) / 2, 1e-6);
    EXPECT_NEAR(run.box.yMin, 50 + 2, 1e-6);
    EXPECT_LE(run.box.xMax, 200);
}

TEST(Render, ScaleModesAndAlignment)
{
    TestPlayer t(kScene);
    t.player.setViewport(400, 400); // twice as wide, four times as high
    t.player.setScaleMode(ScaleMode::ShowAll);
    expectRect(firstFill(t.player), 20, 120, 100, 160); // scale 2, centred vertically
    t.player.setAlign(AlignTop);
    expectRect(firstFill(t.player), 20, 20, 100, 60);
    t.player.setAlign(0);
    t.player.setScaleMode(ScaleMode::NoBorder);
    expectRect(firstFill(t.player), -200 + 40, 40, -200 + 200, 120); // scale 4, cropped sideways
    t.player.setScaleMode(ScaleMode::ExactFit);
    expectRect(firstFill(t.player), 20, 40, 100, 120);
    t.player.setScaleMode(ScaleMode::NoScale);
    expectRect(firstFill(t.player), 110, 160, 150, 180);
    t.player.setAlign(AlignLeft | AlignTop);
    expectRect(firstFill(t.player), 10, 10, 50, 30);
}

TEST(Render, ZoomAndPan)
{
    TestPlayer t(kScene);
    t.player.setViewport(200, 100);
    t.player.zoom(50); // the middle half fills the view
    expectRect(firstFill(t.player), -80, -30, 0, 10);
    t.player.pan(10, 0, 0);
    expectRect(firstFill(t.player), -90, -30, -10, 10);
    t.player.zoom(0);
    expectRect(firstFill(t.player), 10, 10, 50, 30);
    t.player.setZoomRect({0, 0, 2000, 1000}); // the top-left quarter
    expectRect(firstFill(t.player), 20, 20, 100, 60);
}

TEST(Render, BackgroundOverrideAndColourTransform)
{
    TestPlayer t(kScene);
    t.player.setBackgroundColor(0xFFFFFF);
    RecordingCanvas canvas;
    t.player.render(canvas);
    EXPECT_EQ(canvas.cleared, 0xFFFFFFFFu);
    t.player.setBackgroundColor(-1);
    EXPECT_EQ(t.player.backgroundColor(), 0x102030);
    // _alpha 50 on the root halves every colour's alpha.
    ASSERT_TRUE(t.player.tSetPropertyNum(u"/", 6, 50));
    RecordingCanvas faded;
    t.player.render(faded);
    EXPECT_EQ(alphaOf(faded.fills[0].fill.color), 128u);
}

TEST(Render, MovedObjectsFollowTheirFrames)
{
    TestPlayer t(R"m(
movie 100 100
shape box rect 0 0 10 10 fill #ff0000
frame
  place box depth 1 at 0 0
frame
  move depth 1 at 30 40 scale 2
frame
  move depth 1 at 50 50 rotate 90
)m", false);
    t.player.setViewport(100, 100);
    t.player.gotoFrame(1);
    expectRect(firstFill(t.player), 30, 40, 50, 60);
    t.player.gotoFrame(2);
    expectRect(firstFill(t.player), 40, 50, 50, 60);
    t.player.gotoFrame(0);
    expectRect(firstFill(t.player), 0, 0, 10, 10);
}

TEST(Render, NothingLoadedDrawsTheBackgroundOnly)
{
    MoviePlayer player;
    player.setBackgroundColor(0x00FF00);
    RecordingCanvas canvas;
    player.render(canvas);
    EXPECT_EQ(canvas.cleared, 0xFF00FF00u);
    EXPECT_TRUE(canvas.fills.empty());
}

} // namespace
} // namespace lumbra::movie::test
