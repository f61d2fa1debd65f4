#include "package/KeyFold.h"

namespace lumbra {

namespace {

std::uint8_t reversedBits(std::uint8_t byte)
{
    std::uint8_t result = 0;
    for (int i = 0; i < 8; ++i, byte >>= 1)
        result = std::uint8_t(result << 1 | (byte & 1));
    return result;
}

} // namespace

// The fold runs forwards over the first 8 positions and backwards over the
// next 8, with the bytes of the backward run mirrored, and so on.
std::array<std::uint8_t, 8> keyFold(std::span<const std::uint8_t> text)
{
    std::array<std::uint8_t, 8> folded{};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i % 16 < 8)
            folded[i % 8] ^= std::uint8_t(text[i] << 1);
        else
            folded[7 - i % 8] ^= reversedBits(text[i]);
    }
    return folded;
}

} // namespace lumbra
