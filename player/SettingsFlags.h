// Named bits of the settings record's flag words that the player itself
// reads (the settings objects and the options dialog name the rest).
#pragma once

#include <cstdint>

namespace lumbra {

// behaviourFlags
inline constexpr std::uint32_t kAutoPlay = 0x1;
inline constexpr std::uint32_t kTrayIcon = 0x1000;
// miscFlags
inline constexpr std::uint32_t kCustomBackground = 0x1;
inline constexpr std::uint32_t kMuteSpeakers = 0x100;

} // namespace lumbra
