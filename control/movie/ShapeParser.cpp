#include "control/movie/ShapeParser.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace lumbra::movie {

namespace {

// Largest distance, in twips, between a curve and the segments replacing it.
constexpr double kFlatness = 5.0;
constexpr int kMaxCurveSegments = 64;
// Flattening multiplies points; a shape beyond this many is refused.
constexpr std::size_t kMaxShapePoints = 2'000'000;

// An edge run kept as a polyline, oriented so that its fill lies on one side.
using Polyline = std::vector<Point>;

Argb averageColor(const std::vector<GradientStop>& stops)
{
    if (stops.empty())
        return 0xFF000000;
    double a = 0, r = 0, g = 0, b = 0;
    for (const auto& s : stops) {
        a += alphaOf(s.color);
        r += redOf(s.color);
        g += greenOf(s.color);
        b += blueOf(s.color);
    }
    double n = double(stops.size());
    return argb(unsigned(a / n + 0.5), unsigned(r / n + 0.5), unsigned(g / n + 0.5), unsigned(b / n + 0.5));
}

class ShapeBuilder {
public:
    ShapeBuilder(BitReader& in, int version, const BitmapTable* bitmaps)
        : in_(in), version_(version), bitmaps_(bitmaps) {}

    ShapeDef build()
    {
        shape_.bounds = in_.rect();
        if (version_ == 4) {
            in_.rect(); // edge bounds
            in_.u8();   // stroke and winding flags
        }
        readStyles();
        readRecords();
        finish();
        return std::move(shape_);
    }

    ShapeDef withStyles(std::vector<FillStyle> fills, std::vector<LineStyle> lines)
    {
        shape_.fills = std::move(fills);
        shape_.lines = std::move(lines);
        fillEdges_.resize(shape_.fills.size());
        lineRuns_.resize(shape_.lines.size());
        fillBits_ = in_.ub(4);
        lineBits_ = in_.ub(4);
        readRecords();
        finish();
        return std::move(shape_);
    }

    Path glyph()
    {
        shape_.fills.emplace_back();
        fillEdges_.resize(1);
        fillBits_ = in_.ub(4);
        lineBits_ = in_.ub(4);
        readRecords();
        finish();
        return std::move(shape_.fillPaths.front());
    }

private:
    Argb color() { return version_ >= 3 ? in_.rgba() : in_.rgb(); }

    unsigned count()
    {
        unsigned n = in_.u8();
        if (n == 0xFF && version_ >= 2)
            n = in_.u16();
        return n;
    }

    FillStyle fillStyle()
    {
        FillStyle style;
        unsigned type = in_.u8();
        if (type == 0x00) {
            style.fill.color = color();
        } else if (type == 0x10 || type == 0x12 || type == 0x13) {
            style.fill.kind = type == 0x10 ? Fill::Kind::LinearGradient
                            : type == 0x12 ? Fill::Kind::RadialGradient : Fill::Kind::FocalGradient;
            // The gradient square spans -16384..16384 units; scale it to -1..1.
            style.fill.gradientToPixels = in_.matrix() * Matrix::scaling(16384, 16384);
            unsigned head = in_.u8();
            // Spread 3 and interpolation 2, 3 are reserved; they read as the defaults.
            unsigned spread = head >> 6, interpolation = (head >> 4) & 3;
            style.fill.spread = spread == 1 ? Spread::Reflect : spread == 2 ? Spread::Repeat : Spread::Pad;
            style.fill.linearRgb = interpolation == 1;
            unsigned stops = head & 0x0F;
            for (unsigned i = 0; i < stops; ++i) {
                double ratio = in_.u8() / 255.0;
                style.fill.stops.push_back({ratio, color()});
            }
            if (type == 0x13)
                style.fill.focus = std::clamp(in_.fixed8(), -1.0, 1.0);
            style.fill.color = averageColor(style.fill.stops);
        } else if (type >= 0x40 && type <= 0x43) {
            std::uint16_t id = in_.u16();
            style.fill.kind = Fill::Kind::Bitmap;
            style.fill.bitmapToPixels = in_.matrix();
            style.fill.repeat = type == 0x40 || type == 0x42;
            style.fill.smooth = type == 0x40 || type == 0x41;
            auto found = bitmaps_ ? bitmaps_->find(id) : BitmapTable::const_iterator{};
            if (bitmaps_ && found != bitmaps_->end())
                style.fill.bitmap = found->second;
            else
                style.visible = false;
        } else {
            throw FormatError("unknown fill style type");
        }
        return style;
    }

    static CapStyle cap(unsigned raw)
    {
        return raw == 1 ? CapStyle::None : raw == 2 ? CapStyle::Square : CapStyle::Round;
    }

    LineStyle lineStyle()
    {
        LineStyle style;
        style.width = in_.u16();
        if (version_ < 4) {
            style.color = color();
            return style;
        }
        style.startCap = cap(in_.ub(2));
        unsigned join = in_.ub(2);
        style.join = join == 1 ? JoinStyle::Bevel : join == 2 ? JoinStyle::Miter : JoinStyle::Round;
        bool hasFill = in_.flag();
        in_.ub(3); // horizontal and vertical scaling off, pixel hinting
        in_.ub(6); // reserved, no close
        style.endCap = cap(in_.ub(2));
        if (join == 2)
            style.miterLimit = in_.fixed8();
        if (hasFill) {
            FillStyle fill = fillStyle();
            style.color = fill.fill.color;
            if (fill.fill.kind != Fill::Kind::Solid && fill.visible)
                style.fill = std::move(fill.fill);
        } else {
            style.color = in_.rgba();
        }
        return style;
    }

    // New styles are appended; the records' indexes count from the current base.
    void readStyles()
    {
        fillBase_ = shape_.fills.size();
        lineBase_ = shape_.lines.size();
        for (unsigned n = count(); n > 0; --n)
            shape_.fills.push_back(fillStyle());
        for (unsigned n = count(); n > 0; --n)
            shape_.lines.push_back(lineStyle());
        fillEdges_.resize(shape_.fills.size());
        lineRuns_.resize(shape_.lines.size());
        in_.align();
        fillBits_ = in_.ub(4);
        lineBits_ = in_.ub(4);
        fill0_ = fill1_ = line_ = -1;
    }

    int styleIndex(unsigned raw, std::size_t base, std::size_t size)
    {
        if (raw == 0)
            return -1;
        std::size_t index = base + raw - 1;
        if (index >= size)
            throw FormatError("shape style index out of range");
        return int(index);
    }

    void readRecords()
    {
        for (;;) {
            if (in_.flag()) {
                edge();
                continue;
            }
            unsigned flags = in_.ub(5);
            if (flags == 0)
                return;
            if (flags & 0x01) {
                unsigned n = in_.ub(5);
                double x = in_.sb(n);
                double y = in_.sb(n);
                pen_ = {x, y};
                lineOpen_ = false;
            }
            if (flags & 0x02)
                fill0_ = styleIndex(in_.ub(fillBits_), fillBase_, shape_.fills.size());
            if (flags & 0x04)
                fill1_ = styleIndex(in_.ub(fillBits_), fillBase_, shape_.fills.size());
            if (flags & 0x08) {
                line_ = styleIndex(in_.ub(lineBits_), lineBase_, shape_.lines.size());
                lineOpen_ = false;
            }
            if (flags & 0x10) {
                readStyles();
                lineOpen_ = false;
            }
        }
    }

    void edge()
    {
        Polyline points{pen_};
        if (in_.flag()) {
            unsigned n = in_.ub(4) + 2;
            double dx = 0, dy = 0;
            if (in_.flag()) {
                dx = in_.sb(n);
                dy = in_.sb(n);
            } else if (in_.flag()) {
                dy = in_.sb(n);
            } else {
                dx = in_.sb(n);
            }
            points.push_back({pen_.x + dx, pen_.y + dy});
        } else {
            unsigned n = in_.ub(4) + 2;
            Point control{pen_.x + in_.sb(n), pen_.y + in_.sb(n)};
            Point anchor{control.x + in_.sb(n), control.y + in_.sb(n)};
            flattenCurve(pen_, control, anchor, points);
        }
        pen_ = points.back();
        addEdge(points);
    }

    static void flattenCurve(Point from, Point control, Point to, Polyline& out)
    {
        double ddx = from.x - 2 * control.x + to.x;
        double ddy = from.y - 2 * control.y + to.y;
        double bend = std::sqrt(ddx * ddx + ddy * ddy);
        int segments = std::clamp(int(std::ceil(std::sqrt(bend / (8 * kFlatness)))), 1, kMaxCurveSegments);
        for (int i = 1; i <= segments; ++i) {
            double t = double(i) / segments, u = 1 - t;
            out.push_back({u * u * from.x + 2 * u * t * control.x + t * t * to.x,
                           u * u * from.y + 2 * u * t * control.y + t * t * to.y});
        }
    }

    void addEdge(const Polyline& points)
    {
        points_ += points.size();
        if (points_ > kMaxShapePoints)
            throw FormatError("shape too complex");
        if (fill1_ >= 0)
            fillEdges_[fill1_].push_back(points);
        if (fill0_ >= 0)
            fillEdges_[fill0_].emplace_back(points.rbegin(), points.rend());
        if (line_ >= 0) {
            auto& runs = lineRuns_[line_];
            if (lineOpen_ && !runs.empty())
                runs.back().insert(runs.back().end(), points.begin() + 1, points.end());
            else
                runs.push_back(points);
            lineOpen_ = true;
        }
    }

    // Joins the oriented edges of one fill into closed contours, end to start.
    static Path chain(std::vector<Polyline>& edges)
    {
        using Key = std::pair<double, double>;
        std::multimap<Key, std::size_t> byStart;
        for (std::size_t i = 0; i < edges.size(); ++i)
            byStart.emplace(Key{edges[i].front().x, edges[i].front().y}, i);
        std::vector<bool> used(edges.size(), false);
        Path path;
        for (std::size_t first = 0; first < edges.size(); ++first) {
            if (used[first])
                continue;
            Contour contour = edges[first];
            used[first] = true;
            Point start = contour.front();
            for (;;) {
                Point end = contour.back();
                if (contour.size() > 1 && end.x == start.x && end.y == start.y)
                    break;
                auto range = byStart.equal_range(Key{end.x, end.y});
                auto next = std::find_if(range.first, range.second, [&](const auto& e) { return !used[e.second]; });
                if (next == range.second)
                    break;
                used[next->second] = true;
                const Polyline& piece = edges[next->second];
                contour.insert(contour.end(), piece.begin() + 1, piece.end());
            }
            if (contour.size() > 1 && contour.back().x == start.x && contour.back().y == start.y)
                contour.pop_back();
            if (contour.size() >= 3)
                path.push_back(std::move(contour));
        }
        return path;
    }

    void finish()
    {
        shape_.fillPaths.reserve(fillEdges_.size());
        for (auto& edges : fillEdges_)
            shape_.fillPaths.push_back(chain(edges));
        shape_.linePaths = std::move(lineRuns_);
    }

    BitReader& in_;
    int version_;
    const BitmapTable* bitmaps_;
    ShapeDef shape_;
    std::vector<std::vector<Polyline>> fillEdges_;
    std::vector<Path> lineRuns_;
    std::size_t fillBase_ = 0, lineBase_ = 0;
    unsigned fillBits_ = 0, lineBits_ = 0;
    int fill0_ = -1, fill1_ = -1, line_ = -1;
    Point pen_;
    bool lineOpen_ = false;
    std::size_t points_ = 0;
};

} // namespace

ShapeDef parseShape(BitReader& in, int shapeVersion, const BitmapTable* bitmaps)
{
    return ShapeBuilder(in, shapeVersion, bitmaps).build();
}

ShapeDef parseShapeRecords(BitReader& in, std::vector<FillStyle> fills, std::vector<LineStyle> lines)
{
    return ShapeBuilder(in, 1, nullptr).withStyles(std::move(fills), std::move(lines));
}

Path parseGlyph(BitReader& in)
{
    return ShapeBuilder(in, 1, nullptr).glyph();
}

} // namespace lumbra::movie
