#include "control/movie/MorphShape.h"

#include "control/movie/BitWriter.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// The morph's records hold at most this many: as many as a shape's points.
constexpr std::size_t kMaxRecords = 1'000'000;

unsigned count(BitReader& in)
{
    unsigned n = in.u8();
    return n == 0xFF ? in.u16() : n;
}

void readFill(BitReader& in, const BitmapTable* bitmaps, FillStyle& start, FillStyle& end)
{
    unsigned type = in.u8();
    if (type == 0x00) {
        start.fill.color = in.rgba();
        end.fill.color = in.rgba();
    } else if (type == 0x10 || type == 0x12 || type == 0x13) {
        Fill::Kind kind = type == 0x10 ? Fill::Kind::LinearGradient
                        : type == 0x12 ? Fill::Kind::RadialGradient : Fill::Kind::FocalGradient;
        start.fill.kind = end.fill.kind = kind;
        start.fill.gradientToPixels = in.matrix() * Matrix::scaling(16384, 16384);
        end.fill.gradientToPixels = in.matrix() * Matrix::scaling(16384, 16384);
        unsigned head = in.u8();
        unsigned spread = head >> 6;
        start.fill.spread = end.fill.spread = spread == 1 ? Spread::Reflect : spread == 2 ? Spread::Repeat : Spread::Pad;
        start.fill.linearRgb = end.fill.linearRgb = ((head >> 4) & 3) == 1;
        for (unsigned i = 0, n = head & 0x0F; i < n; ++i) {
            double r0 = in.u8() / 255.0;
            Argb c0 = in.rgba();
            double r1 = in.u8() / 255.0;
            Argb c1 = in.rgba();
            start.fill.stops.push_back({r0, c0});
            end.fill.stops.push_back({r1, c1});
        }
        if (type == 0x13) {
            start.fill.focus = std::clamp(in.fixed8(), -1.0, 1.0);
            end.fill.focus = std::clamp(in.fixed8(), -1.0, 1.0);
        }
    } else if (type >= 0x40 && type <= 0x43) {
        std::uint16_t id = in.u16();
        start.fill.kind = end.fill.kind = Fill::Kind::Bitmap;
        start.fill.bitmapToPixels = in.matrix();
        end.fill.bitmapToPixels = in.matrix();
        start.fill.repeat = end.fill.repeat = type == 0x40 || type == 0x42;
        start.fill.smooth = end.fill.smooth = type == 0x40 || type == 0x41;
        auto found = bitmaps ? bitmaps->find(id) : BitmapTable::const_iterator{};
        if (bitmaps && found != bitmaps->end())
            start.fill.bitmap = end.fill.bitmap = found->second;
        else
            start.visible = end.visible = false;
    } else {
        throw FormatError("unknown morph fill style type");
    }
}

CapStyle cap(unsigned raw) { return raw == 1 ? CapStyle::None : raw == 2 ? CapStyle::Square : CapStyle::Round; }

void readLine(BitReader& in, bool second, const BitmapTable* bitmaps, LineStyle& start, LineStyle& end)
{
    start.width = in.u16();
    end.width = in.u16();
    if (!second) {
        start.color = in.rgba();
        end.color = in.rgba();
        return;
    }
    start.startCap = end.startCap = cap(in.ub(2));
    unsigned join = in.ub(2);
    start.join = end.join = join == 1 ? JoinStyle::Bevel : join == 2 ? JoinStyle::Miter : JoinStyle::Round;
    bool hasFill = in.flag();
    in.ub(3); // scaling and hinting
    in.ub(6); // reserved, no close
    start.endCap = end.endCap = cap(in.ub(2));
    if (join == 2)
        start.miterLimit = end.miterLimit = in.fixed8();
    if (!hasFill) {
        start.color = in.rgba();
        end.color = in.rgba();
        return;
    }
    FillStyle s, e;
    readFill(in, bitmaps, s, e);
    start.color = s.fill.stops.empty() ? s.fill.color : s.fill.stops.front().color;
    end.color = e.fill.stops.empty() ? e.fill.color : e.fill.stops.front().color;
    if (s.fill.kind != Fill::Kind::Solid && s.visible) {
        start.fill = s.fill;
        end.fill = e.fill;
    }
}

std::vector<MorphRecord> readRecords(BitReader& in)
{
    std::vector<MorphRecord> records;
    unsigned fillBits = in.ub(4), lineBits = in.ub(4);
    Point pen;
    for (;;) {
        if (records.size() > kMaxRecords)
            throw FormatError("morph shape too complex");
        MorphRecord r;
        if (in.flag()) {
            r.edge = true;
            bool straight = in.flag();
            unsigned n = in.ub(4) + 2;
            if (straight) {
                double dx = 0, dy = 0;
                if (in.flag()) {
                    dx = in.sb(n);
                    dy = in.sb(n);
                } else if (in.flag()) {
                    dy = in.sb(n);
                } else {
                    dx = in.sb(n);
                }
                r.to = {pen.x + dx, pen.y + dy};
            } else {
                Point control{pen.x + in.sb(n), pen.y + in.sb(n)};
                r.control = control;
                r.to = {control.x + in.sb(n), control.y + in.sb(n)};
            }
            pen = r.to;
            records.push_back(r);
            continue;
        }
        unsigned flags = in.ub(5);
        if (flags == 0)
            break;
        if (flags & 0x10)
            throw FormatError("morph shapes have no new styles");
        if (flags & 0x01) {
            unsigned n = in.ub(5);
            double x = in.sb(n);
            double y = in.sb(n);
            pen = {x, y};
            r.moveTo = pen;
        }
        if (flags & 0x02)
            r.fill0 = in.ub(fillBits);
        if (flags & 0x04)
            r.fill1 = in.ub(fillBits);
        if (flags & 0x08)
            r.line = in.ub(lineBits);
        records.push_back(r);
    }
    in.align();
    return records;
}

double mix(double a, double b, double t) { return a + (b - a) * t; }
Point mix(Point a, Point b, double t) { return {mix(a.x, b.x, t), mix(a.y, b.y, t)}; }

Argb mix(Argb a, Argb b, double t)
{
    auto c = [t](unsigned x, unsigned y) { return unsigned(std::lround(mix(double(x), double(y), t))); };
    return argb(c(alphaOf(a), alphaOf(b)), c(redOf(a), redOf(b)), c(greenOf(a), greenOf(b)), c(blueOf(a), blueOf(b)));
}

Matrix mix(const Matrix& a, const Matrix& b, double t)
{
    return {mix(a.a, b.a, t), mix(a.b, b.b, t), mix(a.c, b.c, t), mix(a.d, b.d, t), mix(a.tx, b.tx, t), mix(a.ty, b.ty, t)};
}

Fill mix(const Fill& a, const Fill& b, double t)
{
    Fill f = a;
    f.color = mix(a.color, b.color, t);
    for (std::size_t i = 0; i < f.stops.size() && i < b.stops.size(); ++i)
        f.stops[i] = {mix(a.stops[i].ratio, b.stops[i].ratio, t), mix(a.stops[i].color, b.stops[i].color, t)};
    f.gradientToPixels = mix(a.gradientToPixels, b.gradientToPixels, t);
    f.bitmapToPixels = mix(a.bitmapToPixels, b.bitmapToPixels, t);
    f.focus = mix(a.focus, b.focus, t);
    return f;
}

std::int32_t twips(double v) { return std::int32_t(std::lround(std::clamp(v, -1e9, 1e9))); }

// Writes the in-between records as a shape's: positions in whole twips, so
// that contours still close. Deltas wider than the format's 17 bits are cut.
class RecordWriter {
public:
    explicit RecordWriter(unsigned styleBits) : bits_(styleBits)
    {
        out_.ub(bits_, 4);
        out_.ub(bits_, 4);
    }

    void style(const MorphRecord& r, std::optional<Point> moveTo)
    {
        unsigned flags = (moveTo ? 0x01 : 0) | (r.fill0 ? 0x02 : 0) | (r.fill1 ? 0x04 : 0) | (r.line ? 0x08 : 0);
        if (flags == 0)
            return;
        out_.ub(0, 1);
        out_.ub(flags, 5);
        if (moveTo) {
            x_ = twips(moveTo->x);
            y_ = twips(moveTo->y);
            out_.ub(31, 5);
            out_.sb(x_, 31);
            out_.sb(y_, 31);
        }
        for (auto index : {r.fill0, r.fill1, r.line})
            if (index)
                out_.ub(*index, bits_);
    }

    void edge(Point to, std::optional<Point> control)
    {
        static constexpr std::int32_t kLimit = (1 << 16) - 1;
        auto delta = [](std::int32_t d) { return std::clamp(d, -kLimit, kLimit); };
        out_.ub(1, 1);
        if (!control) {
            std::int32_t dx = delta(twips(to.x) - x_), dy = delta(twips(to.y) - y_);
            out_.ub(1, 1);
            out_.ub(15, 4);
            out_.ub(1, 1);
            out_.sb(dx, 17);
            out_.sb(dy, 17);
            x_ += dx;
            y_ += dy;
            return;
        }
        std::int32_t cx = delta(twips(control->x) - x_), cy = delta(twips(control->y) - y_);
        std::int32_t ax = delta(twips(to.x) - x_ - cx), ay = delta(twips(to.y) - y_ - cy);
        out_.ub(0, 1);
        out_.ub(15, 4);
        out_.sb(cx, 17);
        out_.sb(cy, 17);
        out_.sb(ax, 17);
        out_.sb(ay, 17);
        x_ += cx + ax;
        y_ += cy + ay;
    }

    std::vector<std::uint8_t> finish()
    {
        out_.ub(0, 6);
        return out_.take();
    }

private:
    BitWriter out_;
    unsigned bits_;
    std::int32_t x_ = 0, y_ = 0;
};

} // namespace

MorphShapeDef parseMorphShape(BitReader& in, bool second, const BitmapTable* bitmaps)
{
    MorphShapeDef m;
    m.startBounds = in.rect();
    m.endBounds = in.rect();
    if (second) {
        in.rect();
        in.rect(); // edge bounds
        in.u8();   // stroke flags
    }
    std::uint32_t offset = in.u32();
    std::size_t stylesAt = in.position();
    for (unsigned n = count(in); n > 0; --n) {
        readFill(in, bitmaps, m.startFills.emplace_back(), m.endFills.emplace_back());
    }
    for (unsigned n = count(in); n > 0; --n)
        readLine(in, second, bitmaps, m.startLines.emplace_back(), m.endLines.emplace_back());
    m.startRecords = readRecords(in);
    // The end edges start where the offset says, counted from after it.
    std::size_t endAt = stylesAt + offset;
    if (endAt < in.position())
        throw FormatError("morph end edges overlap the start");
    in.skip(endAt - in.position());
    m.endRecords = readRecords(in);
    return m;
}

ShapeDef morphShapeAt(const MorphShapeDef& m, double ratio)
{
    double t = std::clamp(std::isfinite(ratio) ? ratio : 0.0, 0.0, 1.0);
    std::vector<FillStyle> fills = m.startFills;
    for (std::size_t i = 0; i < fills.size(); ++i)
        fills[i].fill = mix(m.startFills[i].fill, m.endFills[i].fill, t);
    std::vector<LineStyle> lines = m.startLines;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        lines[i].width = mix(m.startLines[i].width, m.endLines[i].width, t);
        lines[i].color = mix(m.startLines[i].color, m.endLines[i].color, t);
        if (m.startLines[i].fill && m.endLines[i].fill)
            lines[i].fill = mix(*m.startLines[i].fill, *m.endLines[i].fill, t);
    }
    std::size_t styles = std::max(fills.size(), lines.size());
    unsigned bits = 1;
    while ((std::size_t(1) << bits) <= styles && bits < 16)
        ++bits;
    RecordWriter out(bits);
    // Edges pair up in order; a style change at the start pairs with the end's
    // next style change, whose move gives the end pen.
    std::size_t e = 0;
    Point startPen, endPen;
    for (const MorphRecord& s : m.startRecords) {
        if (!s.edge) {
            std::optional<Point> endMove;
            if (e < m.endRecords.size() && !m.endRecords[e].edge)
                endMove = m.endRecords[e++].moveTo;
            if (s.moveTo) {
                startPen = *s.moveTo;
                endPen = endMove.value_or(*s.moveTo);
            }
            out.style(s, s.moveTo ? std::optional<Point>(mix(startPen, endPen, t)) : std::nullopt);
            continue;
        }
        while (e < m.endRecords.size() && !m.endRecords[e].edge) {
            if (m.endRecords[e].moveTo)
                endPen = *m.endRecords[e].moveTo;
            ++e;
        }
        if (e >= m.endRecords.size())
            break; // the end shape has fewer edges: the rest cannot morph
        const MorphRecord& d = m.endRecords[e++];
        std::optional<Point> control;
        if (s.control || d.control) {
            Point c0 = s.control.value_or(mix(startPen, s.to, 0.5));
            Point c1 = d.control.value_or(mix(endPen, d.to, 0.5));
            control = mix(c0, c1, t);
        }
        out.edge(mix(s.to, d.to, t), control);
        startPen = s.to;
        endPen = d.to;
    }
    std::vector<std::uint8_t> records = out.finish();
    BitReader in(records);
    ShapeDef shape = parseShapeRecords(in, std::move(fills), std::move(lines));
    shape.bounds = {mix(m.startBounds.xMin, m.endBounds.xMin, t), mix(m.startBounds.yMin, m.endBounds.yMin, t),
                    mix(m.startBounds.xMax, m.endBounds.xMax, t), mix(m.startBounds.yMax, m.endBounds.yMax, t)};
    return shape;
}

} // namespace lumbra::movie
