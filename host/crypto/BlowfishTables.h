// The subkeys every Blowfish key schedule starts from.
#pragma once

#include <array>
#include <cstdint>

namespace lumbra {

extern const std::array<std::uint32_t, 18> kBlowfishInitialP;
extern const std::array<std::array<std::uint32_t, 256>, 4> kBlowfishInitialS;

} // namespace lumbra
