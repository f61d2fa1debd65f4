// The desktop toy's motions, step by step against values worked out by hand.
#include "host/desktoy/DesktopMotion.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumbra {
namespace {

const Trajectory::Area kArea{50, 50, 950, 750};

TEST(Trajectory, StraightLineWithoutAccelerationEndsAtTheBorder)
{
    Trajectory throw_({500, 400}, 100, 0, 0, 0, 0, false);
    int steps = 0;
    while (throw_.advance(0.01, kArea) == Trajectory::Step::Moving) {
        ++steps;
        ASSERT_NEAR(throw_.centre().x, 500 + steps, 1e-9); // 100 px/s for 10 ms: one pixel a step
        ASSERT_NEAR(throw_.centre().y, 400, 1e-9);
        ASSERT_LT(steps, 1000);
    }
    EXPECT_EQ(steps, 450); // 950 is still inside; the step to 951 leaves the area...
    EXPECT_EQ(throw_.centre().x, 950); // ...and the centre stops on the border
}

TEST(Trajectory, ConstantAccelerationCoversOddMultiples)
{
    // From rest, 200 px/s² downwards, 0.1 s steps: 1, 3, 5, 7 pixels.
    Trajectory fall({500, 100}, 0, 0, 200, 90, 0, false);
    double y = 100;
    for (int k = 0; k < 4; ++k) {
        ASSERT_EQ(fall.advance(0.1, kArea), Trajectory::Step::Moving);
        y += 2 * k + 1;
        EXPECT_NEAR(fall.centre().y, y, 1e-9);
        EXPECT_NEAR(fall.centre().x, 500, 1e-9);
        EXPECT_NEAR(fall.velocity().y, 20.0 * (k + 1), 1e-9);
    }
}

TEST(Trajectory, BounceReversesTheHitComponentAndDamps)
{
    // Leftwards at 1000 px/s; the first 0.1 s step would reach x = 0.
    Trajectory ball({100, 400}, 1000, 180, 0, 0, 75, true);
    EXPECT_EQ(ball.advance(0.1, kArea), Trajectory::Step::Moving);
    EXPECT_EQ(ball.centre().x, 50);
    EXPECT_NEAR(ball.velocity().x, 500, 1e-9); // sqrt(1 - 0.75) = 0.5, reversed
    EXPECT_EQ(ball.advance(0.1, kArea), Trajectory::Step::Moving);
    EXPECT_NEAR(ball.centre().x, 100, 1e-9);

    // Into a corner: both components reverse.
    Trajectory corner({900, 700}, 1000, 45, 0, 0, 0, true);
    corner.advance(0.1, kArea);
    EXPECT_EQ(corner.centre().x, 950);
    EXPECT_EQ(corner.centre().y, 750);
    EXPECT_LT(corner.velocity().x, 0);
    EXPECT_LT(corner.velocity().y, 0);
}

TEST(Trajectory, BouncingEndsAtRestOnTheFloor)
{
    // Dropped with gravity and a 50 % energy loss per bounce: it comes to rest.
    Trajectory ball({500, 700}, 0, 0, 2000, 90, 50, true);
    int steps = 0;
    while (ball.advance(0.01, kArea) == Trajectory::Step::Moving)
        ASSERT_LT(++steps, 100000);
    EXPECT_EQ(ball.centre().y, 750);
    EXPECT_NEAR(ball.centre().x, 500, 1e-6);

    // Full damping stops it at the first touch.
    Trajectory dead({500, 749.5}, 0, 0, 2000, 90, 100, true);
    EXPECT_EQ(dead.advance(0.1, kArea), Trajectory::Step::Ended);
}

TEST(Trajectory, DampingOutsideItsRangeIsClamped)
{
    Trajectory ball({100, 400}, 1000, 180, 0, 0, 250, true);
    ball.advance(0.1, kArea);
    EXPECT_EQ(ball.velocity().x, 0); // not NaN
    Trajectory lively({100, 400}, 1000, 180, 0, 0, -50, true);
    lively.advance(0.1, kArea);
    EXPECT_NEAR(lively.velocity().x, 1000, 1e-9); // no energy gained
}

TEST(Trajectory, AllowedAreaShrinksByHalfTheWindow)
{
    const auto area = Trajectory::allowedArea({0, 0, 1280, 1000}, 200, 100);
    EXPECT_EQ(area.left, 100);
    EXPECT_EQ(area.top, 50);
    EXPECT_EQ(area.right, 1180);
    EXPECT_EQ(area.bottom, 950);
    const auto tooWide = Trajectory::allowedArea({0, 0, 1280, 1000}, 2000, 100);
    EXPECT_EQ(tooWide.left, 640);
    EXPECT_EQ(tooWide.right, 640);
}

TEST(FollowCursor, OnePixelPerAxisInsideTheWorkArea)
{
    const Box work{0, 0, 1280, 1000};
    Point corner = followStep({100, 100, 300, 200}, {500, 0}, work);
    EXPECT_EQ(corner.x, 101);
    EXPECT_EQ(corner.y, 99);
    corner = followStep({100, 100, 300, 200}, {200, 150}, work); // the centre is there
    EXPECT_EQ(corner.x, 100);
    EXPECT_EQ(corner.y, 100);
    corner = followStep({1080, 900, 1280, 1000}, {2000, 2000}, work); // at the bottom-right edge
    EXPECT_EQ(corner.x, 1080);
    EXPECT_EQ(corner.y, 900);
    corner = followStep({0, 0, 200, 100}, {-50, -50}, work); // left and top stop at 0
    EXPECT_EQ(corner.x, 0);
    EXPECT_EQ(corner.y, 0);
}

} // namespace
} // namespace lumbra
