// Where a rectangle of the movie lands in the main window's client area: the
// control's scale mode decides the scale and the centring offsets.
#pragma once

#include <cstdint>
#include <optional>

namespace lumbra::host {

struct MovieRect {
    double xMin, xMax, yMin, yMax; // movie pixels
};

struct WindowRect {
    std::int64_t left, right, top, bottom; // client pixels
};

struct ScaleGeometry {
    int movieWidth, movieHeight;   // the movie last loaded, in pixels
    int clientWidth, clientHeight; // the main window's client area
    int scaleMode;                 // 0 show all, 1 no border, 2 exact fit, 3 no scale
};

// None when the movie has no positive size or a coordinate is not a finite
// number. Unknown scale modes map as "no scale" does: the movie keeps its
// size, centred.
std::optional<WindowRect> movieToWindow(const ScaleGeometry& geometry, const MovieRect& rect);

} // namespace lumbra::host
