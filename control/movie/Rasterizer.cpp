#include "control/movie/Rasterizer.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

PixelRect intersect(const PixelRect& a, const PixelRect& b)
{
    PixelRect r{std::max(a.x0, b.x0), std::max(a.y0, b.y0), std::min(a.x1, b.x1), std::min(a.y1, b.y1)};
    return r.empty() ? PixelRect{} : r;
}

PixelRect pixelBounds(const Path& path, double margin)
{
    double x0 = HUGE_VAL, y0 = HUGE_VAL, x1 = -HUGE_VAL, y1 = -HUGE_VAL;
    for (const Contour& contour : path)
        for (Point p : contour) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y))
                continue;
            x0 = std::min(x0, p.x);
            y0 = std::min(y0, p.y);
            x1 = std::max(x1, p.x);
            y1 = std::max(y1, p.y);
        }
    if (x0 > x1)
        return {};
    // Far-away geometry is clipped by the caller; keep the numbers in int range.
    auto clampInt = [](double v) { return int(std::clamp(v, -1e8, 1e8)); };
    return {clampInt(std::floor(x0 - margin)), clampInt(std::floor(y0 - margin)),
            clampInt(std::ceil(x1 + margin)) + 1, clampInt(std::ceil(y1 + margin)) + 1};
}

Coverage::Coverage(const Path& path, const PixelRect& clip, FillRule rule)
    : area_(intersect(pixelBounds(path), clip))
{
    if (area_.empty())
        return;
    std::size_t w = std::size_t(area_.width()), h = std::size_t(area_.height());
    // One spare cell per row: an edge on the right border spills into it.
    std::vector<float> acc((w + 2) * h, 0.0f);
    for (const Contour& contour : path) {
        if (contour.size() < 2)
            continue;
        for (std::size_t i = 0; i < contour.size(); ++i) {
            Point a = contour[i], b = contour[(i + 1) % contour.size()];
            Point pa{a.x - area_.x0, a.y - area_.y0}, pb{b.x - area_.x0, b.y - area_.y0};
            addClippedLine(pa, pb, acc);
        }
    }
    cells_.resize(w * h);
    for (std::size_t y = 0; y < h; ++y) {
        const float* in = &acc[y * (w + 2)];
        std::uint8_t* out = &cells_[y * w];
        double sum = 0;
        for (std::size_t x = 0; x < w; ++x) {
            sum += in[x];
            double v = std::abs(sum);
            if (rule == FillRule::EvenOdd) {
                v = std::fmod(v, 2.0);
                if (v > 1)
                    v = 2 - v;
            } else {
                v = std::min(v, 1.0);
            }
            out[x] = std::uint8_t(std::lround(v * 255));
        }
    }
}

// Cuts the line at the area's left and right borders. Pieces beyond the left
// border still count: they are moved onto it, where their winding covers the
// whole row; pieces beyond the right border cover nothing and land in the
// spare cell.
void Coverage::addClippedLine(Point a, Point b, std::vector<float>& acc) const
{
    if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y))
        return;
    double h = area_.height(), w = area_.width();
    if (a.y == b.y || (a.y <= 0 && b.y <= 0) || (a.y >= h && b.y >= h))
        return;
    // Trim to the rows of the area first, so that x is only computed where needed.
    auto atY = [](Point p, Point q, double y) { return Point{p.x + (q.x - p.x) * (y - p.y) / (q.y - p.y), y}; };
    Point top = a.y < b.y ? a : b, bottom = a.y < b.y ? b : a;
    Point p = top.y < 0 ? atY(top, bottom, 0) : top;
    Point q = bottom.y > h ? atY(top, bottom, h) : bottom;
    if (a.y > b.y)
        std::swap(p, q);
    double cuts[2] = {0, w};
    Point pieces[4] = {p};
    int count = 1;
    for (double cx : cuts) {
        if ((p.x < cx && q.x > cx) || (p.x > cx && q.x < cx)) {
            double t = (cx - p.x) / (q.x - p.x);
            pieces[count++] = {cx, p.y + (q.y - p.y) * t};
        }
    }
    // The cuts must follow the direction of travel.
    if (count == 3 && (pieces[2].x - pieces[1].x) * (q.x - p.x) < 0)
        std::swap(pieces[1], pieces[2]);
    pieces[count++] = q;
    for (int i = 0; i + 1 < count; ++i) {
        Point s = pieces[i], e = pieces[i + 1];
        s.x = std::clamp(s.x, 0.0, w);
        e.x = std::clamp(e.x, 0.0, w);
        addLine(s, e, acc);
    }
}

// The signed area a line leaves in each cell of the rows it crosses; x and y
// lie within the area (x up to its width).
void Coverage::addLine(Point p0, Point p1, std::vector<float>& acc) const
{
    if (p0.y == p1.y)
        return;
    std::size_t stride = std::size_t(area_.width()) + 2;
    double dir = 1;
    if (p0.y > p1.y) {
        std::swap(p0, p1);
        dir = -1;
    }
    double dxdy = (p1.x - p0.x) / (p1.y - p0.y);
    // Stepping x row by row drifts by rounding: keep it between the ends,
    // which lie within the area, so that no cell falls outside its row.
    double xLow = std::min(p0.x, p1.x), xHigh = std::max(p0.x, p1.x);
    double x = p0.x;
    int yStart = int(std::floor(p0.y));
    int yEnd = std::min(int(std::ceil(p1.y)), area_.height());
    for (int y = std::max(yStart, 0); y < yEnd; ++y) {
        float* line = &acc[std::size_t(y) * stride];
        double dy = std::min(double(y + 1), p1.y) - std::max(double(y), p0.y);
        double xNext = std::clamp(x + dxdy * dy, xLow, xHigh);
        double d = dy * dir;
        double xa = std::min(x, xNext), xb = std::max(x, xNext);
        double xaFloor = std::floor(xa);
        int xai = int(xaFloor);
        double xbCeil = std::ceil(xb);
        int xbi = int(xbCeil);
        if (xbi <= xai + 1) {
            // Within one cell: the part right of the line's mean x spills over.
            double xmf = 0.5 * (x + xNext) - xaFloor;
            line[xai] += float(d - d * xmf);
            line[xai + 1] += float(d * xmf);
        } else {
            double s = 1 / (xb - xa);
            double xaf = xa - xaFloor;
            double a0 = 0.5 * s * (1 - xaf) * (1 - xaf);
            double xbf = xb - xbCeil + 1;
            double am = 0.5 * s * xbf * xbf;
            line[xai] += float(d * a0);
            if (xbi == xai + 2) {
                line[xai + 1] += float(d * (1 - a0 - am));
            } else {
                double a1 = s * (1.5 - xaf);
                line[xai + 1] += float(d * (a1 - a0));
                for (int xi = xai + 2; xi < xbi - 1; ++xi)
                    line[xi] += float(d * s);
                double a2 = a1 + (xbi - xai - 3) * s;
                line[xbi - 1] += float(d * (1 - a2 - am));
            }
            line[xbi] += float(d * am);
        }
        x = xNext;
    }
}

} // namespace lumbra::movie
