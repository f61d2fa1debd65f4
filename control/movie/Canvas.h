// The drawing surface a movie renders through. RasterCanvas draws into memory
// (the control adds device-font text and one blit to the window); tests also
// record calls. The movie hands it finished geometry:
//  - every coordinate is in device pixels, already through the view and object matrices;
//  - curves are already flattened, so a contour is a plain polyline;
//  - colours are 0xAARRGGBB (straight alpha) with the object's colour transform
//    applied; bitmap fills carry theirs, applied to every sample.
#pragma once

#include "control/movie/Color.h"
#include "control/movie/ColorTransform.h"
#include "control/movie/Filters.h"
#include "control/movie/Geometry.h"
#include "control/movie/PixelBuffer.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace lumbra::movie {

using Contour = std::vector<Point>;

// For fills every contour is closed (the last point joins the first) and the
// area is filled with the non-zero winding rule. For strokes a contour is an
// open polyline; a closed outline repeats its first point at the end.
using Path = std::vector<Contour>;

struct GradientStop {
    double ratio = 0; // 0..1 along the gradient
    Argb color = 0;
};

// What a gradient does beyond its ends.
enum class Spread { Pad, Reflect, Repeat };

struct Fill {
    enum class Kind { Solid, LinearGradient, RadialGradient, FocalGradient, Bitmap };
    Kind kind = Kind::Solid;
    // The solid colour; for gradients the mean of the stops, so a canvas that
    // cannot draw gradients fills with it.
    Argb color = 0xFF000000;
    std::vector<GradientStop> stops;
    // Maps gradient space to pixels: a linear gradient runs from x = -1 to
    // x = 1; a radial one from the origin (ratio 0) to the unit circle (ratio 1).
    Matrix gradientToPixels;
    Spread spread = Spread::Pad;
    bool linearRgb = false; // stops interpolated in linear light
    double focus = 0;       // focal gradients: the focal point at (focus, 0), -1..1

    // Bitmap fills: the picture, its pixels mapped to canvas pixels, whether it
    // repeats beyond its edges (else the edge pixels extend), whether it is
    // sampled smoothly, and the colour transform applied to every sample.
    std::shared_ptr<const PixelBuffer> bitmap;
    Matrix bitmapToPixels;
    bool repeat = false;
    bool smooth = true;
    ColorTransform bitmapColor;
};

enum class CapStyle { Round, None, Square };
enum class JoinStyle { Round, Bevel, Miter };

struct Stroke {
    double width = 1; // pixels; below 1 a hairline of one pixel
    Argb color = 0xFF000000;
    CapStyle startCap = CapStyle::Round, endCap = CapStyle::Round;
    JoinStyle join = JoinStyle::Round;
    double miterLimit = 3; // in widths
    // A line painted with a fill (gradient or bitmap) instead of its colour.
    std::optional<Fill> fill;
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
    // Whether edges are anti-aliased and pictures smoothed from here on; the
    // movie's lowest quality turns both off.
    virtual void setAntiAliased(bool on) { (void)on; }

    // Masks: what is drawn between beginMask and endMask is not shown but
    // limits everything drawn after it, until popMask. Masks nest, each
    // limiting within the one before.
    virtual void beginMask() {}
    virtual void endMask() {}
    virtual void popMask() {}

    // Layers: what is drawn between beginLayer and endLayer is gathered on a
    // transparent surface, passed through the filters and then blended with
    // what lies below. `content` (pixels) is where the layer's drawing lies;
    // the effects' filters say how far beyond it they reach. A canvas that
    // cannot give the layer room answers false: the drawing then goes
    // straight onto what lies below, without the effects, and endLayer is
    // not called.
    virtual bool beginLayer(const Rect& content, const LayerEffects& effects)
    {
        (void)content, (void)effects;
        return false;
    }
    virtual void endLayer(const LayerEffects& effects) { (void)effects; }
};

} // namespace lumbra::movie
