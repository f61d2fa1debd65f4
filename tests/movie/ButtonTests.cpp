// Buttons: hit areas, the state shown, and the actions of each transition.
#include "MovieTestSupport.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

// Stage 200 x 100 shown 1:1 in a 200 x 100 viewport; the button covers
// (20,20)-(80,60); its over state is green, its down state blue.
constexpr const char* kButtons = R"m(
movie 200 100
shape idle rect 0 0 60 40 fill #ff0000
shape hover rect 0 0 60 40 fill #00ff00
shape pressed rect 0 0 60 40 fill #0000ff
shape area ellipse 30 20 30 20
button go up idle over hover down pressed hit area on press { set pressed "yes" } on release { fscommand "clicked" "go"; set count "1" } on releaseoutside { set outside "yes" } on rollover { set over "yes" }
frame
  place go depth 1 at 20 20 name "goButton"
  actions { stop }
)m";

struct ButtonFixture : ::testing::Test {
    ButtonFixture() : t(kButtons) { t.player.setViewport(200, 100); }

    Argb shownColor()
    {
        RecordingCanvas canvas;
        t.player.render(canvas);
        return canvas.fills.empty() ? 0 : canvas.fills.back().fill.color;
    }

    TestPlayer t;
};

TEST_F(ButtonFixture, StatesFollowTheMouse)
{
    EXPECT_EQ(shownColor(), 0xFFFF0000u);
    t.player.mouseMove(50, 40);
    EXPECT_TRUE(t.player.overButton());
    EXPECT_EQ(t.var(u"over"), "yes");
    EXPECT_EQ(shownColor(), 0xFF00FF00u);
    t.player.mouseDown(50, 40);
    EXPECT_EQ(t.var(u"pressed"), "yes");
    EXPECT_EQ(shownColor(), 0xFF0000FFu);
    t.player.mouseUp(50, 40);
    EXPECT_EQ(shownColor(), 0xFF00FF00u);
    t.player.mouseMove(150, 90);
    EXPECT_FALSE(t.player.overButton());
    EXPECT_EQ(shownColor(), 0xFFFF0000u);
}

TEST_F(ButtonFixture, ReleaseOverTheButtonRunsItsAction)
{
    t.player.mouseDown(50, 40);
    EXPECT_TRUE(t.commands.empty());
    t.player.mouseUp(50, 40);
    ASSERT_EQ(t.commands.size(), 1u);
    EXPECT_EQ(t.commands[0], "clicked|go");
    EXPECT_EQ(t.var(u"count"), "1");
}

TEST_F(ButtonFixture, HitAreaIsTheHitShapeNotItsBox)
{
    // Inside the rectangle's corner but outside the ellipse that is the hit area.
    t.player.mouseMove(22, 22);
    EXPECT_FALSE(t.player.overButton());
    t.player.mouseDown(22, 22);
    t.player.mouseUp(22, 22);
    EXPECT_TRUE(t.commands.empty());
}

TEST_F(ButtonFixture, ReleaseOutsideIsNoClick)
{
    t.player.mouseDown(50, 40);
    t.player.mouseMove(150, 90);
    EXPECT_EQ(shownColor(), 0xFFFF0000u); // dragged out: up state
    t.player.mouseUp(150, 90);
    EXPECT_TRUE(t.commands.empty());
    EXPECT_EQ(t.var(u"outside"), "yes");
}

TEST_F(ButtonFixture, PressOutsideThenReleaseOverIsNoClick)
{
    t.player.mouseDown(150, 90);
    t.player.mouseUp(50, 40);
    EXPECT_TRUE(t.commands.empty());
}

TEST_F(ButtonFixture, HitTestingFollowsTheView)
{
    t.player.setViewport(400, 200); // everything doubles
    t.player.mouseDown(100, 80);
    t.player.mouseUp(100, 80);
    EXPECT_EQ(t.commands.size(), 1u);
    t.player.mouseDown(50, 40); // the old place is now outside
    t.player.mouseUp(50, 40);
    EXPECT_EQ(t.commands.size(), 1u);
}

TEST_F(ButtonFixture, HiddenButtonTakesNoClicks)
{
    ASSERT_TRUE(t.player.tSetPropertyNum(u"/goButton", 7, 0));
    t.player.mouseDown(50, 40);
    t.player.mouseUp(50, 40);
    EXPECT_TRUE(t.commands.empty());
}

} // namespace
} // namespace lumbra::movie::test
