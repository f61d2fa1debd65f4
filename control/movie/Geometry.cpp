#include "control/movie/Geometry.h"

#include <algorithm>

namespace lumbra::movie {

Rect transformRect(const Matrix& m, const Rect& r)
{
    const Point corners[4] = {m.apply({r.xMin, r.yMin}), m.apply({r.xMax, r.yMin}),
                              m.apply({r.xMin, r.yMax}), m.apply({r.xMax, r.yMax})};
    Rect out{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
    for (const Point& p : corners) {
        out.xMin = std::min(out.xMin, p.x);
        out.yMin = std::min(out.yMin, p.y);
        out.xMax = std::max(out.xMax, p.x);
        out.yMax = std::max(out.yMax, p.y);
    }
    return out;
}

} // namespace lumbra::movie
