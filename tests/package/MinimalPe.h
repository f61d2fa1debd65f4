// A minimal valid PE32 image (one code section of 512 bytes, no resources),
// so that resource tests need no real program.
#pragma once

#include <cstdint>
#include <vector>

namespace lumbra::test {

std::vector<std::uint8_t> minimalPe();

} // namespace lumbra::test
