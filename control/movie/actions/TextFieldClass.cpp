// TextField: the properties and methods of text fields, and
// MovieClip.createTextField. Properties are accessors of TextField.prototype,
// so scripts read them through the field as through any object.
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/TextFormatObject.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

constexpr std::size_t kMaxListeners = 1024;
// Coordinates a script may give a new field, in pixels.
constexpr double kMaxCoordinate = 1 << 20;

std::shared_ptr<DisplayObject> fieldObject(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    return self && self->textField ? self : nullptr;
}

// A field whose bound variable may have changed since the last frame shows it first.
TextField* field(NativeCall& c)
{
    auto self = fieldObject(c);
    if (!self)
        return nullptr;
    c.machine.playback().syncTextField(*self);
    return self->textField.get();
}

// After a script changed a field: its box follows autoSize and the stage redraws.
void changed(NativeCall& c, TextField& f)
{
    f.invalidate();
    f.fitBox();
    f.setScroll(f.scroll());
    c.machine.playback().dirty = true;
}

// A bound field's variable follows the text a script gives it.
void updateVariable(NativeCall& c, TextField& f)
{
    auto self = fieldObject(c);
    if (f.variable.empty() || !self || !self->parent())
        return;
    std::u16string text = f.html ? f.htmlText() : f.text();
    f.lastVariableText = text;
    c.machine.playback().setVariable(*self->parent(), f.variable, text);
}

std::size_t index(NativeCall& c, std::size_t i, std::size_t limit)
{
    double n = c.number(i);
    if (std::isnan(n) || n < 0)
        return 0;
    return std::size_t(std::min(n, double(limit)));
}

double clampedNumber(NativeCall& c, std::size_t i)
{
    double n = c.number(i);
    return std::isnan(n) ? 0 : std::clamp(n, -kMaxCoordinate, kMaxCoordinate);
}

Value colorValue(std::uint32_t rgb) { return double(rgb & 0xFFFFFF); }
Argb colorFrom(NativeCall& c) { return 0xFF000000u | (std::uint32_t(c.machine.toInt32(c.arg(0))) & 0xFFFFFF); }

// --- properties -------------------------------------------------------------------

struct FieldProperty {
    const char16_t* name;
    NativeFunction get;
    NativeFunction set; // null: read-only
};

#define FIELD_OR_UNDEFINED \
    TextField* f = field(c); \
    if (!f) \
        return {}

Value getText(NativeCall& c) { FIELD_OR_UNDEFINED; return f->text(); }
Value setText(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->setText(c.string(0));
    updateVariable(c, *f);
    changed(c, *f);
    return {};
}
Value getHtmlText(NativeCall& c) { FIELD_OR_UNDEFINED; return f->htmlText(); }
Value setHtmlText(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->setHtmlText(c.string(0));
    updateVariable(c, *f);
    changed(c, *f);
    return {};
}
Value getLength(NativeCall& c) { FIELD_OR_UNDEFINED; return double(f->text().size()); }

template <bool TextField::*Member> Value getFlag(NativeCall& c) { FIELD_OR_UNDEFINED; return f->*Member; }
template <bool TextField::*Member> Value setFlag(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->*Member = c.machine.toBoolean(c.arg(0));
    changed(c, *f);
    return {};
}

template <Argb TextField::*Member> Value getColor(NativeCall& c) { FIELD_OR_UNDEFINED; return colorValue(f->*Member); }
template <Argb TextField::*Member> Value setColor(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->*Member = colorFrom(c);
    changed(c, *f);
    return {};
}

Value getTextColor(NativeCall& c) { FIELD_OR_UNDEFINED; return colorValue(f->format(0, 0).color.value_or(0)); }
Value setTextColor(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    TextFormat color;
    color.color = colorFrom(c) & 0xFFFFFF;
    f->applyFormat(0, f->text().size(), color);
    f->setNewTextFormat(color);
    changed(c, *f);
    return {};
}

Value getAutoSize(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    switch (f->autoSize) {
    case AutoSize::Left: return u"left";
    case AutoSize::Center: return u"center";
    case AutoSize::Right: return u"right";
    case AutoSize::None: break;
    }
    return u"none";
}
Value setAutoSize(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    Value v = c.arg(0);
    if (v.type() == Value::Type::Boolean) {
        f->autoSize = c.machine.toBoolean(v) ? AutoSize::Left : AutoSize::None;
    } else {
        std::u16string s = c.machine.toString(v);
        f->autoSize = s == u"left" ? AutoSize::Left : s == u"center" ? AutoSize::Center
                    : s == u"right" ? AutoSize::Right : AutoSize::None;
    }
    changed(c, *f);
    return {};
}

Value getType(NativeCall& c) { FIELD_OR_UNDEFINED; return f->editable ? u"input" : u"dynamic"; }
Value setType(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    std::u16string s = c.string(0);
    if (s == u"input" || s == u"dynamic")
        f->editable = s == u"input";
    return {};
}

Value getVariable(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    return f->variable.empty() ? Value::null() : Value(f->variable);
}
Value setVariable(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->variable = c.arg(0).isNullish() ? std::u16string() : c.string(0);
    f->lastVariableText.clear();
    if (auto self = fieldObject(c)) {
        auto& playback = c.machine.playback();
        // A variable not yet set takes the field's text; else the field shows it.
        if (!f->variable.empty() && self->parent()) {
            auto current = playback.getVariable(*self->parent(), f->variable);
            if (!current || current->isUndefined())
                updateVariable(c, *f);
        }
        playback.syncTextField(*self);
    }
    changed(c, *f);
    return {};
}

Value getMaxChars(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    return f->maxChars > 0 ? Value(double(f->maxChars)) : Value::null();
}
Value setMaxChars(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    double n = c.number(0);
    f->maxChars = std::isnan(n) || n < 1 ? 0 : int(std::min(n, double(TextField::kMaxLength)));
    return {};
}

Value getRestrict(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    return f->restrict ? Value(*f->restrict) : Value::null();
}
Value setRestrict(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    if (c.arg(0).isNullish())
        f->restrict.reset();
    else
        f->restrict = c.string(0);
    return {};
}

Value getScroll(NativeCall& c) { FIELD_OR_UNDEFINED; return double(f->scroll()); }
Value setScroll(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->setScroll(c.number(0));
    c.machine.playback().dirty = true;
    return {};
}
Value getMaxScroll(NativeCall& c) { FIELD_OR_UNDEFINED; return double(f->maxScroll()); }
Value getBottomScroll(NativeCall& c) { FIELD_OR_UNDEFINED; return double(f->bottomScroll()); }
Value getHscroll(NativeCall& c) { FIELD_OR_UNDEFINED; return f->hscroll(); }
Value setHscroll(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->setHscroll(c.number(0));
    c.machine.playback().dirty = true;
    return {};
}
Value getMaxHscroll(NativeCall& c) { FIELD_OR_UNDEFINED; return f->maxHscroll(); }
Value getTextWidth(NativeCall& c) { FIELD_OR_UNDEFINED; return std::round(f->layout().width * 20) / 20; }
Value getTextHeight(NativeCall& c) { FIELD_OR_UNDEFINED; return std::round(f->layout().height * 20) / 20; }

const FieldProperty kProperties[] = {
    {u"text", getText, setText},
    {u"htmlText", getHtmlText, setHtmlText},
    {u"html", getFlag<&TextField::html>, setFlag<&TextField::html>},
    {u"length", getLength, nullptr},
    {u"textColor", getTextColor, setTextColor},
    {u"background", getFlag<&TextField::background>, setFlag<&TextField::background>},
    {u"backgroundColor", getColor<&TextField::backgroundColor>, setColor<&TextField::backgroundColor>},
    {u"border", getFlag<&TextField::border>, setFlag<&TextField::border>},
    {u"borderColor", getColor<&TextField::borderColor>, setColor<&TextField::borderColor>},
    {u"autoSize", getAutoSize, setAutoSize},
    {u"multiline", getFlag<&TextField::multiline>, setFlag<&TextField::multiline>},
    {u"wordWrap", getFlag<&TextField::wordWrap>, setFlag<&TextField::wordWrap>},
    {u"password", getFlag<&TextField::password>, setFlag<&TextField::password>},
    {u"selectable", getFlag<&TextField::selectable>, setFlag<&TextField::selectable>},
    {u"embedFonts", getFlag<&TextField::embedFonts>, setFlag<&TextField::embedFonts>},
    {u"condenseWhite", getFlag<&TextField::condenseWhite>, setFlag<&TextField::condenseWhite>},
    {u"maxChars", getMaxChars, setMaxChars},
    {u"restrict", getRestrict, setRestrict},
    {u"type", getType, setType},
    {u"variable", getVariable, setVariable},
    {u"scroll", getScroll, setScroll},
    {u"maxscroll", getMaxScroll, nullptr},
    {u"bottomScroll", getBottomScroll, nullptr},
    {u"hscroll", getHscroll, setHscroll},
    {u"maxhscroll", getMaxHscroll, nullptr},
    {u"textWidth", getTextWidth, nullptr},
    {u"textHeight", getTextHeight, nullptr},
};

// --- methods ----------------------------------------------------------------------

Value replaceSel(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->replace(f->selectionBegin(), f->selectionEnd(), c.string(0), f->newTextFormat());
    updateVariable(c, *f);
    changed(c, *f);
    return {};
}

Value replaceText(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    std::size_t length = f->text().size();
    std::size_t begin = index(c, 0, length), end = index(c, 1, length);
    if (begin > end)
        return {};
    TextFormat format = length ? f->format(begin, begin + 1) : f->newTextFormat();
    f->replace(begin, end, c.string(2), format);
    updateVariable(c, *f);
    changed(c, *f);
    return {};
}

// The range (begin, end) the arguments before `given` name: none is the whole
// text, one a single character.
std::pair<std::size_t, std::size_t> range(NativeCall& c, std::size_t given, const TextField& f)
{
    std::size_t length = f.text().size();
    if (given == 0)
        return {0, length};
    std::size_t begin = index(c, 0, length);
    if (given == 1)
        return {begin, begin + 1};
    return {begin, index(c, 1, length)};
}

Value getTextFormat(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    auto [begin, end] = range(c, std::min<std::size_t>(c.args.size(), 2), *f);
    return Value(textFormatObject(c.machine, f->format(begin, end)));
}

Value setTextFormat(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    if (c.args.empty())
        return {};
    std::size_t given = std::min<std::size_t>(c.args.size() - 1, 2);
    auto [begin, end] = range(c, given, *f);
    f->applyFormat(begin, end, textFormatFrom(c.machine, c.args[given]));
    changed(c, *f);
    return {};
}

Value getNewTextFormat(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    return Value(textFormatObject(c.machine, f->newTextFormat()));
}

Value setNewTextFormat(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    f->setNewTextFormat(textFormatFrom(c.machine, c.arg(0)));
    return {};
}

Value removeTextField(NativeCall& c)
{
    if (auto self = fieldObject(c))
        c.machine.playback().removeClip(*self);
    return {};
}

Value getDepth(NativeCall& c)
{
    auto self = fieldObject(c);
    return self ? Value(double(self->depth)) : Value();
}

Value addListener(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    Value listener = c.arg(0);
    if (!listener.isReference())
        return false;
    auto& list = f->listeners;
    if (std::none_of(list.begin(), list.end(), [&](const Value& v) { return v.sameAs(listener); })
        && list.size() < kMaxListeners)
        list.push_back(listener);
    return true;
}

Value removeListener(NativeCall& c)
{
    FIELD_OR_UNDEFINED;
    auto& list = f->listeners;
    auto it = std::find_if(list.begin(), list.end(), [&](const Value& v) { return v.sameAs(c.arg(0)); });
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

Value getFontList(NativeCall& c)
{
    std::vector<Value> names;
    for (const char16_t* name : {u"_sans", u"_serif", u"_typewriter", u"Arial", u"Courier New", u"Times New Roman"})
        names.emplace_back(name);
    return Value(c.machine.newArray(std::move(names)));
}

Value textFieldConstructor(NativeCall&) { return {}; }

// MovieClip.createTextField(name, depth, x, y, width, height): the new field.
Value createTextField(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    double depth = c.number(1);
    if (!self || !self->isClip() || c.args.size() < 6 || std::isnan(depth) || depth < -16384 || depth > 2130706428)
        return {};
    double x = clampedNumber(c, 2) * 20, y = clampedNumber(c, 3) * 20;
    double w = std::abs(clampedNumber(c, 4)) * 20, h = std::abs(clampedNumber(c, 5)) * 20;
    auto created = c.machine.playback().createTextField(*self, c.string(0), int(depth), Rect{x, y, x + w, y + h});
    return created ? Value(created) : Value();
}

} // namespace

void installTextField(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.prototypes().textField = proto;
    ActionObject* constructor = m.defineClass(u"TextField", textFieldConstructor, proto);
    m.method(constructor, u"getFontList", getFontList);
    for (const FieldProperty& a : kProperties) {
        std::vector<Value> pair{Value(m.newFunction(a.get))};
        if (a.set)
            pair.emplace_back(m.newFunction(a.set));
        proto->set(a.name, Value(m.newArray(std::move(pair))), Accessor | DontEnum | DontDelete);
    }
    m.method(proto, u"replaceSel", replaceSel);
    m.method(proto, u"replaceText", replaceText);
    m.method(proto, u"getTextFormat", getTextFormat);
    m.method(proto, u"setTextFormat", setTextFormat);
    m.method(proto, u"getNewTextFormat", getNewTextFormat);
    m.method(proto, u"setNewTextFormat", setNewTextFormat);
    m.method(proto, u"removeTextField", removeTextField);
    m.method(proto, u"getDepth", getDepth);
    m.method(proto, u"addListener", addListener);
    m.method(proto, u"removeListener", removeListener);
    if (m.prototypes().clip)
        m.method(m.prototypes().clip, u"createTextField", createTextField);
}

} // namespace lumbra::movie
