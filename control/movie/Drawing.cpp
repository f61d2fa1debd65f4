#include "control/movie/Drawing.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// Largest distance, in twips, between a drawn curve and the segments replacing it.
constexpr double kFlatness = 5.0;
constexpr int kMaxCurveSegments = 64;
// The points all drawings of a stage may hold together (styles count as one).
constexpr std::size_t kMaxPoints = 2'000'000;

bool samePoint(Point a, Point b) { return a.x == b.x && a.y == b.y; }

} // namespace

Drawing::Drawing(std::shared_ptr<std::size_t> pointsInUse) : pointsInUse_(std::move(pointsInUse)) {}

Drawing::~Drawing() { *pointsInUse_ -= points_; }

std::shared_ptr<Drawing> Drawing::copy() const
{
    if (*pointsInUse_ + points_ > kMaxPoints)
        return nullptr;
    auto out = std::make_shared<Drawing>(pointsInUse_);
    out->shape_ = shape_;
    out->pen_ = pen_;
    out->fill_ = fill_;
    out->line_ = line_;
    out->lineOpen_ = lineOpen_;
    out->fillStart_ = fillStart_;
    out->anyBounds_ = anyBounds_;
    out->charge(points_);
    return out;
}

bool Drawing::full() const { return *pointsInUse_ >= kMaxPoints; }

void Drawing::charge(std::size_t points)
{
    points_ += points;
    *pointsInUse_ += points;
}

void Drawing::include(Point p, double halfWidth)
{
    Rect r{p.x - halfWidth, p.y - halfWidth, p.x + halfWidth, p.y + halfWidth};
    Rect& b = shape_.bounds;
    if (!anyBounds_) {
        b = r;
        anyBounds_ = true;
        return;
    }
    b.xMin = std::min(b.xMin, r.xMin);
    b.yMin = std::min(b.yMin, r.yMin);
    b.xMax = std::max(b.xMax, r.xMax);
    b.yMax = std::max(b.yMax, r.yMax);
}

void Drawing::lineStyle(std::optional<LineStyle> style)
{
    lineOpen_ = false;
    if (!style || full()) {
        line_ = -1;
        return;
    }
    charge(1);
    line_ = int(shape_.lines.size());
    shape_.lines.push_back(*style);
    shape_.linePaths.emplace_back();
}

std::optional<LineStyle> Drawing::pen() const
{
    if (line_ < 0)
        return std::nullopt;
    return shape_.lines[std::size_t(line_)];
}

void Drawing::beginFill(const Fill& fill)
{
    endFill();
    if (full())
        return;
    charge(1);
    fill_ = int(shape_.fills.size());
    shape_.fills.push_back({fill, true});
    shape_.fillPaths.push_back({Contour{pen_}});
    fillStart_ = pen_;
}

void Drawing::endFill()
{
    if (fill_ < 0)
        return;
    // The outline closes with an edge of the current pen, as a lineTo would.
    if (!samePoint(pen_, fillStart_))
        lineTo(fillStart_);
    fill_ = -1;
}

void Drawing::moveTo(Point p)
{
    pen_ = p;
    lineOpen_ = false;
    if (fill_ >= 0 && !full()) {
        // A new outline of the same fill; the canvas closes the one before.
        charge(1);
        shape_.fillPaths[std::size_t(fill_)].push_back(Contour{p});
        fillStart_ = p;
    }
}

void Drawing::lineTo(Point p) { extend({p}); }

void Drawing::curveTo(Point control, Point to)
{
    Point from = pen_;
    double ddx = from.x - 2 * control.x + to.x;
    double ddy = from.y - 2 * control.y + to.y;
    double bend = std::hypot(ddx, ddy);
    int segments = 1;
    if (std::isfinite(bend))
        segments = std::clamp(int(std::ceil(std::sqrt(bend / (8 * kFlatness)))), 1, kMaxCurveSegments);
    Contour points;
    for (int i = 1; i <= segments; ++i) {
        double t = double(i) / segments, u = 1 - t;
        points.push_back({u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                          u * u * from.y + 2 * u * t * control.y + t * t * to.y});
    }
    points.back() = to;
    extend(points);
}

void Drawing::extend(const Contour& points)
{
    if (full()) {
        pen_ = points.back();
        return;
    }
    charge(points.size());
    if (fill_ >= 0) {
        Contour& outline = shape_.fillPaths[std::size_t(fill_)].back();
        outline.insert(outline.end(), points.begin(), points.end());
        include(pen_, 0);
        for (Point p : points)
            include(p, 0);
    }
    if (line_ >= 0) {
        Path& runs = shape_.linePaths[std::size_t(line_)];
        if (!lineOpen_)
            runs.push_back(Contour{pen_});
        runs.back().insert(runs.back().end(), points.begin(), points.end());
        lineOpen_ = true;
        double half = shape_.lines[std::size_t(line_)].width / 2;
        include(pen_, half);
        for (Point p : points)
            include(p, half);
    }
    pen_ = points.back();
}

void Drawing::clear()
{
    *pointsInUse_ -= points_;
    points_ = 0;
    shape_ = {};
    pen_ = {};
    fill_ = line_ = -1;
    lineOpen_ = anyBounds_ = false;
}

} // namespace lumbra::movie
