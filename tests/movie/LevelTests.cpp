// Movies loaded onto levels above the main one: each plays, draws over the
// ones below and is reached by paths that start with its level.
#include "MovieTestSupport.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

constexpr const char* kMain = R"m(
movie 200 100 rate 10 background #ffffff
shape dot rect 0 0 10 10 fill #ff0000
place dot depth 1
actions { set who "main" }
frame
)m";

constexpr const char* kUpper = R"m(
movie 100 50 rate 30 background #000000
shape bar rect 0 0 40 5 fill #0000ff
frame label first
  place bar depth 1 at 0 80
  actions { set who "upper"; trace "upper loaded" }
frame label second
)m";

TEST(Levels, AMovieOnALevelPlaysBesideTheMainOne)
{
    TestPlayer t(kMain);
    ASSERT_TRUE(t.player.loadLevel(1, movieFrom(kUpper))) << t.player.error();
    EXPECT_EQ(t.traces, std::vector<std::string>{"upper loaded"});
    EXPECT_EQ(t.player.loadedLevels(), std::vector<int>{1});

    // Each level keeps its own variables and timeline; paths pick the level.
    EXPECT_EQ(t.var(u"who"), "main");
    EXPECT_EQ(t.var(u"_level0:who"), "main");
    EXPECT_EQ(t.var(u"_level1:who"), "upper");
    EXPECT_EQ(t.var(u"_LEVEL1.who"), "upper");
    EXPECT_TRUE(t.player.setVariable(u"_level1:x", u"5"));
    EXPECT_EQ(t.var(u"_level1:x"), "5");
    EXPECT_EQ(t.var(u"x"), "<none>");
    EXPECT_EQ(t.var(u"_level2:who"), "<none>");
    EXPECT_FALSE(t.player.setVariable(u"_level2:x", u"5"));

    EXPECT_EQ(t.player.tCurrentFrame(u"_level1"), 0);
    t.player.advance();
    EXPECT_EQ(t.player.tCurrentFrame(u"_level1"), 1);
    EXPECT_EQ(t.player.tCurrentFrame(u"_level0"), 1);
    EXPECT_TRUE(t.player.tGotoLabel(u"_level1", u"first"));
    EXPECT_EQ(t.player.tCurrentLabel(u"_level1"), u"first");
    EXPECT_EQ(t.player.currentFrame(), 1) << "the main timeline is not moved";
    EXPECT_TRUE(t.player.tSetPropertyNum(u"_level1", 0, 15)); // _x
    EXPECT_EQ(t.player.tGetPropertyNum(u"_level1", 0), 15);
    EXPECT_EQ(t.player.tGetPropertyNum(u"_level0", 0), 0);

    // Not levels: no digits, digits run on, level 0 is the main movie.
    EXPECT_FALSE(t.player.tCurrentFrame(u"_level"));
    EXPECT_FALSE(t.player.tCurrentFrame(u"_level1x"));
    EXPECT_FALSE(t.player.tCurrentFrame(u"_level3"));
}

TEST(Levels, HigherLevelsDrawOverLowerOnesInTheMainMoviesView)
{
    TestPlayer t(kMain);
    ASSERT_TRUE(t.player.loadLevel(7, movieFrom(kUpper)));
    ASSERT_TRUE(t.player.loadLevel(3, movieFrom(kMain)));
    t.player.setViewport(200, 100);
    RecordingCanvas canvas;
    t.player.render(canvas);
    EXPECT_EQ(canvas.cleared, 0xFFFFFFFFu) << "the main movie's background";
    ASSERT_EQ(canvas.fills.size(), 3u);
    EXPECT_EQ(canvas.fills[0].fill.color, 0xFFFF0000u);
    EXPECT_EQ(canvas.fills[1].fill.color, 0xFFFF0000u);
    EXPECT_EQ(canvas.fills[2].fill.color, 0xFF0000FFu);
    // The upper movie's bar at (0, 80) in the main movie's pixels.
    EXPECT_DOUBLE_EQ(boundsOf(canvas.fills[2].path).yMin, 80);
    EXPECT_FALSE(t.player.needsRepaint());
    t.player.advance();
}

TEST(Levels, UnloadingAndReplacing)
{
    TestPlayer t(kMain);
    ASSERT_TRUE(t.player.loadLevel(1, movieFrom(kUpper)));
    ASSERT_TRUE(t.player.loadLevel(1, movieFrom(kMain)));
    EXPECT_EQ(t.var(u"_level1:who"), "main") << "a level's movie replaces the one there";
    t.player.unloadLevel(1);
    EXPECT_TRUE(t.player.loadedLevels().empty());
    EXPECT_FALSE(t.player.tCurrentFrame(u"_level1"));
    t.player.unloadLevel(1); // nothing there: nothing happens

    // A new main movie clears every level.
    ASSERT_TRUE(t.player.loadLevel(2, movieFrom(kUpper)));
    ASSERT_TRUE(t.player.load(movieFrom(kMain)));
    EXPECT_TRUE(t.player.loadedLevels().empty());
}

TEST(Levels, RefusedLoads)
{
    TestPlayer t(kMain);
    EXPECT_FALSE(t.player.loadLevel(0, movieFrom(kUpper))) << "level 0 is the main movie";
    EXPECT_FALSE(t.player.loadLevel(-1, movieFrom(kUpper)));
    EXPECT_FALSE(t.player.loadLevel(kMaxLevel + 1, movieFrom(kUpper)));
    EXPECT_TRUE(t.player.loadLevel(kMaxLevel, movieFrom(kUpper)));
    EXPECT_FALSE(t.player.loadLevel(2, std::vector<std::uint8_t>{'F', 'W', 'S'}));
    EXPECT_FALSE(t.player.error().empty());
    EXPECT_EQ(t.player.loadedLevels(), std::vector<int>{kMaxLevel});
    EXPECT_TRUE(t.player.isLoaded()) << "a refused level leaves the main movie";

    MoviePlayer empty;
    EXPECT_FALSE(empty.loadLevel(1, movieFrom(kUpper))) << "no main movie to load over";
}

} // namespace
} // namespace lumbra::movie::test
