// TextFormat: the character and paragraph format scripts read from and give
// to text fields.
#include "control/movie/TextField.h"
#include "control/movie/TextMetrics.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/TextFormatObject.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// Members in the order the constructor takes them, then the rest; the last
// ones are those version 8 added.
constexpr const char16_t* kMembers[] = {u"font", u"size", u"color", u"bold", u"italic", u"underline", u"url",
                                        u"target", u"align", u"leftMargin", u"rightMargin", u"indent",
                                        u"leading", u"blockIndent", u"tabStops", u"bullet", u"kerning",
                                        u"letterSpacing"};
constexpr std::size_t kMembersBefore8 = 16;

std::size_t memberCount(Machine& m) { return m.version() >= 8 ? std::size(kMembers) : kMembersBefore8; }

constexpr std::size_t kMaxTabStops = 256;

std::u16string_view alignName(TextAlign align)
{
    switch (align) {
    case TextAlign::Right: return u"right";
    case TextAlign::Center: return u"center";
    case TextAlign::Justify: return u"justify";
    case TextAlign::Left: break;
    }
    return u"left";
}

// Every member of a new format starts null; the constructor's arguments fill
// the first ones.
Value construct(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!c.constructing || !self)
        return {};
    for (std::size_t i = 0; i < memberCount(c.machine); ++i)
        self->set(kMembers[i], i < c.args.size() && !c.args[i].isUndefined() ? c.args[i] : Value::null());
    return {};
}

// The size of a text in this format on one line (or wrapped to a width).
Value getTextExtent(NativeCall& c)
{
    TextFormat format = TextFormat::defaults();
    format.merge(textFormatFrom(c.machine, c.thisValue));
    TextField field;
    field.setNewTextFormat(format);
    double wrap = c.args.size() > 1 ? c.number(1) : NAN;
    field.wordWrap = field.multiline = !std::isnan(wrap);
    field.bounds = Rect{0, 0, std::isnan(wrap) ? 1e7 : std::clamp(wrap, 0.0, 1e6) * 20, 20};
    field.setText(c.string(0));
    const TextLayout& layout = field.layout();
    FontMetrics metrics = fontMetrics(format);
    ActionObject* o = c.machine.newObject();
    o->set(u"ascent", metrics.ascent);
    o->set(u"descent", metrics.descent);
    o->set(u"width", layout.width);
    o->set(u"height", layout.height);
    o->set(u"textFieldHeight", layout.height + 2 * TextField::kGutter);
    o->set(u"textFieldWidth", layout.width + 2 * TextField::kGutter);
    return Value(o);
}

} // namespace

TextFormat textFormatFrom(Machine& m, const Value& object)
{
    TextFormat f;
    if (!object.isReference())
        return f;
    auto member = [&](const char16_t* name) -> std::optional<Value> {
        Value v = m.get(object, name);
        if (v.isNullish())
            return std::nullopt;
        return v;
    };
    auto number = [&](const char16_t* name) -> std::optional<double> {
        auto v = member(name);
        if (!v)
            return std::nullopt;
        double n = m.toNumber(*v);
        return std::isnan(n) ? std::nullopt : std::optional<double>(n);
    };
    auto flag = [&](const char16_t* name) -> std::optional<bool> {
        auto v = member(name);
        return v ? std::optional<bool>(m.toBoolean(*v)) : std::nullopt;
    };
    auto text = [&](const char16_t* name) -> std::optional<std::u16string> {
        auto v = member(name);
        return v ? std::optional<std::u16string>(m.toString(*v)) : std::nullopt;
    };
    f.font = text(u"font");
    if (auto size = number(u"size"))
        f.size = std::clamp(*size, 0.0, 2000.0);
    if (auto color = number(u"color"))
        f.color = std::uint32_t(m.toInt32(Value(*color))) & 0xFFFFFF;
    f.bold = flag(u"bold");
    f.italic = flag(u"italic");
    f.underline = flag(u"underline");
    f.url = text(u"url");
    f.target = text(u"target");
    if (auto align = text(u"align")) {
        for (TextAlign a : {TextAlign::Left, TextAlign::Right, TextAlign::Center, TextAlign::Justify})
            if (*align == alignName(a))
                f.align = a;
    }
    auto clamped = [&](const char16_t* name) -> std::optional<double> {
        auto n = number(name);
        return n ? std::optional<double>(std::clamp(*n, -720.0, 720.0)) : std::nullopt;
    };
    f.leftMargin = clamped(u"leftMargin");
    f.rightMargin = clamped(u"rightMargin");
    f.indent = clamped(u"indent");
    f.leading = clamped(u"leading");
    f.blockIndent = clamped(u"blockIndent");
    if (auto stops = member(u"tabStops"); stops && stops->toObject()
        && stops->toObject()->kind == ActionObject::Kind::Array) {
        std::vector<double> list;
        for (const Value& v : stops->toObject()->elements) {
            if (list.size() >= kMaxTabStops)
                break;
            list.push_back(m.toNumber(v));
        }
        f.tabStops = std::move(list);
    }
    f.bullet = flag(u"bullet");
    if (m.version() >= 8) {
        f.kerning = flag(u"kerning");
        if (auto spacing = number(u"letterSpacing"))
            f.letterSpacing = std::clamp(*spacing, -1000.0, 1000.0);
    }
    return f;
}

ActionObject* textFormatObject(Machine& m, const TextFormat& f)
{
    ActionObject* proto = m.get(m.get(Value(m.global()), u"TextFormat"), u"prototype").toObject();
    ActionObject* o = m.newObject();
    if (proto)
        o->proto = proto;
    auto put = [&](const char16_t* name, Value v) { o->set(name, std::move(v)); };
    auto optional = [](const auto& v) { return v ? Value(*v) : Value::null(); };
    put(u"font", optional(f.font));
    put(u"size", optional(f.size));
    put(u"color", f.color ? Value(double(*f.color)) : Value::null());
    put(u"bold", optional(f.bold));
    put(u"italic", optional(f.italic));
    put(u"underline", optional(f.underline));
    put(u"url", optional(f.url));
    put(u"target", optional(f.target));
    put(u"align", f.align ? Value(std::u16string(alignName(*f.align))) : Value::null());
    put(u"leftMargin", optional(f.leftMargin));
    put(u"rightMargin", optional(f.rightMargin));
    put(u"indent", optional(f.indent));
    put(u"leading", optional(f.leading));
    put(u"blockIndent", optional(f.blockIndent));
    if (f.tabStops) {
        std::vector<Value> stops(f.tabStops->begin(), f.tabStops->end());
        put(u"tabStops", Value(m.newArray(std::move(stops))));
    } else {
        put(u"tabStops", Value::null());
    }
    put(u"bullet", optional(f.bullet));
    if (m.version() >= 8) {
        put(u"kerning", optional(f.kerning));
        put(u"letterSpacing", optional(f.letterSpacing));
    }
    return o;
}

void installTextFormat(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"TextFormat", construct, proto);
    m.method(proto, u"getTextExtent", getTextExtent);
}

} // namespace lumbra::movie
