#include "script/engine/builtins/MathRandom.h"

namespace orvet {

namespace {

constexpr std::uint64_t kMultiplier = 0x5DEECE66D;
constexpr std::uint64_t kIncrement = 0xB;
constexpr std::uint64_t kMask = (std::uint64_t{1} << 48) - 1;
constexpr double kModulus = 281474976710656.0; // 2^48

std::uint64_t state = 0x330E;

} // namespace

void seedMathRandom(std::uint32_t seconds)
{
    state = (std::uint64_t{seconds} << 16) | 0x330E;
}

double nextMathRandom()
{
    state = (state * kMultiplier + kIncrement) & kMask;
    return static_cast<double>(state) / kModulus;
}

} // namespace orvet
