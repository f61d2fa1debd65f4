// The generator behind Math.random: the 48-bit linear congruential generator
// of the drand48 family. There is one state per program; creating a context
// re-seeds it from the clock.
#pragma once

#include <cstdint>

namespace orvet {

// High 32 bits of the state = seconds, low 16 bits = 0x330E.
void seedMathRandom(std::uint32_t seconds);

// The next value in [0, 1).
double nextMathRandom();

} // namespace orvet
