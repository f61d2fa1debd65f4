#include "control/movie/StrokeOutline.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumbra::movie {

namespace {

// Largest distance, in pixels, between an arc and the chords replacing it.
constexpr double kArcTolerance = 0.1;

double signedArea(const Contour& c)
{
    double a = 0;
    for (std::size_t i = 0; i < c.size(); ++i) {
        const Point& p = c[i];
        const Point& q = c[(i + 1) % c.size()];
        a += p.x * q.y - q.x * p.y;
    }
    return a / 2;
}

class Outliner {
public:
    Outliner(const Stroke& stroke) : stroke_(stroke), half_(std::max(stroke.width, 1.0) / 2) {}

    void contour(const Contour& points)
    {
        Contour c;
        for (Point p : points)
            if (std::isfinite(p.x) && std::isfinite(p.y) && (c.empty() || p.x != c.back().x || p.y != c.back().y))
                c.push_back(p);
        if (c.empty())
            return;
        if (c.size() == 1) {
            // A dot: round caps draw it, flat ones do not.
            if (stroke_.startCap == CapStyle::Round)
                circle(c[0]);
            else if (stroke_.startCap == CapStyle::Square)
                add({{c[0].x - half_, c[0].y - half_}, {c[0].x + half_, c[0].y - half_},
                     {c[0].x + half_, c[0].y + half_}, {c[0].x - half_, c[0].y + half_}});
            return;
        }
        bool closed = c.size() > 2 && c.front().x == c.back().x && c.front().y == c.back().y;
        // The contour builder leaves closing points in; a closed outline's first
        // point equals its last, so the segments are pairs of neighbours anyway.
        for (std::size_t i = 0; i + 1 < c.size(); ++i)
            segment(c[i], c[i + 1]);
        for (std::size_t i = 1; i + 1 < c.size(); ++i)
            join(c[i - 1], c[i], c[i + 1]);
        if (closed) {
            join(c[c.size() - 2], c[0], c[1]);
        } else {
            cap(c[1], c[0], stroke_.startCap);
            cap(c[c.size() - 2], c.back(), stroke_.endCap);
        }
    }

    Path take() { return std::move(out_); }

private:
    Point normal(Point a, Point b) const
    {
        double dx = b.x - a.x, dy = b.y - a.y, len = std::hypot(dx, dy);
        return {-dy / len * half_, dx / len * half_};
    }

    void add(Contour c)
    {
        if (signedArea(c) < 0)
            std::reverse(c.begin(), c.end());
        out_.push_back(std::move(c));
    }

    void segment(Point a, Point b)
    {
        Point n = normal(a, b);
        add({{a.x + n.x, a.y + n.y}, {b.x + n.x, b.y + n.y}, {b.x - n.x, b.y - n.y}, {a.x - n.x, a.y - n.y}});
    }

    void circle(Point p)
    {
        double step = 2 * std::acos(std::max(0.0, 1 - kArcTolerance / half_));
        int n = std::clamp(int(std::ceil(2 * std::numbers::pi / std::max(step, 1e-3))), 8, 128);
        Contour c;
        for (int i = 0; i < n; ++i) {
            double t = 2 * std::numbers::pi * i / n;
            c.push_back({p.x + half_ * std::cos(t), p.y + half_ * std::sin(t)});
        }
        add(std::move(c));
    }

    void join(Point a, Point p, Point b)
    {
        switch (stroke_.join) {
        case JoinStyle::Round:
            circle(p);
            return;
        case JoinStyle::Bevel:
        case JoinStyle::Miter:
            break;
        }
        Point n1 = normal(a, p), n2 = normal(p, b);
        double turn = (p.x - a.x) * (b.y - p.y) - (p.y - a.y) * (b.x - p.x);
        if (turn == 0)
            return;
        // The join fills the gap on the outer side of the corner.
        double side = turn > 0 ? -1 : 1;
        Point o1{p.x + side * n1.x, p.y + side * n1.y}, o2{p.x + side * n2.x, p.y + side * n2.y};
        if (stroke_.join == JoinStyle::Miter) {
            // The miter tip lies along the bisector of the two offsets.
            Point mid{(n1.x + n2.x) / 2, (n1.y + n2.y) / 2};
            double midLen2 = mid.x * mid.x + mid.y * mid.y;
            if (midLen2 > 0) {
                double scale = half_ * half_ / midLen2;
                double length = std::sqrt(midLen2) * scale; // from p to the tip
                if (length <= stroke_.miterLimit * half_) {
                    Point tip{p.x + side * mid.x * scale, p.y + side * mid.y * scale};
                    add({p, o1, tip, o2});
                    return;
                }
            }
        }
        add({p, o1, o2});
    }

    // The cap at `end`, the segment arriving from `from`.
    void cap(Point from, Point end, CapStyle style)
    {
        switch (style) {
        case CapStyle::None:
            return;
        case CapStyle::Round:
            circle(end);
            return;
        case CapStyle::Square: {
            Point n = normal(from, end);
            Point d{n.y, -n.x}; // half a width along the segment, outwards
            add({{end.x + n.x, end.y + n.y}, {end.x + n.x + d.x, end.y + n.y + d.y},
                 {end.x - n.x + d.x, end.y - n.y + d.y}, {end.x - n.x, end.y - n.y}});
            return;
        }
        }
    }

    const Stroke& stroke_;
    double half_;
    Path out_;
};

} // namespace

Path strokeOutline(const Path& lines, const Stroke& stroke)
{
    Outliner outliner(stroke);
    for (const Contour& c : lines)
        outliner.contour(c);
    return outliner.take();
}

} // namespace lumbra::movie
