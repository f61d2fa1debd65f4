// The colour a fill gives each pixel: solid, gradients with their spread and
// interpolation, bitmaps repeated or clamped, smoothed or not. Colours come out
// premultiplied, sampled at pixel centres.
#pragma once

#include "control/movie/Canvas.h"

#include <array>

namespace lumbra::movie {

class Paint {
public:
    explicit Paint(const Fill& fill);

    // Colours of pixels x .. x + count - 1 of row y.
    void shadeRow(int x, int y, int count, Argb* out) const;
    bool isSolid() const { return kind_ == Fill::Kind::Solid; }
    Argb solid() const { return solid_; }

private:
    Argb gradientAt(double t) const;
    Argb bitmapAt(double u, double v) const;
    Argb texel(int x, int y) const;

    Fill::Kind kind_;
    Argb solid_ = 0;
    std::array<Argb, 256> ramp_{};
    Spread spread_ = Spread::Pad;
    double focus_ = 0;
    Matrix toSource_; // pixels to gradient space or bitmap pixels
    const Fill* fill_;
    bool transformed_ = false;
};

// The 256-entry premultiplied colour ramp of a gradient's stops.
std::array<Argb, 256> gradientRamp(const std::vector<GradientStop>& stops, bool linearRgb);

} // namespace lumbra::movie
