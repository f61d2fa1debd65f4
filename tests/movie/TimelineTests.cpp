// Timelines: frames, labels, the display list across gotos, sprites and the
// target paths that name them, properties.
#include "MovieTestSupport.h"

#include "control/movie/MovieWriter.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

constexpr const char* kClips = R"m(
movie 200 100 rate 10
shape dot rect 0 0 10 10 fill #ff0000
shape bar rect 0 0 40 5 fill #0000ff
sprite inner
  frame label one
  place dot depth 1
  frame label two
  frame label three
end
sprite outer
  frame
  place inner depth 1 name "inner"
  frame
end
frame label start
  place outer depth 1 at 50 20 name "clip"
frame label middle
  place bar depth 2 at 0 80
frame label last
  remove depth 2
)m";

TEST(Timeline, PlaysThroughAndLoops)
{
    TestPlayer t(kClips);
    EXPECT_EQ(t.player.currentFrame(), 0);
    EXPECT_TRUE(t.player.isPlaying());
    t.player.advance();
    EXPECT_EQ(t.player.currentFrame(), 1);
    t.player.advance();
    EXPECT_EQ(t.player.currentFrame(), 2);
    t.player.advance();
    EXPECT_EQ(t.player.currentFrame(), 0);
}

TEST(Timeline, WithoutLoopStopsOnTheLastFrame)
{
    TestPlayer t(kClips);
    t.player.setLoop(false);
    for (int i = 0; i < 5; ++i)
        t.player.advance();
    EXPECT_EQ(t.player.currentFrame(), 2);
    EXPECT_FALSE(t.player.isPlaying());
}

TEST(Timeline, RepaintOnlyWhenTheStageChanges)
{
    TestPlayer t(kClips, false);
    RecordingCanvas canvas;
    t.player.render(canvas);
    EXPECT_FALSE(t.player.needsRepaint());
    t.player.advance(); // stopped: nothing moves
    EXPECT_FALSE(t.player.needsRepaint());
    t.player.gotoFrame(1); // the bar comes
    EXPECT_TRUE(t.player.needsRepaint());
    t.player.render(canvas);
    t.player.tStopPlay(u"/clip/inner");
    t.player.tGotoFrame(u"/clip/inner", 2); // frames without changes
    EXPECT_FALSE(t.player.needsRepaint());
    t.player.setViewport(10, 10);
    EXPECT_TRUE(t.player.needsRepaint());
}

TEST(Timeline, LabelsAndGotos)
{
    TestPlayer t(kClips, false);
    EXPECT_TRUE(t.player.gotoLabel(u"LAST"));
    EXPECT_EQ(t.player.currentFrame(), 2);
    EXPECT_EQ(*t.player.tCurrentLabel(u"/"), u"last");
    EXPECT_FALSE(t.player.gotoLabel(u"nowhere"));
    EXPECT_FALSE(t.player.gotoFrame(3));
    EXPECT_FALSE(t.player.gotoFrame(-1));
    EXPECT_EQ(t.player.currentFrame(), 2);
    t.player.rewind();
    EXPECT_EQ(t.player.currentFrame(), 0);
    t.player.forward();
    EXPECT_EQ(t.player.currentFrame(), 1);
    t.player.back();
    EXPECT_EQ(t.player.currentFrame(), 0);
    EXPECT_TRUE(t.player.frameLoaded(2));
    EXPECT_FALSE(t.player.frameLoaded(3));
    EXPECT_EQ(t.player.percentLoaded(), 100);
}

TEST(Timeline, DisplayListFollowsGotosBothWays)
{
    TestPlayer t(kClips, false);
    RecordingCanvas c0;
    t.player.render(c0);
    t.player.gotoFrame(1);
    RecordingCanvas c1;
    t.player.render(c1);
    EXPECT_EQ(c1.fills.size(), c0.fills.size() + 1); // the bar came
    t.player.gotoFrame(2);
    RecordingCanvas c2;
    t.player.render(c2);
    EXPECT_EQ(c2.fills.size(), c0.fills.size());
    t.player.gotoFrame(1); // back: the bar returns
    RecordingCanvas c3;
    t.player.render(c3);
    EXPECT_EQ(c3.fills.size(), c1.fills.size());
    t.player.gotoFrame(0);
    RecordingCanvas c4;
    t.player.render(c4);
    EXPECT_EQ(c4.fills.size(), c0.fills.size());
}

TEST(Timeline, TargetPathsNameClipsInEveryForm)
{
    TestPlayer t(kClips, false);
    for (auto path : {u"/", u"_level0", u"_root", u"/clip", u"_level0.clip", u"_root.clip", u"clip",
                      u"/clip/inner", u"_level0.clip.inner", u"clip.inner", u"/CLIP/Inner"})
        EXPECT_TRUE(t.player.tCurrentFrame(path)) << narrow(path);
    for (auto path : {u"/none", u"_level0.none", u"/clip/none", u"_level1", u"clip.inner.deeper"})
        EXPECT_FALSE(t.player.tCurrentFrame(path)) << narrow(path);
}

TEST(Timeline, SpritesPlayTheirOwnTimelines)
{
    TestPlayer t(kClips);
    EXPECT_EQ(*t.player.tCurrentFrame(u"/clip/inner"), 0);
    t.player.advance();
    EXPECT_EQ(*t.player.tCurrentFrame(u"/clip/inner"), 1);
    EXPECT_TRUE(t.player.tStopPlay(u"/clip/inner"));
    t.player.advance();
    EXPECT_EQ(*t.player.tCurrentFrame(u"/clip/inner"), 1);
    EXPECT_TRUE(t.player.tGotoLabel(u"/clip/inner", u"three"));
    EXPECT_EQ(*t.player.tCurrentLabel(u"/clip/inner"), u"three");
    EXPECT_TRUE(t.player.tGotoFrame(u"_root.clip.inner", 0));
    EXPECT_EQ(*t.player.tCurrentLabel(u"_root.clip.inner"), u"one");
    EXPECT_TRUE(t.player.tPlay(u"/clip/inner"));
    t.player.advance();
    EXPECT_EQ(*t.player.tCurrentFrame(u"/clip/inner"), 1);
    EXPECT_FALSE(t.player.tGotoFrame(u"/clip/inner", 3));
    EXPECT_FALSE(t.player.tPlay(u"/nothing"));
}

TEST(Timeline, PropertiesByNumber)
{
    TestPlayer t(kClips, false);
    EXPECT_EQ(*t.player.tGetPropertyNum(u"/clip", 0), 50);
    EXPECT_EQ(*t.player.tGetPropertyNum(u"/clip", 1), 20);
    EXPECT_EQ(*t.player.tGetProperty(u"/clip", 2), u"100");
    EXPECT_EQ(*t.player.tGetPropertyNum(u"/clip/inner", 5), 3);
    EXPECT_EQ(*t.player.tGetProperty(u"/clip/inner", 11), u"/clip/inner");
    EXPECT_EQ(*t.player.tGetProperty(u"/", 11), u"/");
    EXPECT_EQ(*t.player.tGetProperty(u"/clip", 13), u"clip");
    EXPECT_EQ(*t.player.tGetPropertyNum(u"/clip", 8), 10); // the dot's width
    EXPECT_TRUE(t.player.tSetPropertyNum(u"/clip", 0, 75.5));
    EXPECT_EQ(*t.player.tGetProperty(u"/clip", 0), u"75.5");
    EXPECT_TRUE(t.player.tSetProperty(u"/clip", 2, u"200"));
    EXPECT_EQ(*t.player.tGetPropertyNum(u"/clip", 8), 20);
    EXPECT_TRUE(t.player.tSetPropertyNum(u"/clip", 10, 90));
    EXPECT_NEAR(*t.player.tGetPropertyNum(u"/clip", 10), 90, 1e-9);
    EXPECT_NEAR(*t.player.tGetPropertyNum(u"/clip", 2), 200, 1e-9);
    EXPECT_TRUE(t.player.tSetPropertyNum(u"/clip", 7, 0));
    EXPECT_EQ(*t.player.tGetPropertyNum(u"/clip", 7), 0);
    EXPECT_FALSE(t.player.tSetPropertyNum(u"/clip", 11, 1)); // _target is read-only
    EXPECT_FALSE(t.player.tGetProperty(u"/clip", 22));
    EXPECT_FALSE(t.player.tGetProperty(u"/clip", -1));
    EXPECT_FALSE(t.player.tGetPropertyNum(u"/clip", 13)); // a name is no number
}

TEST(Timeline, SpriteThatPlacesItselfIsBounded)
{
    // Sprite 1 places two copies of itself: without limits a tree of 2^n clips.
    MovieWriter writer(2000, 2000, 12);
    TimelineWriter self;
    self.place({1, 1, Matrix::translation(20, 0), u"a"});
    self.place({2, 1, Matrix::translation(0, 20), u"b"});
    self.showFrame();
    self.showFrame();
    ASSERT_EQ(writer.defineSprite(self), 1);
    writer.root().place({1, 1, {}, u"top"});
    MoviePlayer player;
    auto bytes = writer.finish(false);
    ASSERT_TRUE(player.load(bytes));
    EXPECT_TRUE(player.tCurrentFrame(u"/top/a/a/a/a"));
    std::u16string tooDeep = u"/top";
    for (int i = 0; i < 40; ++i)
        tooDeep += u"/a";
    EXPECT_FALSE(player.tCurrentFrame(tooDeep));
    player.advance();
    player.advance();
    RecordingCanvas canvas;
    player.render(canvas);
    EXPECT_TRUE(canvas.fills.empty());
}

TEST(Timeline, UnloadLeavesAnEmptyPlayer)
{
    TestPlayer t(kClips);
    t.player.unload();
    EXPECT_FALSE(t.player.isLoaded());
    EXPECT_EQ(t.player.totalFrames(), 0);
    EXPECT_FALSE(t.player.tCurrentFrame(u"/"));
    t.player.advance();
    EXPECT_FALSE(t.player.setVariable(u"a", u"b"));
}

} // namespace
} // namespace lumbra::movie::test
