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
    if (auto self = fieldObject(c))
        c.machine.playback().fitTextBox(*self);
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
    unsigned versions = 0; // OnlyFrom7 / OnlyFrom8 for the later ones
};

// A property or method of a field: undefined when `this` is no text field.
template <Value (*Body)(NativeCall&, TextField&)> Value onField(NativeCall& c)
{
    TextField* f = field(c);
    return f ? Body(c, *f) : Value();
}

Value getText(NativeCall& c, TextField& f) { return f.text(); }
Value setText(NativeCall& c, TextField& f)
{
    f.setText(c.string(0));
    updateVariable(c, f);
    changed(c, f);
    return {};
}
Value getHtmlText(NativeCall& c, TextField& f) { return f.htmlText(); }
Value setHtmlText(NativeCall& c, TextField& f)
{
    f.setHtmlText(c.string(0));
    updateVariable(c, f);
    changed(c, f);
    return {};
}
Value getLength(NativeCall& c, TextField& f) { return double(f.text().size()); }

template <bool TextField::*Member> Value getFlag(NativeCall& c, TextField& f) { return f.*Member; }
template <bool TextField::*Member> Value setFlag(NativeCall& c, TextField& f)
{
    f.*Member = c.machine.toBoolean(c.arg(0));
    changed(c, f);
    return {};
}

template <Argb TextField::*Member> Value getColor(NativeCall& c, TextField& f) { return colorValue(f.*Member); }
template <Argb TextField::*Member> Value setColor(NativeCall& c, TextField& f)
{
    f.*Member = colorFrom(c);
    changed(c, f);
    return {};
}

Value getTextColor(NativeCall& c, TextField& f) { return colorValue(f.format(0, 0).color.value_or(0)); }
Value setTextColor(NativeCall& c, TextField& f)
{
    TextFormat color;
    color.color = colorFrom(c) & 0xFFFFFF;
    f.applyFormat(0, f.text().size(), color);
    f.setNewTextFormat(color);
    changed(c, f);
    return {};
}

Value getAutoSize(NativeCall& c, TextField& f)
{
    switch (f.autoSize) {
    case AutoSize::Left: return u"left";
    case AutoSize::Center: return u"center";
    case AutoSize::Right: return u"right";
    case AutoSize::None: break;
    }
    return u"none";
}
Value setAutoSize(NativeCall& c, TextField& f)
{
    Value v = c.arg(0);
    if (v.type() == Value::Type::Boolean) {
        f.autoSize = c.machine.toBoolean(v) ? AutoSize::Left : AutoSize::None;
    } else {
        std::u16string s = c.machine.toString(v);
        f.autoSize = s == u"left" ? AutoSize::Left : s == u"center" ? AutoSize::Center
                    : s == u"right" ? AutoSize::Right : AutoSize::None;
    }
    changed(c, f);
    return {};
}

Value getType(NativeCall& c, TextField& f) { return f.editable ? u"input" : u"dynamic"; }
Value setType(NativeCall& c, TextField& f)
{
    std::u16string s = c.string(0);
    if (s == u"input" || s == u"dynamic")
        f.editable = s == u"input";
    return {};
}

Value getVariable(NativeCall& c, TextField& f)
{
    return f.variable.empty() ? Value::null() : Value(f.variable);
}
Value setVariable(NativeCall& c, TextField& f)
{
    f.variable = c.arg(0).isNullish() ? std::u16string() : c.string(0);
    f.lastVariableText.clear();
    if (auto self = fieldObject(c)) {
        auto& playback = c.machine.playback();
        // A variable not yet set takes the field's text; else the field shows it.
        if (!f.variable.empty() && self->parent()) {
            auto current = playback.getVariable(*self->parent(), f.variable);
            if (!current || current->isUndefined())
                updateVariable(c, f);
        }
        playback.syncTextField(*self);
    }
    changed(c, f);
    return {};
}

Value getMaxChars(NativeCall& c, TextField& f)
{
    return f.maxChars > 0 ? Value(double(f.maxChars)) : Value::null();
}
Value setMaxChars(NativeCall& c, TextField& f)
{
    double n = c.number(0);
    f.maxChars = std::isnan(n) || n < 1 ? 0 : int(std::min(n, double(TextField::kMaxLength)));
    return {};
}

Value getRestrict(NativeCall& c, TextField& f)
{
    return f.restrict ? Value(*f.restrict) : Value::null();
}
Value setRestrict(NativeCall& c, TextField& f)
{
    if (c.arg(0).isNullish())
        f.restrict.reset();
    else
        f.restrict = c.string(0);
    return {};
}

Value getScroll(NativeCall& c, TextField& f) { return double(f.scroll()); }
Value setScroll(NativeCall& c, TextField& f)
{
    f.setScroll(c.number(0));
    c.machine.playback().dirty = true;
    return {};
}
Value getMaxScroll(NativeCall& c, TextField& f) { return double(f.maxScroll()); }
Value getBottomScroll(NativeCall& c, TextField& f) { return double(f.bottomScroll()); }
Value getHscroll(NativeCall& c, TextField& f) { return f.hscroll(); }
Value setHscroll(NativeCall& c, TextField& f)
{
    f.setHscroll(c.number(0));
    c.machine.playback().dirty = true;
    return {};
}
Value getMaxHscroll(NativeCall& c, TextField& f) { return f.maxHscroll(); }
Value getStyleSheet(NativeCall& c, TextField& f) { return f.styleSheetObject; }
// Any object may be given; only a TextField.StyleSheet styles the text.
Value setStyleSheet(NativeCall& c, TextField& f)
{
    Value sheet = c.arg(0);
    ActionObject* o = sheet.toObject();
    f.styleSheetObject = sheet;
    f.setStyleSheet(o ? o->styleSheet : nullptr);
    changed(c, f);
    return {};
}

// A text property that keeps only the values it names.
template <std::u16string TextField::*Member, const char16_t* const* Values> Value getChoice(NativeCall& c, TextField& f)
{
    return f.*Member;
}
template <std::u16string TextField::*Member, const char16_t* const* Values> Value setChoice(NativeCall& c, TextField& f)
{
    std::u16string s = c.string(0);
    for (const char16_t* const* v = Values; *v; ++v)
        if (s == *v)
            f.*Member = s;
    return {};
}
constexpr const char16_t* kAntiAliasTypes[] = {u"normal", u"advanced", nullptr};
constexpr const char16_t* kGridFitTypes[] = {u"none", u"pixel", u"subpixel", nullptr};

// A number property held to [-Limit, Limit]; what is not a number changes nothing.
template <double TextField::*Member> Value getMeasure(NativeCall& c, TextField& f) { return f.*Member; }
template <double TextField::*Member, int Limit> Value setMeasure(NativeCall& c, TextField& f)
{
    double n = c.number(0);
    if (!std::isnan(n))
        f.*Member = std::clamp(n, -double(Limit), double(Limit));
    return {};
}

Value getTextWidth(NativeCall& c, TextField& f) { return std::round(f.layout().width * 20) / 20; }
Value getTextHeight(NativeCall& c, TextField& f) { return std::round(f.layout().height * 20) / 20; }

const FieldProperty kProperties[] = {
    {u"text", onField<getText>, onField<setText>},
    {u"htmlText", onField<getHtmlText>, onField<setHtmlText>},
    {u"html", onField<getFlag<&TextField::html>>, onField<setFlag<&TextField::html>>},
    {u"length", onField<getLength>, nullptr},
    {u"textColor", onField<getTextColor>, onField<setTextColor>},
    {u"background", onField<getFlag<&TextField::background>>, onField<setFlag<&TextField::background>>},
    {u"backgroundColor", onField<getColor<&TextField::backgroundColor>>, onField<setColor<&TextField::backgroundColor>>},
    {u"border", onField<getFlag<&TextField::border>>, onField<setFlag<&TextField::border>>},
    {u"borderColor", onField<getColor<&TextField::borderColor>>, onField<setColor<&TextField::borderColor>>},
    {u"autoSize", onField<getAutoSize>, onField<setAutoSize>},
    {u"multiline", onField<getFlag<&TextField::multiline>>, onField<setFlag<&TextField::multiline>>},
    {u"wordWrap", onField<getFlag<&TextField::wordWrap>>, onField<setFlag<&TextField::wordWrap>>},
    {u"password", onField<getFlag<&TextField::password>>, onField<setFlag<&TextField::password>>},
    {u"selectable", onField<getFlag<&TextField::selectable>>, onField<setFlag<&TextField::selectable>>},
    {u"embedFonts", onField<getFlag<&TextField::embedFonts>>, onField<setFlag<&TextField::embedFonts>>},
    {u"condenseWhite", onField<getFlag<&TextField::condenseWhite>>, onField<setFlag<&TextField::condenseWhite>>},
    {u"maxChars", onField<getMaxChars>, onField<setMaxChars>},
    {u"restrict", onField<getRestrict>, onField<setRestrict>},
    {u"type", onField<getType>, onField<setType>},
    {u"variable", onField<getVariable>, onField<setVariable>},
    {u"scroll", onField<getScroll>, onField<setScroll>},
    {u"maxscroll", onField<getMaxScroll>, nullptr},
    {u"bottomScroll", onField<getBottomScroll>, nullptr},
    {u"hscroll", onField<getHscroll>, onField<setHscroll>},
    {u"maxhscroll", onField<getMaxHscroll>, nullptr},
    {u"textWidth", onField<getTextWidth>, nullptr},
    {u"textHeight", onField<getTextHeight>, nullptr},
    {u"styleSheet", onField<getStyleSheet>, onField<setStyleSheet>, OnlyFrom7},
    {u"mouseWheelEnabled", onField<getFlag<&TextField::mouseWheelEnabled>>,
     onField<setFlag<&TextField::mouseWheelEnabled>>, OnlyFrom7},
    {u"antiAliasType", onField<getChoice<&TextField::antiAliasType, kAntiAliasTypes>>,
     onField<setChoice<&TextField::antiAliasType, kAntiAliasTypes>>, OnlyFrom8},
    {u"gridFitType", onField<getChoice<&TextField::gridFitType, kGridFitTypes>>,
     onField<setChoice<&TextField::gridFitType, kGridFitTypes>>, OnlyFrom8},
    {u"sharpness", onField<getMeasure<&TextField::sharpness>>, onField<setMeasure<&TextField::sharpness, 400>>, OnlyFrom8},
    {u"thickness", onField<getMeasure<&TextField::thickness>>, onField<setMeasure<&TextField::thickness, 200>>, OnlyFrom8},
};

// --- methods ----------------------------------------------------------------------

// A field with a style sheet takes its formats from the sheet alone: the
// methods that would format or insert text by hand do nothing.
Value replaceSel(NativeCall& c, TextField& f)
{
    if (f.styleSheet())
        return {};
    f.replace(f.selectionBegin(), f.selectionEnd(), c.string(0), f.newTextFormat());
    updateVariable(c, f);
    changed(c, f);
    return {};
}

Value replaceText(NativeCall& c, TextField& f)
{
    std::size_t length = f.text().size();
    std::size_t begin = index(c, 0, length), end = index(c, 1, length);
    if (begin > end || f.styleSheet())
        return {};
    TextFormat format = length ? f.format(begin, begin + 1) : f.newTextFormat();
    f.replace(begin, end, c.string(2), format);
    updateVariable(c, f);
    changed(c, f);
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

Value getTextFormat(NativeCall& c, TextField& f)
{
    auto [begin, end] = range(c, std::min<std::size_t>(c.args.size(), 2), f);
    return Value(textFormatObject(c.machine, f.format(begin, end)));
}

Value setTextFormat(NativeCall& c, TextField& f)
{
    if (c.args.empty() || f.styleSheet())
        return {};
    std::size_t given = std::min<std::size_t>(c.args.size() - 1, 2);
    auto [begin, end] = range(c, given, f);
    f.applyFormat(begin, end, textFormatFrom(c.machine, c.args[given]));
    changed(c, f);
    return {};
}

Value getNewTextFormat(NativeCall& c, TextField& f)
{
    return Value(textFormatObject(c.machine, f.newTextFormat()));
}

Value setNewTextFormat(NativeCall& c, TextField& f)
{
    f.setNewTextFormat(textFormatFrom(c.machine, c.arg(0)));
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

Value addListener(NativeCall& c, TextField& f)
{
    Value listener = c.arg(0);
    if (!listener.isReference())
        return false;
    auto& list = f.listeners;
    if (std::none_of(list.begin(), list.end(), [&](const Value& v) { return v.sameAs(listener); })
        && list.size() < kMaxListeners)
        list.push_back(listener);
    return true;
}

Value removeListener(NativeCall& c, TextField& f)
{
    auto& list = f.listeners;
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
        proto->set(a.name, Value(m.newArray(std::move(pair))), Accessor | DontEnum | DontDelete | a.versions);
    }
    m.method(proto, u"replaceSel", onField<replaceSel>);
    m.method(proto, u"replaceText", onField<replaceText>);
    m.method(proto, u"getTextFormat", onField<getTextFormat>);
    m.method(proto, u"setTextFormat", onField<setTextFormat>);
    m.method(proto, u"getNewTextFormat", onField<getNewTextFormat>);
    m.method(proto, u"setNewTextFormat", onField<setNewTextFormat>);
    m.method(proto, u"removeTextField", removeTextField);
    m.method(proto, u"getDepth", getDepth);
    m.method(proto, u"addListener", onField<addListener>);
    m.method(proto, u"removeListener", onField<removeListener>);
    if (m.prototypes().clip)
        m.method(m.prototypes().clip, u"createTextField", createTextField);
}

} // namespace lumbra::movie
