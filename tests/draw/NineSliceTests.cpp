// scale9Grid's nine regions on hand-worked numbers: a clip 30 wide with grid
// lines at 10 and 20, scaled twice, keeps its 10-wide corners at 10 on the
// stage, that is 5 in its own space; the middle stretches from 5 to 25.
#include "control/movie/NineSlice.h"

#include <gtest/gtest.h>

namespace lumbra::movie {
namespace {

TEST(NineSlice, CornersKeepTheirSizeAndEdgesAreCutAtTheGrid)
{
    NineSlice slices({0, 0, 30, 30}, {10, 10, 20, 20}, 2, 1);
    EXPECT_DOUBLE_EQ(slices.apply({5, 5}).x, 2.5);
    EXPECT_DOUBLE_EQ(slices.apply({15, 5}).x, 15);
    EXPECT_DOUBLE_EQ(slices.apply({25, 5}).x, 27.5);
    EXPECT_DOUBLE_EQ(slices.apply({25, 25}).y, 25) << "unscaled vertically: nothing moves";
    // A line across the whole width is cut at both grid lines.
    Path line = slices.map({{{0, 0}, {30, 0}}}, Matrix{}, false);
    ASSERT_EQ(line.size(), 1u);
    ASSERT_EQ(line[0].size(), 4u);
    EXPECT_DOUBLE_EQ(line[0][1].x, 5);
    EXPECT_DOUBLE_EQ(line[0][2].x, 25);
    // A closed triangle is cut on its way back to the start too; a diagonal
    // crossing a grid line bends there.
    Path closed = slices.map({{{0, 0}, {30, 30}, {0, 30}}}, Matrix{}, true);
    // Out along the diagonal it crosses both kinds of line at the same two
    // points (four cuts), along the bottom two, back up the side two.
    ASSERT_EQ(closed[0].size(), 11u);
    EXPECT_DOUBLE_EQ(closed[0][1].x, 5);
    EXPECT_DOUBLE_EQ(closed[0][1].y, 10);
    // A child placed 10 to the right lands in the right-hand corner.
    EXPECT_DOUBLE_EQ(slices.map({{{15, 0}}}, Matrix{1, 0, 0, 1, 10, 0}, false)[0][0].x, 27.5);
}

TEST(NineSlice, CornersShrinkAlikeWhenTheyWouldOverlap)
{
    // Scaled to a tenth, the corners would be 100 each in a 30-wide space.
    NineSlice slices({0, 0, 30, 30}, {10, 10, 20, 20}, 0.1, 1);
    EXPECT_DOUBLE_EQ(slices.apply({10, 0}).x, 15);
    EXPECT_DOUBLE_EQ(slices.apply({20, 0}).x, 15);
    EXPECT_DOUBLE_EQ(slices.apply({5, 0}).x, 7.5);
}

} // namespace
} // namespace lumbra::movie
