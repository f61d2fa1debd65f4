// Colours as the movie gives them (0xAARRGGBB, straight alpha) and as pixel
// buffers hold them (the same layout with the colour premultiplied by alpha,
// which is also the byte order of a 32-bit Windows DIB: B, G, R, A).
#pragma once

#include <cstdint>

namespace lumbra::movie {

using Argb = std::uint32_t;

constexpr Argb argb(unsigned a, unsigned r, unsigned g, unsigned b)
{
    return (Argb(a & 0xFF) << 24) | (Argb(r & 0xFF) << 16) | (Argb(g & 0xFF) << 8) | Argb(b & 0xFF);
}
constexpr unsigned alphaOf(Argb c) { return c >> 24; }
constexpr unsigned redOf(Argb c) { return (c >> 16) & 0xFF; }
constexpr unsigned greenOf(Argb c) { return (c >> 8) & 0xFF; }
constexpr unsigned blueOf(Argb c) { return c & 0xFF; }

// x * y / 255, rounded, for bytes.
constexpr unsigned mul255(unsigned x, unsigned y)
{
    unsigned t = x * y + 128;
    return (t + (t >> 8)) >> 8;
}

constexpr Argb premultiply(Argb c)
{
    unsigned a = alphaOf(c);
    return argb(a, mul255(redOf(c), a), mul255(greenOf(c), a), mul255(blueOf(c), a));
}

constexpr Argb unpremultiply(Argb c)
{
    unsigned a = alphaOf(c);
    if (a == 0)
        return 0;
    auto un = [a](unsigned v) { return v >= a ? 255u : (v * 255 + a / 2) / a; };
    return argb(a, un(redOf(c)), un(greenOf(c)), un(blueOf(c)));
}

// Source-over of premultiplied colours.
constexpr Argb blendOver(Argb dst, Argb src)
{
    unsigned keep = 255 - alphaOf(src);
    return argb(alphaOf(src) + mul255(alphaOf(dst), keep), redOf(src) + mul255(redOf(dst), keep),
                greenOf(src) + mul255(greenOf(dst), keep), blueOf(src) + mul255(blueOf(dst), keep));
}

// A premultiplied colour scaled by a coverage of 0..255.
constexpr Argb scaled(Argb c, unsigned coverage)
{
    if (coverage >= 255)
        return c;
    return argb(mul255(alphaOf(c), coverage), mul255(redOf(c), coverage), mul255(greenOf(c), coverage),
                mul255(blueOf(c), coverage));
}

} // namespace lumbra::movie
