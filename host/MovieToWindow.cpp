#include "host/MovieToWindow.h"

#include <algorithm>
#include <cmath>

#include "script/runtime/Conversions.h"

namespace lumbra::host {

std::optional<WindowRect> movieToWindow(const ScaleGeometry& g, const MovieRect& r)
{
    if (g.movieWidth <= 0 || g.movieHeight <= 0)
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
    return WindowRect{ox + trunc(width / mw * r.xMin), ox + trunc(width / mw * r.xMax),
                      oy + trunc(height / mh * r.yMin), oy + trunc(height / mh * r.yMax)};
}

} // namespace lumbra::host
