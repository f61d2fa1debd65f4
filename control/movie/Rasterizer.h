// Anti-aliased scan conversion: the exact area of every pixel that a set of
// closed contours covers, found by accumulating each edge's signed area into
// the cells it crosses and summing them along each row. The sum is the winding
// number weighted by coverage, so the fill rule is applied per pixel at the end.
#pragma once

#include "control/movie/Canvas.h"

#include <cstdint>
#include <vector>

namespace lumbra::movie {

enum class FillRule { NonZero, EvenOdd };

// Integer pixel rectangle [x0, x1) x [y0, y1).
struct PixelRect {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
    bool empty() const { return x1 <= x0 || y1 <= y0; }
};

PixelRect intersect(const PixelRect& a, const PixelRect& b);
// The pixels a path touches, grown by `margin` pixels on every side.
PixelRect pixelBounds(const Path& path, double margin = 0);

class Coverage {
public:
    // Scan-converts `path` (every contour closed implicitly) within `clip`.
    Coverage(const Path& path, const PixelRect& clip, FillRule rule = FillRule::NonZero);

    const PixelRect& area() const { return area_; }
    // Coverage 0..255 of pixel (x, y), which must lie inside area().
    std::uint8_t at(int x, int y) const { return cells_[std::size_t(y - area_.y0) * area_.width() + (x - area_.x0)]; }
    const std::uint8_t* row(int y) const { return &cells_[std::size_t(y - area_.y0) * area_.width()]; }

private:
    void addLine(Point a, Point b, std::vector<float>& acc) const;
    void addClippedLine(Point a, Point b, std::vector<float>& acc) const;

    PixelRect area_;
    std::vector<std::uint8_t> cells_;
};

} // namespace lumbra::movie
