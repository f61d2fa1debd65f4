#include "control/movie/MovieWriter.h"

#include "control/movie/TagCodes.h"
#include "control/movie/TextCodec.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

namespace lumbra::movie {

namespace {

std::int32_t twips(double v) { return std::int32_t(std::lround(v)); }

void writeTag(BitWriter& out, unsigned code, std::span<const std::uint8_t> body)
{
    if (body.size() < 0x3F) {
        out.u16((code << 6) | unsigned(body.size()));
    } else {
        out.u16((code << 6) | 0x3F);
        out.u32(std::uint32_t(body.size()));
    }
    out.bytes(body);
}

// Edge records of one outline, in integer twips so that contours close exactly.
class EdgeWriter {
public:
    EdgeWriter(BitWriter& out, Point start) : out_(out), x_(twips(start.x)), y_(twips(start.y)) {}

    void line(Point to)
    {
        std::int32_t dx = twips(to.x) - x_, dy = twips(to.y) - y_;
        if (dx == 0 && dy == 0)
            return;
        unsigned n = std::max({2u, BitWriter::signedBits(dx), BitWriter::signedBits(dy)});
        out_.ub(1, 1); // edge
        out_.ub(1, 1); // straight
        out_.ub(n - 2, 4);
        out_.ub(1, 1); // general line
        out_.sb(dx, n);
        out_.sb(dy, n);
        x_ += dx;
        y_ += dy;
    }

    void curve(Point control, Point to)
    {
        std::int32_t cx = twips(control.x) - x_, cy = twips(control.y) - y_;
        std::int32_t ax = twips(to.x) - x_ - cx, ay = twips(to.y) - y_ - cy;
        unsigned n = std::max({2u, BitWriter::signedBits(cx), BitWriter::signedBits(cy),
                               BitWriter::signedBits(ax), BitWriter::signedBits(ay)});
        out_.ub(1, 1); // edge
        out_.ub(0, 1); // curved
        out_.ub(n - 2, 4);
        out_.sb(cx, n);
        out_.sb(cy, n);
        out_.sb(ax, n);
        out_.sb(ay, n);
        x_ += cx + ax;
        y_ += cy + ay;
    }

private:
    BitWriter& out_;
    std::int32_t x_, y_;
};

Rect outlineBounds(const std::vector<Outline>& outlines, double margin)
{
    Rect r{1e300, 1e300, -1e300, -1e300};
    auto add = [&r](Point p) {
        r.xMin = std::min(r.xMin, p.x);
        r.yMin = std::min(r.yMin, p.y);
        r.xMax = std::max(r.xMax, p.x);
        r.yMax = std::max(r.yMax, p.y);
    };
    for (const auto& o : outlines) {
        add(o.start);
        for (const auto& s : o.segments) {
            add(s.to);
            if (s.control)
                add(*s.control);
        }
    }
    if (r.xMin > r.xMax)
        return {};
    return {r.xMin - margin, r.yMin - margin, r.xMax + margin, r.yMax + margin};
}

} // namespace

Outline Outline::rectangle(const Rect& r)
{
    return polygon({{r.xMin, r.yMin}, {r.xMax, r.yMin}, {r.xMax, r.yMax}, {r.xMin, r.yMax}});
}

Outline Outline::ellipse(Point c, double rx, double ry)
{
    // Eight quadratic arcs: each control point sits on the tangents' crossing.
    constexpr int kArcs = 8;
    const double step = 2 * std::numbers::pi / kArcs;
    const double reach = 1 / std::cos(step / 2);
    Outline o;
    o.start = {c.x + rx, c.y};
    for (int i = 1; i <= kArcs; ++i) {
        double mid = (i - 0.5) * step, end = i * step;
        o.segments.push_back({{c.x + rx * std::cos(end), c.y + ry * std::sin(end)},
                              Point{c.x + rx * reach * std::cos(mid), c.y + ry * reach * std::sin(mid)}});
    }
    o.segments.back().to = o.start;
    return o;
}

Outline Outline::polygon(const std::vector<Point>& points)
{
    Outline o;
    if (points.empty())
        return o;
    o.start = points.front();
    for (std::size_t i = 1; i < points.size(); ++i)
        o.segments.push_back({points[i], std::nullopt});
    o.segments.push_back({points.front(), std::nullopt});
    return o;
}

void TimelineWriter::tag(unsigned code, std::span<const std::uint8_t> body)
{
    writeTag(tags_, code, body);
    open_ = true;
}

void TimelineWriter::place(const Placement& placement)
{
    BitWriter body;
    unsigned flags = 0x02 | 0x04 | (placement.name.empty() ? 0 : 0x20);
    body.u8(flags);
    body.u16(placement.depth);
    body.u16(placement.character);
    body.matrix(placement.matrix);
    if (!placement.name.empty())
        body.cstring(encodeUtf8(placement.name));
    tag(tag::PlaceObject2, body.take());
}

void TimelineWriter::move(int depth, const Matrix& matrix)
{
    BitWriter body;
    body.u8(0x01 | 0x04);
    body.u16(depth);
    body.matrix(matrix);
    tag(tag::PlaceObject2, body.take());
}

void TimelineWriter::remove(int depth)
{
    BitWriter body;
    body.u16(depth);
    tag(tag::RemoveObject2, body.take());
}

void TimelineWriter::actions(const ActionBytes& actions) { tag(tag::DoAction, actions); }

void TimelineWriter::label(std::u16string_view name)
{
    BitWriter body;
    body.cstring(encodeUtf8(name));
    tag(tag::FrameLabel, body.take());
}

void TimelineWriter::showFrame()
{
    writeTag(tags_, tag::ShowFrame, {});
    ++frames_;
    open_ = false;
}

int TimelineWriter::finishedFrameCount() const { return frames_ + (open_ || frames_ == 0 ? 1 : 0); }

std::vector<std::uint8_t> TimelineWriter::finish() const
{
    TimelineWriter copy = *this;
    if (copy.frameCount() < finishedFrameCount())
        copy.showFrame();
    writeTag(copy.tags_, tag::End, {});
    return copy.tags_.take();
}

MovieWriter::MovieWriter(double widthTwips, double heightTwips, double frameRate, int version)
    : frame_{0, 0, widthTwips, heightTwips}, frameRate_(frameRate), version_(version)
{
}

void MovieWriter::setBackground(Argb color)
{
    BitWriter body;
    body.rgb(color);
    root_.tag(tag::SetBackgroundColor, body.take());
}

std::uint16_t MovieWriter::defineShape(const std::vector<Outline>& outlines, const ShapeStyle& style)
{
    std::uint16_t id = nextId_++;
    bool line = style.lineWidth > 0;
    BitWriter body;
    body.u16(id);
    body.rect(outlineBounds(outlines, line ? style.lineWidth / 2 : 0));
    body.u8(style.fill ? 1 : 0);
    if (style.fill) {
        body.u8(0x00);
        body.rgba(*style.fill);
    }
    body.u8(line ? 1 : 0);
    if (line) {
        body.u16(unsigned(std::lround(style.lineWidth)));
        body.rgba(style.lineColor);
    }
    body.ub(1, 4); // fill index bits
    body.ub(1, 4); // line index bits
    for (const auto& outline : outlines) {
        std::int32_t x = twips(outline.start.x), y = twips(outline.start.y);
        unsigned n = std::max(BitWriter::signedBits(x), BitWriter::signedBits(y));
        body.ub(0, 1);                       // style change
        body.ub(0, 1);                       // no new styles
        body.ub(1, 1);                       // line style
        body.ub(1, 1);                       // fill style 1
        body.ub(0, 1);                       // fill style 0
        body.ub(1, 1);                       // move to
        body.ub(n, 5);
        body.sb(x, n);
        body.sb(y, n);
        body.ub(style.fill ? 1 : 0, 1);
        body.ub(line ? 1 : 0, 1);
        EdgeWriter edges(body, outline.start);
        for (const auto& segment : outline.segments) {
            if (segment.control)
                edges.curve(*segment.control, segment.to);
            else
                edges.line(segment.to);
        }
    }
    body.ub(0, 6); // end of shape
    root_.tag(tag::DefineShape3, body.take());
    return id;
}

std::uint16_t MovieWriter::fontFor(std::u16string_view name)
{
    auto found = fonts_.find(std::u16string(name));
    if (found != fonts_.end())
        return found->second;
    std::uint16_t id = nextId_++;
    std::string utf8 = encodeUtf8(name);
    if (utf8.size() > 255)
        throw std::invalid_argument("font name longer than 255 bytes");
    BitWriter body;
    body.u16(id);
    body.u8(0);  // flags
    body.u8(0);  // language
    body.u8(unsigned(utf8.size()));
    body.bytes({reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size()});
    body.u16(0); // no glyphs: the system font draws the text
    body.u16(0); // code table offset
    root_.tag(tag::DefineFont2, body.take());
    fonts_.emplace(std::u16string(name), id);
    return id;
}

std::uint16_t MovieWriter::defineTextField(const TextFieldDefinition& definition)
{
    std::uint16_t font = fontFor(definition.font);
    std::uint16_t id = nextId_++;
    BitWriter body;
    body.u16(id);
    body.rect(definition.bounds);
    bool hasText = !definition.text.empty();
    unsigned first = (hasText ? 0x80 : 0) | (definition.wordWrap ? 0x40 : 0) | (definition.multiline ? 0x20 : 0) |
                     (definition.editable ? 0 : 0x08) | 0x04 | 0x01;
    unsigned second = 0x20 | (definition.border ? 0x08 : 0) | (definition.editable ? 0 : 0x10);
    body.u8(first);
    body.u8(second);
    body.u16(font);
    body.u16(unsigned(std::lround(definition.height)));
    body.rgba(definition.color);
    body.u8(definition.align == TextAlign::Right ? 1 : definition.align == TextAlign::Center ? 2
            : definition.align == TextAlign::Justify ? 3 : 0);
    body.u16(0); // margins, indent, leading
    body.u16(0);
    body.u16(0);
    body.u16(0);
    body.cstring(encodeUtf8(definition.variable));
    if (hasText)
        body.cstring(encodeUtf8(definition.text));
    root_.tag(tag::DefineEditText, body.take());
    return id;
}

std::uint16_t MovieWriter::defineButton(const ButtonDefinition& definition)
{
    std::uint16_t id = nextId_++;
    BitWriter body;
    body.u16(id);
    body.u8(definition.trackAsMenu ? 1 : 0);
    BitWriter records;
    int depth = 1;
    for (const auto& part : definition.parts) {
        records.u8(part.states & 0x0F);
        records.u16(part.character);
        records.u16(depth++);
        records.matrix(part.matrix);
        records.emptyColorTransform();
    }
    records.u8(0);
    auto recordBytes = records.take();
    body.u16(definition.actions.empty() ? 0 : unsigned(recordBytes.size() + 2));
    body.bytes(recordBytes);
    for (std::size_t i = 0; i < definition.actions.size(); ++i) {
        const auto& action = definition.actions[i];
        bool last = i + 1 == definition.actions.size();
        body.u16(last ? 0 : unsigned(action.actions.size() + 4));
        body.u8(action.conditions & 0xFF);
        body.u8(((action.conditions >> 8) & 0x01) | ((action.keyCode & 0x7F) << 1));
        body.bytes(action.actions);
    }
    root_.tag(tag::DefineButton2, body.take());
    return id;
}

std::uint16_t MovieWriter::defineSprite(const TimelineWriter& timeline)
{
    std::uint16_t id = nextId_++;
    BitWriter body;
    body.u16(id);
    auto tags = timeline.finish();
    body.u16(unsigned(timeline.finishedFrameCount()));
    body.bytes(tags);
    root_.tag(tag::DefineSprite, body.take());
    return id;
}

std::vector<std::uint8_t> MovieWriter::finish(bool compress) const
{
    auto tags = root_.finish();
    BitWriter body;
    body.rect(frame_);
    body.u16(unsigned(std::lround(std::clamp(frameRate_, 1.0 / 256, 255.0) * 256)));
    body.u16(unsigned(root_.finishedFrameCount()));
    body.bytes(tags);
    auto content = body.take();

    std::vector<std::uint8_t> file{std::uint8_t(compress ? 'C' : 'F'), 'W', 'S', std::uint8_t(version_)};
    std::uint32_t length = std::uint32_t(content.size() + 8);
    for (int i = 0; i < 4; ++i)
        file.push_back(std::uint8_t(length >> (8 * i)));
    if (!compress) {
        file.insert(file.end(), content.begin(), content.end());
        return file;
    }
    uLongf packedSize = compressBound(uLong(content.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, content.data(), uLong(content.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("compression failed");
    file.insert(file.end(), packed.begin(), packed.begin() + std::ptrdiff_t(packedSize));
    return file;
}

} // namespace lumbra::movie
