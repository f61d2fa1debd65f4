#include "control/movie/NineSlice.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

NineSlice::Axis NineSlice::axis(double b0, double g0, double g1, double b1, double scale)
{
    g0 = std::clamp(g0, b0, b1);
    g1 = std::clamp(g1, g0, b1);
    double s = std::isfinite(scale) && std::abs(scale) > 1e-6 ? std::abs(scale) : 1;
    // The corners' lengths in the clip's space once its scale is undone.
    double before = (g0 - b0) / s, after = (b1 - g1) / s;
    double room = b1 - b0;
    if (before + after > room && before + after > 0) {
        double fit = room / (before + after);
        before *= fit;
        after *= fit;
    }
    return {b0, g0, g1, b1, b0 + before, b1 - after};
}

double NineSlice::Axis::apply(double v) const
{
    if (v <= g0)
        return g0 > b0 ? b0 + (v - b0) * (n0 - b0) / (g0 - b0) : v - g0 + n0;
    if (v >= g1)
        return b1 > g1 ? b1 - (b1 - v) * (b1 - n1) / (b1 - g1) : v - g1 + n1;
    return n0 + (v - g0) * (n1 - n0) / (g1 - g0);
}

NineSlice::NineSlice(const Rect& bounds, const Rect& grid, double scaleX, double scaleY)
    : x_(axis(bounds.xMin, grid.xMin, grid.xMax, bounds.xMax, scaleX)),
      y_(axis(bounds.yMin, grid.yMin, grid.yMax, bounds.yMax, scaleY))
{
}

Point NineSlice::apply(Point p) const { return {x_.apply(p.x), y_.apply(p.y)}; }

Path NineSlice::map(const Path& path, const Matrix& inner, bool closed) const
{
    const double lines[2][2] = {{x_.g0, x_.g1}, {y_.g0, y_.g1}};
    // The points where the edge from `from` to `to` crosses a grid line, in order along it.
    auto cutsOf = [&](Point from, Point to, Contour& into) {
        double cuts[4];
        int count = 0;
        for (int axis = 0; axis < 2; ++axis) {
            double p0 = axis == 0 ? from.x : from.y, p1 = axis == 0 ? to.x : to.y;
            for (double line : lines[axis])
                if ((p0 < line && p1 > line) || (p0 > line && p1 < line))
                    cuts[count++] = (line - p0) / (p1 - p0);
        }
        std::sort(cuts, cuts + count);
        for (int k = 0; k < count; ++k)
            into.push_back(apply({from.x + (to.x - from.x) * cuts[k], from.y + (to.y - from.y) * cuts[k]}));
    };
    Path out;
    out.reserve(path.size());
    for (const Contour& contour : path) {
        Contour& mapped = out.emplace_back();
        for (std::size_t i = 0; i < contour.size(); ++i) {
            Point a = inner.apply(contour[i]);
            if (i > 0)
                cutsOf(inner.apply(contour[i - 1]), a, mapped);
            mapped.push_back(apply(a));
        }
        if (closed && contour.size() > 1)
            cutsOf(inner.apply(contour.back()), inner.apply(contour.front()), mapped);
    }
    return out;
}

} // namespace lumbra::movie
