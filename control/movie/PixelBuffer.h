// A picture in memory: rows top to bottom of premultiplied 0xAARRGGBB pixels.
// Bitmaps of the movie and the canvas's drawing surfaces are both held so.
#pragma once

#include "control/movie/Color.h"

#include <cstddef>
#include <vector>

namespace lumbra::movie {

class PixelBuffer {
public:
    PixelBuffer() = default;
    PixelBuffer(int width, int height, Argb fill = 0)
        : width_(width > 0 && height > 0 ? width : 0), height_(width > 0 && height > 0 ? height : 0),
          pixels_(std::size_t(width_) * std::size_t(height_), fill)
    {
    }

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return pixels_.empty(); }

    Argb* row(int y) { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
    const Argb* row(int y) const { return pixels_.data() + std::size_t(y) * std::size_t(width_); }
    Argb& at(int x, int y) { return row(y)[x]; }
    Argb at(int x, int y) const { return row(y)[x]; }
    Argb* data() { return pixels_.data(); }
    const Argb* data() const { return pixels_.data(); }

    void fill(Argb c) { pixels_.assign(pixels_.size(), c); }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<Argb> pixels_;
};

} // namespace lumbra::movie
