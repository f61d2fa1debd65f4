// Per-pixel transparency of a movie drawn twice, once on a black and once
// on a white background: where the two pictures differ, the background
// shows through. Pixels are 32-bit DIB words, 0xAARRGGBB.
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumbra {

// The alpha of a pixel from the blue bytes of its black and white drawings:
// 255 where they agree (opaque), 0 for black against white (only the
// background), and 255 minus their difference in between. The black
// drawing already holds the colour multiplied by that alpha.
inline std::uint8_t alphaOf(std::uint32_t black, std::uint32_t white)
{
    const std::uint8_t b = black & 0xFF, w = white & 0xFF;
    return w >= b ? std::uint8_t(b - w - 1) : std::uint8_t(b - w);
}

// Gives every pixel of the black drawing its alpha.
inline void setAlphaFromPair(std::uint32_t* black, const std::uint32_t* white, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        black[i] = (black[i] & 0x00FFFFFFu) | std::uint32_t(alphaOf(black[i], white[i])) << 24;
}

// The region fallback's test: a pixel shows only the background when it is
// black in the black drawing and white in the white one.
inline bool showsBackground(std::uint32_t black, std::uint32_t white)
{
    return (black & 0x00FFFFFFu) == 0 && (white & 0x00FFFFFFu) == 0x00FFFFFFu;
}

} // namespace lumbra
