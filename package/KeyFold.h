// The 8-byte fan fold of the classic DES string-to-key procedure.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace lumbra {

std::array<std::uint8_t, 8> keyFold(std::span<const std::uint8_t> text);

} // namespace lumbra
