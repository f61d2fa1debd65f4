// XML: a document node that reads and writes XML text and loads it from a file.
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/DataLoading.h"
#include "control/movie/actions/XmlNode.h"
#include "control/movie/actions/XmlParser.h"

namespace lumbra::movie {

namespace {

void parseInto(Machine& m, ActionObject* doc, const std::u16string& text)
{
    XmlDocument parsed = parseXmlText(text, m.toBoolean(m.get(Value(doc), u"ignoreWhite")));
    clearXmlChildren(doc);
    appendParsedXml(m, doc, parsed);
    doc->set(u"status", parsed.status);
    if (parsed.hasXmlDecl)
        doc->set(u"xmlDecl", parsed.xmlDecl);
    if (parsed.hasDocType)
        doc->set(u"docTypeDecl", parsed.docTypeDecl);
}

ActionObject* document(NativeCall& c)
{
    return isXmlNode(c.thisValue) ? c.self() : nullptr;
}

Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    ActionObject* doc = c.self();
    initXmlNode(c.machine, doc, kXmlElement, Value());
    doc->set(u"status", 0);
    if (!c.arg(0).isNullish())
        parseInto(c.machine, doc, c.string(0));
    return c.thisValue;
}

Value parseXML(NativeCall& c)
{
    if (ActionObject* doc = document(c))
        parseInto(c.machine, doc, c.string(0));
    return {};
}

Value createElement(NativeCall& c) { return Value(newXmlNode(c.machine, kXmlElement, c.arg(0))); }
Value createTextNode(NativeCall& c) { return Value(newXmlNode(c.machine, kXmlText, c.arg(0))); }

Value toString(NativeCall& c)
{
    ActionObject* doc = document(c);
    if (!doc)
        return {};
    std::u16string out;
    for (std::u16string_view name : {u"xmlDecl", u"docTypeDecl"}) {
        Value decl = c.machine.get(c.thisValue, name);
        if (!decl.isNullish())
            out += c.machine.toString(decl);
    }
    return out + xmlText(c.machine, doc);
}

// As the reference player's own script does: parse, then report.
Value onData(NativeCall& c)
{
    ActionObject* doc = document(c);
    if (!doc)
        return {};
    Value success = !c.arg(0).isUndefined();
    if (c.arg(0).isUndefined()) {
        doc->set(u"loaded", false, DontEnum);
    } else {
        parseInto(c.machine, doc, c.string(0));
        doc->set(u"loaded", true, DontEnum);
    }
    c.machine.callMethod(c.thisValue, u"onLoad", std::span<const Value>(&success, 1));
    return {};
}

} // namespace

void installXml(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, m.prototypes().xmlNode);
    m.defineClass(u"XML", construct, proto);
    m.method(proto, u"parseXML", parseXML);
    m.method(proto, u"createElement", createElement);
    m.method(proto, u"createTextNode", createTextNode);
    m.method(proto, u"toString", toString);
    addLoadingMethods(m, proto);
    m.method(proto, u"onData", onData);
    proto->set(u"ignoreWhite", false, DontEnum);
}

} // namespace lumbra::movie
