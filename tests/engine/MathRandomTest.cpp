#include <gtest/gtest.h>

#include "script/engine/builtins/MathRandom.h"

namespace orvet {
namespace {

TEST(MathRandom, FollowsTheDrand48Sequence)
{
    // State (0 << 16 | 0x330E) advanced once: 0x330E * 0x5DEECE66D + 0xB.
    seedMathRandom(0);
    const std::uint64_t first = (0x330EULL * 0x5DEECE66DULL + 0xB) & 0xFFFFFFFFFFFFULL;
    EXPECT_DOUBLE_EQ(nextMathRandom(), static_cast<double>(first) / 281474976710656.0);
    const std::uint64_t second = (first * 0x5DEECE66DULL + 0xB) & 0xFFFFFFFFFFFFULL;
    EXPECT_DOUBLE_EQ(nextMathRandom(), static_cast<double>(second) / 281474976710656.0);
}

TEST(MathRandom, SeedingRestartsTheSequenceAndStaysInRange)
{
    seedMathRandom(1700000000);
    const double a = nextMathRandom();
    for (int i = 0; i < 10000; ++i) {
        const double r = nextMathRandom();
        ASSERT_GE(r, 0.0);
        ASSERT_LT(r, 1.0);
    }
    seedMathRandom(1700000000);
    EXPECT_EQ(nextMathRandom(), a);
}

} // namespace
} // namespace orvet
