// TextField.StyleSheet: styles by selector that text fields apply to their
// HTML. Scripts see each style as a plain object of text values (getStyle
// gives a copy); fields use the text format each style stands for, kept in
// the object's StyleSheet and worked out again whenever a style changes, so
// that every field showing the sheet restyles on its next look.
#include "control/movie/CssReader.h"
#include "control/movie/StyleSheet.h"
#include "control/movie/actions/DataLoading.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/TextFormatObject.h"

namespace lumbra::movie {

namespace {

// The member holding the script's view of the styles, by selector.
constexpr char16_t kStyles[] = u"_css";

// The styles of `this`; any object that borrows the methods gets its own.
StyleSheet* sheetOf(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self)
        return nullptr;
    if (!self->styleSheet)
        self->styleSheet = std::make_shared<StyleSheet>();
    return self->styleSheet.get();
}

ActionObject* stylesOf(NativeCall& c)
{
    Value styles = c.machine.get(c.thisValue, kStyles);
    if (ActionObject* o = styles.toObject())
        return o;
    ActionObject* fresh = c.machine.newObject();
    c.self()->set(kStyles, Value(fresh), DontEnum);
    return fresh;
}

// A new object with the enumerable members of `style`; null for anything but an object.
Value copyOf(Machine& m, const Value& style)
{
    ActionObject* from = style.toObject();
    if (!from || m.typeOf(style) != u"object")
        return Value::null();
    ActionObject* copy = m.newObject();
    for (const std::u16string& name : from->names())
        copy->set(name, m.get(style, name));
    return Value(copy);
}

// A style object's members as declarations, values as text.
std::vector<CssDeclaration> declarationsOf(Machine& m, const Value& style)
{
    std::vector<CssDeclaration> out;
    if (ActionObject* o = style.toObject())
        for (const std::u16string& name : o->names())
            out.push_back({name, m.toString(m.get(style, name))});
    return out;
}

void store(NativeCall& c, StyleSheet& sheet, const std::u16string& name, const Value& style)
{
    Value copy = copyOf(c.machine, style);
    ActionObject* styles = stylesOf(c);
    if (copy.isNullish()) {
        styles->remove(name);
        sheet.remove(name);
        return;
    }
    styles->set(name, copy);
    sheet.set(name, styleFrom(declarationsOf(c.machine, copy)));
}

Value construct(NativeCall& c)
{
    if (c.constructing && sheetOf(c))
        stylesOf(c);
    return {};
}

Value getStyle(NativeCall& c)
{
    if (!sheetOf(c))
        return {};
    return copyOf(c.machine, c.machine.get(Value(stylesOf(c)), c.string(0)));
}

Value setStyle(NativeCall& c)
{
    if (StyleSheet* sheet = sheetOf(c))
        store(c, *sheet, c.string(0), c.arg(1));
    return {};
}

Value clear(NativeCall& c)
{
    if (StyleSheet* sheet = sheetOf(c)) {
        sheet->clear();
        c.self()->set(kStyles, Value(c.machine.newObject()), DontEnum);
    }
    return {};
}

// In for-in order, as the reference lists them.
Value getStyleNames(NativeCall& c)
{
    if (!sheetOf(c))
        return {};
    std::vector<Value> names;
    for (const std::u16string& name : stylesOf(c)->names())
        names.emplace_back(name);
    return Value(c.machine.newArray(std::move(names)));
}

// The TextFormat a style object stands for, with its display as a member.
Value transform(NativeCall& c)
{
    Value style = c.arg(0);
    if (!style.toObject())
        return Value::null();
    Style s = styleFrom(declarationsOf(c.machine, style));
    ActionObject* format = textFormatObject(c.machine, s.format);
    if (s.display)
        format->set(u"display", *s.display == Display::Block ? u"block" : *s.display == Display::None ? u"none" : u"inline");
    return Value(format);
}

// Adds the rules of the text, replacing styles of the same selectors; false
// when the text is not a style sheet (the rules before the fault are kept).
Value parseCSS(NativeCall& c)
{
    StyleSheet* sheet = sheetOf(c);
    if (!sheet)
        return false;
    CssText css = readCss(c.string(0));
    for (const CssRule& rule : css.rules) {
        ActionObject* style = c.machine.newObject();
        for (const CssDeclaration& d : rule.declarations)
            style->set(d.name, d.value);
        store(c, *sheet, rule.selector, Value(style));
    }
    return css.complete;
}

// The file load asked for has arrived (or not): parse it, then tell onLoad.
Value arrived(NativeCall& c)
{
    Value success = false;
    if (c.arg(0).isString()) {
        Value text = c.arg(0);
        success = c.machine.toBoolean(c.machine.callMethod(c.thisValue, u"parseCSS", std::span<const Value>(&text, 1)));
    }
    c.machine.callMethod(c.thisValue, u"onLoad", std::span<const Value>(&success, 1));
    return {};
}

Value load(NativeCall& c)
{
    if (!sheetOf(c) || c.args.empty())
        return false;
    loadLater(c.machine, c.thisValue, arrived, c.string(0));
    return true;
}

} // namespace

void installStyleSheet(Machine& m)
{
    Value textField = m.get(Value(m.global()), u"TextField");
    ActionObject* owner = textField.toObject();
    if (!owner)
        return;
    ActionObject* proto = m.newObject();
    ActionObject* constructor = m.newFunction(construct, proto);
    owner->set(u"StyleSheet", Value(constructor), DontEnum | OnlyFrom7);
    m.method(proto, u"getStyle", getStyle);
    m.method(proto, u"setStyle", setStyle);
    m.method(proto, u"clear", clear);
    m.method(proto, u"getStyleNames", getStyleNames);
    m.method(proto, u"transform", transform);
    m.method(proto, u"parseCSS", parseCSS);
    m.method(proto, u"load", load);
}

} // namespace lumbra::movie
