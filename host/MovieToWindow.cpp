#include "host/MovieToWindow.h"

#include <algorithm>
#include <cmath>

#include "script/runtime/Conversions.h"

namespace lumbra::host {

namespace {

constexpr double kFar = 1e15;

} // namespace

std::optional<WindowRect> movieToWindow(const ScaleGeometry& g, const MovieRect& r)
{
    if (g.movieWidth <= 0 || g.movieHeight <= 0)
        return std::nullopt;
    for (double v : {r.xMin, r.xMax, r.yMin, r.yMax})
        if (!std::isfinite(v))
            return std::nullopt;
    const double mw = g.movieWidth, mh = g.movieHeight, cw = g.clientWidth, ch = g.clientHeight;
    const auto trunc = [](double d) { return orvet::truncateToInt64(d); };

    double width = mw, height = mh; // no scale
    switch (g.scaleMode) {
    case 0:
    case 1: {
        const double s = g.scaleMode == 0 ? std::min(cw / mw, ch / mh) : std::max(cw / mw, ch / mh);
        width = static_cast<double>(trunc(s * mw));
        height = static_cast<double>(trunc(s * mh));
        break;
    }
    case 2:
        width = cw;
        height = ch;
        break;
    default:
        break;
    }
    const std::int64_t ox = trunc((cw - width) / 2);
    const std::int64_t oy = trunc((ch - height) / 2);
    // Coordinates far outside any screen are held to a range where the sums
    // cannot overflow.
    const auto pixel = [&](std::int64_t offset, double scale, double v) {
        return offset + trunc(std::clamp(scale * v, -kFar, kFar));
    };
    return WindowRect{pixel(ox, width / mw, r.xMin), pixel(ox, width / mw, r.xMax), pixel(oy, height / mh, r.yMin),
                      pixel(oy, height / mh, r.yMax)};
}

} // namespace lumbra::host
