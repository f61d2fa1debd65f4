// TextSnapshot (version 7 on): clip.getTextSnapshot() reads the static text
// (DefineText) the clip holds, its characters in depth order, numbered from
// 0. Selections are kept with the text objects, so every snapshot of a clip
// sees the same ones. Positions are the clip's, in pixels. A character's box
// comes from its font's layout (ascent, descent, advance): static text whose
// font carries none has characters that no point hits.
#include "control/movie/Playback.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/Machine.h"

#include <array>
#include <cmath>

namespace lumbra::movie {

namespace {

// One character of the clip's static text.
struct SnapshotChar {
    DisplayObject* text;
    std::size_t index; // into the text's glyphs
    const StaticGlyph& glyph() const { return text->shape()->glyphs[index]; }
    bool lineStart() const { return glyph().lineStart; }
    // From the glyph's own units (origin on the baseline) to the clip's twips.
    Matrix toClip() const { return text->matrix * glyph().place; }
    // The box's corners in the glyph's units: lower left, lower right,
    // upper right, upper left. Without the font's layout the box stands on
    // the baseline, the font height tall.
    std::array<Point, 4> corners() const
    {
        const StaticGlyph& g = glyph();
        double top = g.metrics ? -g.ascent : -g.height, bottom = g.metrics ? g.descent : 0;
        return {Point{0, bottom}, Point{g.advance, bottom}, Point{g.advance, top}, Point{0, top}};
    }
};

// The characters of the clip the snapshot was taken of, kept as the
// object's primitive; none once the clip has gone.
std::vector<SnapshotChar> characters(NativeCall& c)
{
    std::vector<SnapshotChar> out;
    ActionObject* self = c.self();
    auto clip = self ? self->primitive.toClip() : nullptr;
    if (!clip)
        return out;
    for (const auto& [depth, child] : clip->children())
        if (const ShapeDef* shape = child->shape())
            for (std::size_t i = 0; i < shape->glyphs.size(); ++i)
                out.push_back({child.get(), i});
    return out;
}

// An index argument within 0..count; `absent` when it is not a number.
std::size_t indexArg(NativeCall& c, std::size_t i, std::size_t count, std::size_t absent)
{
    if (i >= c.args.size())
        return absent;
    double n = c.number(i);
    if (std::isnan(n))
        return absent;
    return std::size_t(std::clamp(n, 0.0, double(count)));
}

// The range [from, to) two arguments name; an end at or before the start
// takes the one character at the start.
std::pair<std::size_t, std::size_t> range(NativeCall& c, std::size_t count)
{
    std::size_t from = indexArg(c, 0, count, 0);
    std::size_t to = indexArg(c, 1, count, count);
    if (to <= from)
        to = std::min(from + 1, count);
    return {from, to};
}

bool selected(const SnapshotChar& ch)
{
    return ch.index < ch.text->selectedGlyphs.size() && ch.text->selectedGlyphs[ch.index];
}

// The characters picked by `take`, with a line end before each new line when asked.
template <typename Take>
std::u16string textOf(const std::vector<SnapshotChar>& chars, std::size_t from, std::size_t to, bool lineEnds, Take take)
{
    std::u16string out;
    for (std::size_t i = from; i < to; ++i) {
        if (!take(chars[i]))
            continue;
        if (lineEnds && chars[i].lineStart() && !out.empty())
            out += u'\n';
        out += chars[i].glyph().code;
    }
    return out;
}

Value getCount(NativeCall& c) { return double(characters(c).size()); }

Value getText(NativeCall& c)
{
    auto chars = characters(c);
    auto [from, to] = range(c, chars.size());
    return textOf(chars, from, to, c.machine.toBoolean(c.arg(2)), [](const SnapshotChar&) { return true; });
}

// findText(start, text, caseSensitive): where the text first stands from start on, or -1.
Value findText(NativeCall& c)
{
    auto chars = characters(c);
    std::size_t from = indexArg(c, 0, chars.size(), 0);
    std::u16string all = textOf(chars, 0, chars.size(), false, [](const SnapshotChar&) { return true; });
    std::u16string wanted = c.string(1);
    if (!c.machine.toBoolean(c.arg(2))) {
        all = foldCase(all);
        wanted = foldCase(wanted);
    }
    if (wanted.empty())
        return -1.0;
    auto at = all.find(wanted, from);
    return at == std::u16string::npos ? -1.0 : double(at);
}

// setSelected(from, to, select)
Value setSelected(NativeCall& c)
{
    auto chars = characters(c);
    auto [from, to] = range(c, chars.size());
    bool select = c.args.size() < 3 || c.machine.toBoolean(c.arg(2));
    for (std::size_t i = from; i < to; ++i) {
        auto& flags = chars[i].text->selectedGlyphs;
        flags.resize(chars[i].text->shape()->glyphs.size());
        flags[chars[i].index] = select;
    }
    c.machine.playback().dirty = true;
    return {};
}

// Whether any character of [from, to) is selected.
Value getSelected(NativeCall& c)
{
    auto chars = characters(c);
    auto [from, to] = range(c, chars.size());
    for (std::size_t i = from; i < to; ++i)
        if (selected(chars[i]))
            return true;
    return false;
}

Value getSelectedText(NativeCall& c)
{
    auto chars = characters(c);
    return textOf(chars, 0, chars.size(), c.machine.toBoolean(c.arg(0)), selected);
}

// hitTestTextNearPos(x, y, closeDist): the character whose box holds the
// point (clip pixels) or whose centre lies within closeDist of it, the one
// with the nearest centre winning; -1 for none.
Value hitTestTextNearPos(NativeCall& c)
{
    auto chars = characters(c);
    Point p{c.number(0) * kTwips, c.number(1) * kTwips};
    double reach = c.args.size() > 2 ? c.number(2) * kTwips : 0;
    if (!std::isfinite(p.x) || !std::isfinite(p.y))
        return -1.0;
    if (std::isnan(reach))
        reach = 0;
    double best = 0;
    double found = -1;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const StaticGlyph& g = chars[i].glyph();
        if (!g.metrics)
            continue;
        Matrix m = chars[i].toClip();
        auto box = chars[i].corners();
        Point local = m.inverse().apply(p);
        bool inside = local.x >= box[0].x && local.x <= box[1].x && local.y >= box[2].y && local.y <= box[0].y;
        Point centre = m.apply({(box[0].x + box[1].x) / 2, (box[0].y + box[2].y) / 2});
        double distance = std::hypot(centre.x - p.x, centre.y - p.y);
        if ((inside || distance <= reach) && (found < 0 || distance < best)) {
            best = distance;
            found = double(i);
        }
    }
    return found;
}

// getTextRunInfo(from, to): one object per character of [from, to) telling
// where it stands, in what font and colour.
Value getTextRunInfo(NativeCall& c)
{
    auto chars = characters(c);
    Machine& m = c.machine;
    std::vector<Value> out;
    auto [from, to] = range(c, chars.size());
    for (std::size_t i = from; i < to; ++i) {
        const StaticGlyph& g = chars[i].glyph();
        Matrix place = chars[i].toClip();
        ActionObject* info = m.newObject();
        info->set(u"indexInRun", double(i));
        info->set(u"selected", selected(chars[i]));
        info->set(u"font", g.font ? Value(*g.font) : Value());
        // Alpha in the top byte, as the colour with alpha reads in hexadecimal.
        info->set(u"color", double(g.color));
        info->set(u"height", g.height / kTwips);
        const std::pair<const char16_t*, double> terms[] = {
            {u"matrix_a", place.a}, {u"matrix_b", place.b}, {u"matrix_c", place.c}, {u"matrix_d", place.d},
            {u"matrix_tx", place.tx / kTwips}, {u"matrix_ty", place.ty / kTwips}};
        for (const auto& [name, value] : terms)
            info->set(name, value);
        auto box = chars[i].corners();
        for (std::size_t k = 0; k < box.size(); ++k) {
            Point corner = place.apply(box[k]);
            std::u16string name = u"corner" + std::u16string(1, char16_t(u'0' + k));
            info->set(name + u"x", corner.x / kTwips);
            info->set(name + u"y", corner.y / kTwips);
        }
        out.push_back(Value(info));
    }
    return Value(m.newArray(std::move(out)));
}

// getTextSnapshot(): a snapshot of the clip's static text.
Value getTextSnapshot(NativeCall& c)
{
    auto clip = c.thisValue.toClip();
    if (!clip || !clip->isClip())
        return {};
    ActionObject* proto = c.machine.get(c.machine.get(Value(c.machine.global()), u"TextSnapshot"), u"prototype").toObject();
    ActionObject* snapshot = c.machine.heap().make(ActionObject::Kind::Plain, proto ? proto : c.machine.prototypes().object);
    snapshot->primitive = c.thisValue;
    return Value(snapshot);
}

// Snapshots come from clips only: `new TextSnapshot()` reads nothing.
Value construct(NativeCall&) { return {}; }

} // namespace

void installTextSnapshot(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.global()->set(u"TextSnapshot", Value(m.newFunction(construct, proto)), DontEnum | OnlyFrom7);
    m.method(proto, u"getCount", getCount);
    m.method(proto, u"getText", getText);
    m.method(proto, u"findText", findText);
    m.method(proto, u"setSelected", setSelected);
    m.method(proto, u"getSelected", getSelected);
    m.method(proto, u"getSelectedText", getSelectedText);
    m.method(proto, u"hitTestTextNearPos", hitTestTextNearPos);
    m.method(proto, u"getTextRunInfo", getTextRunInfo);
    if (ActionObject* clip = m.prototypes().clip)
        clip->set(u"getTextSnapshot", Value(m.newFunction(getTextSnapshot)), DontEnum | DontDelete | OnlyFrom7);
}

} // namespace lumbra::movie
