// The drawing surface a movie renders through. The host implements it (GDI in the
// control, a recorder in tests); the movie hands it finished geometry:
//  - every coordinate is in device pixels, already through the view and object matrices;
//  - curves are already flattened, so a contour is a plain polyline;
//  - colours are 0xAARRGGBB with the object's colour transform applied.
#pragma once

#include "control/movie/Geometry.h"

#include <cstdint>
#include <string>
#include <vector>

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

using Contour = std::vector<Point>;

// For fills every contour is closed (the last point joins the first) and the
// area is filled with the non-zero winding rule. For strokes a contour is an
// open polyline; a closed outline repeats its first point at the end.
using Path = std::vector<Contour>;

struct GradientStop {
    double ratio = 0; // 0..1 along the gradient
    Argb color = 0;
};

struct Fill {
    enum class Kind { Solid, LinearGradient, RadialGradient };
    Kind kind = Kind::Solid;
    // The solid colour; for gradients the mean of the stops, so a canvas that
    // cannot draw gradients fills with it.
    Argb color = 0xFF000000;
    std::vector<GradientStop> stops;
    // Maps gradient space to pixels: a linear gradient runs from x = -1 to
    // x = 1; a radial one from the origin (ratio 0) to the unit circle (ratio 1).
    Matrix gradientToPixels;
};

struct Stroke {
    double width = 1; // pixels, never below 1
    Argb color = 0xFF000000;
};

enum class TextAlign { Left, Right, Center, Justify };

struct TextRun {
    std::u16string text;  // lines separated by '\r'
    std::u16string font;  // device font name, e.g. "_sans", "Arial"
    double size = 12;     // em height in pixels
    Argb color = 0xFF000000;
    Rect box;             // layout box in pixels, margins already taken off
    TextAlign align = TextAlign::Left;
    bool bold = false;
    bool italic = false;
    bool multiline = false;
    bool wordWrap = false;
};

class Canvas {
public:
    virtual ~Canvas() = default;
    virtual void clear(Argb background) = 0;
    virtual void fillPath(const Path& path, const Fill& fill) = 0;
    virtual void strokePath(const Path& path, const Stroke& stroke) = 0;
    virtual void drawText(const TextRun& run) = 0;
};

} // namespace lumbra::movie
