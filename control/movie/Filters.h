// The bitmap filters and blend modes a placed object may carry, as the file
// states them (distances in pixels, angles in radians), and their effect on a
// layer of premultiplied pixels.
#pragma once

#include "control/movie/Color.h"
#include "control/movie/Geometry.h"
#include "control/movie/PixelBuffer.h"

#include <array>
#include <memory>
#include <variant>
#include <vector>

namespace lumbra::movie {

class BitmapData;

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
// Gradient bevels colour both from their ramp: ratio 0 is the full highlight,
// 128 the flat base, 255 the full shadow.
struct BevelFilter {
    Argb shadowColor = 0xFF000000, highlightColor = 0xFFFFFFFF;
    double blurX = 4, blurY = 4;
    double angle = 0, distance = 4;
    double strength = 1;
    bool inner = true, knockout = false, onTop = false;
    int passes = 1;
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

// Moves each pixel by the values of two channels of a map picture: the pixel
// at p takes the one at p + ((component(p - mapPoint) - 128) * scale) / 256.
// Where the map does not reach nothing moves.
struct DisplacementMapFilter {
    enum class Mode { Wrap, Clamp, Ignore, Color };
    std::shared_ptr<BitmapData> picture;     // the script's picture, handed back when read
    std::shared_ptr<const PixelBuffer> map; // its pixels: empty once it is disposed
    Point mapPoint;                          // pixels of the layer
    unsigned componentX = 0, componentY = 0; // channel bits: 1 red, 2 green, 4 blue, 8 alpha
    double scaleX = 0, scaleY = 0;
    Mode mode = Mode::Wrap;                  // what a displacement beyond the layer finds
    Argb color = 0;                          // straight; Mode::Color's pixel
};

using Filter = std::variant<BlurFilter, ShadowFilter, BevelFilter, ColorMatrixFilter, ConvolutionFilter,
                            DisplacementMapFilter>;

struct LayerEffects {
    std::vector<Filter> filters;
    BlendMode blend = BlendMode::Normal;
    bool any() const { return !filters.empty() || blend != BlendMode::Normal; }
};

// Runs one filter over the whole layer, whose top left pixel lies at `origin`
// in the coordinates the filter places itself by (a displacement map's point).
void applyFilter(PixelBuffer& layer, const Filter& filter, Point origin = {});

// How far past an object's pixels a filter draws, in whole pixels on each
// side: blurs by half their size per pass, shadows and bevels also by their
// offset, inner effects and the colour filters not at all.
struct Growth {
    int left = 0, top = 0, right = 0, bottom = 0;
};
Growth growthOf(const Filter& filter);
// The growth of a list of filters applied one after the other.
Growth growthOf(const std::vector<Filter>& filters);
// dst = src blended onto dst in `mode`; both premultiplied.
Argb blendPixel(Argb dst, Argb src, BlendMode mode);

} // namespace lumbra::movie
