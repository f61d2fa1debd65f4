// TextSnapshot (version 7 on): clip.getTextSnapshot() reads the static text
// (DefineText) the clip holds, its characters in depth order, numbered from
// 0. Selections are kept with the text objects, so every snapshot of a clip
// sees the same ones. Positions are the clip's, in pixels.
#include "control/movie/Playback.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/Machine.h"

#include <cmath>

namespace lumbra::movie {

namespace {

// One character of the clip's static text.
struct SnapshotChar {
    DisplayObject* text;
    std::size_t index; // into the text's glyphs
    const StaticGlyph& glyph() const { return text->shape()->glyphs[index]; }
    bool lineStart() const { return glyph().lineStart; }
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
// point (clip pixels), else the nearest within closeDist of its box; -1 for none.
Value hitTestTextNearPos(NativeCall& c)
{
    auto chars = characters(c);
    double x = c.number(0) * kTwips, y = c.number(1) * kTwips;
    double reach = c.args.size() > 2 ? c.number(2) * kTwips : 0;
    if (!std::isfinite(x) || !std::isfinite(y) || std::isnan(reach))
        return -1.0;
    double best = reach;
    double found = -1;
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const StaticGlyph& g = chars[i].glyph();
        Point origin = chars[i].text->matrix.apply({g.x, g.y});
        // The box runs from the baseline up by the font height.
        double dx = std::max({origin.x - x, x - (origin.x + g.advance), 0.0});
        double dy = std::max({origin.y - g.height - y, y - origin.y, 0.0});
        double distance = std::hypot(dx, dy);
        if (distance <= best && (found < 0 || distance < best)) {
            best = distance;
            found = double(i);
        }
    }
    return found;
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
    if (ActionObject* clip = m.prototypes().clip)
        clip->set(u"getTextSnapshot", Value(m.newFunction(getTextSnapshot)), DontEnum | DontDelete | OnlyFrom7);
}

} // namespace lumbra::movie
