// The bitmap filters and blend modes a placed object may carry, as the file
// states them (distances in pixels, angles in radians), and their effect on a
// layer of premultiplied pixels.
#pragma once

#include "control/movie/Color.h"
#include "control/movie/PixelBuffer.h"

#include <array>
#include <variant>
#include <vector>

namespace lumbra::movie {

// Numbered as the file numbers them; 0 reads as Normal.
enum class BlendMode {
    Normal = 1, Layer, Multiply, Screen, Lighten, Darken, Difference, Add, Subtract,
    Invert, Alpha, Erase, Overlay, HardLight
};

// One colour of the ramp of a gradient glow or bevel; ratio 0 is the outermost.
struct RampStop {
    unsigned ratio = 0; // 0..255
    Argb color = 0;     // straight alpha
};

struct BlurFilter {
    double blurX = 4, blurY = 4;
    int passes = 1;
};

// Drop shadows and glows: a blurred, tinted copy of the layer's alpha, moved
// by (distance, angle) for shadows, put behind the layer or inside it.
struct ShadowFilter {
    Argb color = 0xFF000000;
    double blurX = 4, blurY = 4;
    double angle = 0, distance = 0;
    double strength = 1;
    bool inner = false, knockout = false, hideObject = false;
    int passes = 1;
    bool glow = false; // a glow rather than a shadow: scripts read it back as one
    // Gradient glows: the colour where the blurred alpha is s is the ramp's at s * 255.
    std::vector<RampStop> ramp;
};

// Bevels: highlight on the side facing the light, shadow on the other.
struct BevelFilter {
    Argb shadowColor = 0xFF000000, highlightColor = 0xFFFFFFFF;
    double blurX = 4, blurY = 4;
    double angle = 0, distance = 4;
    double strength = 1;
    bool inner = true, knockout = false, onTop = false;
    int passes = 1;
    // Gradient bevels keep their ramp for scripts; they are drawn in its end colours.
    std::vector<RampStop> ramp;
};

// 4 x 5 matrix on straight colour, rows R, G, B, A; the fifth column adds 0..255.
struct ColorMatrixFilter {
    std::array<double, 20> m{1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0};
};

struct ConvolutionFilter {
    int columns = 0, rows = 0;
    std::vector<double> matrix; // row by row
    double divisor = 1, bias = 0;
    Argb defaultColor = 0;
    bool clamp = true, preserveAlpha = true;
};

using Filter = std::variant<BlurFilter, ShadowFilter, BevelFilter, ColorMatrixFilter, ConvolutionFilter>;

struct LayerEffects {
    std::vector<Filter> filters;
    BlendMode blend = BlendMode::Normal;
    bool any() const { return !filters.empty() || blend != BlendMode::Normal; }
};

// Runs one filter over the whole layer.
void applyFilter(PixelBuffer& layer, const Filter& filter);
// dst = src blended onto dst in `mode`; both premultiplied.
Argb blendPixel(Argb dst, Argb src, BlendMode mode);

} // namespace lumbra::movie
