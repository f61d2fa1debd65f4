// XMLNode: one node of an XML document tree, its navigation and editing.
#include "control/movie/actions/XmlNode.h"

#include "control/movie/actions/Construction.h"
#include "control/movie/actions/XmlParser.h"

#include <algorithm>
#include <optional>

namespace lumbra::movie {

namespace {

// A tree larger than this is not written out whole (a script cannot make one
// within its object limit; this bounds the walk regardless).
constexpr std::size_t kMaxWrittenNodes = 1'000'000;

ActionObject* nodeOf(const Value& value)
{
    return isXmlNode(value) ? value.toObject() : nullptr;
}

ActionObject* parentOf(ActionObject* node) { return nodeOf(node->primitive); }

Value nullIfAbsent(ActionObject* node) { return node ? Value(node) : Value::null(); }

// Where `child` sits among its parent's children.
std::ptrdiff_t indexIn(ActionObject* parent, ActionObject* child)
{
    auto& list = parent->elements;
    auto it = std::ranges::find_if(list, [child](const Value& v) { return v.toObject() == child; });
    return it == list.end() ? -1 : it - list.begin();
}

void detach(ActionObject* node)
{
    if (ActionObject* parent = parentOf(node)) {
        std::ptrdiff_t at = indexIn(parent, node);
        if (at >= 0)
            parent->elements.erase(parent->elements.begin() + at);
    }
    node->primitive = Value();
}

// Whether `node` may become a child of `parent`: not the parent itself nor one of its ancestors.
bool mayAdopt(ActionObject* parent, ActionObject* node)
{
    for (ActionObject* up = parent; up; up = parentOf(up))
        if (up == node)
            return false;
    return true;
}

void insertAt(ActionObject* parent, ActionObject* node, std::size_t at)
{
    detach(node);
    at = std::min(at, parent->elements.size());
    parent->elements.insert(parent->elements.begin() + std::ptrdiff_t(at), Value(node));
    node->primitive = Value(parent);
}

ActionObject* sibling(ActionObject* node, std::ptrdiff_t step)
{
    ActionObject* parent = parentOf(node);
    if (!parent)
        return nullptr;
    std::ptrdiff_t at = indexIn(parent, node) + step;
    if (at < 0 || at >= std::ptrdiff_t(parent->elements.size()))
        return nullptr;
    return nodeOf(parent->elements[std::size_t(at)]);
}

ActionObject* self(NativeCall& c) { return nodeOf(c.thisValue); }

Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    initXmlNode(c.machine, c.self(), c.machine.toInt32(c.arg(0)) == kXmlText ? kXmlText : kXmlElement, c.arg(1));
    return c.thisValue;
}

Value appendChild(NativeCall& c)
{
    ActionObject* parent = self(c);
    ActionObject* child = nodeOf(c.arg(0));
    if (parent && child && mayAdopt(parent, child))
        insertAt(parent, child, parent->elements.size());
    return {};
}

Value insertBefore(NativeCall& c)
{
    ActionObject* parent = self(c);
    ActionObject* child = nodeOf(c.arg(0));
    ActionObject* before = nodeOf(c.arg(1));
    if (!parent || !child || !before || child == before || parentOf(before) != parent || !mayAdopt(parent, child))
        return {};
    detach(child);
    insertAt(parent, child, std::size_t(indexIn(parent, before)));
    return {};
}

Value removeNode(NativeCall& c)
{
    if (ActionObject* node = self(c))
        detach(node);
    return {};
}

Value hasChildNodes(NativeCall& c)
{
    ActionObject* node = self(c);
    return node && !node->elements.empty();
}

ActionObject* copyOf(Machine& m, ActionObject* node)
{
    ActionObject* copy = m.heap().make(ActionObject::Kind::Plain, node->proto);
    initXmlNode(m, copy, kXmlElement, Value());
    for (std::u16string_view name : {u"nodeType", u"nodeName", u"nodeValue"})
        copy->set(name, m.get(Value(node), name), DontEnum);
    ActionObject* attributes = copy->find(u"attributes")->value.toObject();
    if (ActionObject* from = m.get(Value(node), u"attributes").toObject()) {
        auto names = from->names();
        for (auto it = names.rbegin(); it != names.rend(); ++it) // oldest first keeps the order
            attributes->set(*it, m.get(Value(from), *it));
    }
    return copy;
}

Value cloneNode(NativeCall& c)
{
    ActionObject* node = self(c);
    if (!node)
        return {};
    ActionObject* top = copyOf(c.machine, node);
    if (!c.machine.toBoolean(c.arg(0)))
        return Value(top);
    // Copies level by level: deep trees cannot deepen the C++ stack.
    std::vector<std::pair<ActionObject*, ActionObject*>> pending{{node, top}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        // A copy of the list: reading attributes may run script accessors that edit the tree.
        std::vector<Value> children = from->elements;
        for (const Value& child : children)
            if (ActionObject* original = nodeOf(child)) {
                ActionObject* copy = copyOf(c.machine, original);
                to->elements.push_back(Value(copy));
                copy->primitive = Value(to);
                pending.emplace_back(original, copy);
            }
    }
    return Value(top);
}

Value toString(NativeCall& c)
{
    ActionObject* node = self(c);
    return node ? Value(xmlText(c.machine, node)) : Value();
}

Value childNodes(NativeCall& c)
{
    ActionObject* node = self(c);
    return node ? Value(c.machine.newArray(node->elements)) : Value();
}

Value firstChild(NativeCall& c)
{
    ActionObject* node = self(c);
    return node && !node->elements.empty() ? nullIfAbsent(nodeOf(node->elements.front())) : Value::null();
}

Value lastChild(NativeCall& c)
{
    ActionObject* node = self(c);
    return node && !node->elements.empty() ? nullIfAbsent(nodeOf(node->elements.back())) : Value::null();
}

Value nextSibling(NativeCall& c)
{
    ActionObject* node = self(c);
    return nullIfAbsent(node ? sibling(node, 1) : nullptr);
}

Value previousSibling(NativeCall& c)
{
    ActionObject* node = self(c);
    return nullIfAbsent(node ? sibling(node, -1) : nullptr);
}

Value parentNode(NativeCall& c)
{
    ActionObject* node = self(c);
    return nullIfAbsent(node ? parentOf(node) : nullptr);
}

// "ns:item": prefix "ns", localName "item".
Value namePart(NativeCall& c, bool prefix)
{
    ActionObject* node = self(c);
    Value name = node ? c.machine.get(c.thisValue, u"nodeName") : Value();
    if (name.isNullish())
        return Value::null();
    std::u16string text = c.machine.toString(name);
    std::size_t colon = text.find(u':');
    if (colon == std::u16string::npos)
        return prefix ? std::u16string() : text;
    return prefix ? text.substr(0, colon) : text.substr(colon + 1);
}

Value prefix(NativeCall& c) { return namePart(c, true); }
Value localName(NativeCall& c) { return namePart(c, false); }

// The first namespace declaration in scope of `node` that `wanted` accepts:
// the node's own xmlns attributes, then its ancestors'. `wanted` sees the
// declared prefix ("" for a plain xmlns) and the URI. Null when none does.
template <typename Wanted> Value findDeclaration(Machine& m, ActionObject* node, Wanted wanted)
{
    constexpr std::u16string_view kXmlns = u"xmlns";
    for (; node; node = parentOf(node)) {
        Value attributes = m.get(Value(node), u"attributes");
        ActionObject* list = attributes.toObject();
        if (!list)
            continue;
        for (const std::u16string& name : list->names()) {
            if (!name.starts_with(kXmlns) || (name.size() > kXmlns.size() && name[kXmlns.size()] != u':'))
                continue;
            std::u16string declared = name.size() > kXmlns.size() ? name.substr(kXmlns.size() + 1) : u"";
            std::u16string uri = m.toString(m.get(attributes, name));
            if (auto found = wanted(declared, uri))
                return *found;
        }
    }
    return Value::null();
}

Value namespaceOf(Machine& m, ActionObject* node, const std::u16string& prefix)
{
    return findDeclaration(m, node, [&](const std::u16string& declared, const std::u16string& uri) {
        return declared == prefix ? std::optional<Value>(uri) : std::nullopt;
    });
}

// getNamespaceForPrefix(prefix): the URI declared for the prefix ("" for the
// default namespace) here or above; null when none is.
Value getNamespaceForPrefix(NativeCall& c)
{
    ActionObject* node = self(c);
    return node && !c.args.empty() ? namespaceOf(c.machine, node, c.string(0)) : Value::null();
}

// getPrefixForNamespace(uri): the prefix declared for the URI here or above
// ("" when it is the default namespace); null when none is.
Value getPrefixForNamespace(NativeCall& c)
{
    ActionObject* node = self(c);
    if (!node || c.args.empty())
        return Value::null();
    std::u16string wanted = c.string(0);
    return findDeclaration(c.machine, node, [&](const std::u16string& declared, const std::u16string& uri) {
        return uri == wanted ? std::optional<Value>(declared) : std::nullopt;
    });
}

// namespaceURI: the URI of the node's own prefix, or of the default namespace
// for a name without one; null for text nodes and undeclared prefixes.
Value namespaceUri(NativeCall& c)
{
    Value prefixValue = namePart(c, true);
    if (!prefixValue.isString())
        return Value::null();
    return namespaceOf(c.machine, self(c), prefixValue.toString());
}
Value ignoreWrite(NativeCall&) { return {}; }

void readOnly(Machine& m, ActionObject* proto, std::u16string_view name, NativeFunction getter)
{
    ActionObject* pair = m.newArray({Value(m.newFunction(getter)), Value(m.newFunction(ignoreWrite))});
    proto->set(name, Value(pair), Accessor | DontEnum | DontDelete);
}

} // namespace

bool isXmlNode(const Value& value)
{
    ActionObject* o = value.toObject();
    return o && o->kind == ActionObject::Kind::Plain && o->find(u"nodeType");
}

void initXmlNode(Machine& m, ActionObject* object, int type, const Value& text)
{
    Value textValue = text.isUndefined() ? Value::null() : Value(m.toString(text));
    object->set(u"nodeType", type, DontEnum);
    object->set(u"nodeName", type == kXmlText ? Value::null() : textValue, DontEnum);
    object->set(u"nodeValue", type == kXmlText ? textValue : Value::null(), DontEnum);
    object->set(u"attributes", Value(m.newObject()), DontEnum);
    object->elements.clear();
    object->primitive = Value();
}

ActionObject* newXmlNode(Machine& m, int type, const Value& text)
{
    ActionObject* node = m.heap().make(ActionObject::Kind::Plain, m.prototypes().xmlNode);
    initXmlNode(m, node, type, text);
    return node;
}

void clearXmlChildren(ActionObject* node)
{
    for (const Value& child : node->elements)
        if (ActionObject* o = nodeOf(child))
            o->primitive = Value();
    node->elements.clear();
}

void appendParsedXml(Machine& m, ActionObject* node, const XmlDocument& doc)
{
    std::vector<std::pair<std::size_t, ActionObject*>> pending{{0, node}};
    while (!pending.empty()) {
        auto [index, parent] = pending.back();
        pending.pop_back();
        for (std::size_t childIndex : doc.nodes[index].children) {
            const XmlParsedNode& parsed = doc.nodes[childIndex];
            ActionObject* child = newXmlNode(m, parsed.element ? kXmlElement : kXmlText,
                                             Value(parsed.element ? parsed.name : parsed.value));
            ActionObject* attributes = child->find(u"attributes")->value.toObject();
            for (const auto& [key, value] : parsed.attributes)
                attributes->set(key, Value(value));
            parent->elements.push_back(Value(child));
            child->primitive = Value(parent);
            pending.emplace_back(childIndex, child);
        }
    }
}

std::u16string xmlText(Machine& m, ActionObject* node)
{
    std::u16string out;
    // An entry with a name to close writes the end tag when reached.
    struct Step {
        ActionObject* node;
        std::u16string closeTag;
    };
    std::vector<Step> pending{{node, {}}};
    std::size_t written = 0;
    while (!pending.empty() && ++written < kMaxWrittenNodes) {
        Step step = std::move(pending.back());
        pending.pop_back();
        if (!step.node) {
            out += u"</" + step.closeTag + u">";
            continue;
        }
        Value self(step.node);
        if (m.toInt32(m.get(self, u"nodeType")) == kXmlText) {
            Value value = m.get(self, u"nodeValue");
            if (!value.isNullish())
                out += escapeXml(m.toString(value));
            continue;
        }
        Value name = m.get(self, u"nodeName");
        bool tagged = !name.isNullish();
        if (tagged) {
            std::u16string tag = m.toString(name);
            out += u"<" + tag;
            if (ActionObject* attributes = m.get(self, u"attributes").toObject())
                for (const auto& key : attributes->names())
                    out += u" " + key + u"=\"" + escapeXml(m.toString(m.get(Value(attributes), key))) + u"\"";
            if (step.node->elements.empty()) {
                out += u" />";
                continue;
            }
            out += u">";
            pending.push_back({nullptr, std::move(tag)});
        }
        for (auto it = step.node->elements.rbegin(); it != step.node->elements.rend(); ++it)
            if (ActionObject* child = nodeOf(*it))
                pending.push_back({child, {}});
    }
    return out;
}

void installXmlNode(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, m.prototypes().object);
    m.prototypes().xmlNode = proto;
    m.defineClass(u"XMLNode", construct, proto);
    m.method(proto, u"appendChild", appendChild);
    m.method(proto, u"insertBefore", insertBefore);
    m.method(proto, u"removeNode", removeNode);
    m.method(proto, u"hasChildNodes", hasChildNodes);
    m.method(proto, u"cloneNode", cloneNode);
    m.method(proto, u"toString", toString);
    readOnly(m, proto, u"childNodes", childNodes);
    readOnly(m, proto, u"firstChild", firstChild);
    readOnly(m, proto, u"lastChild", lastChild);
    readOnly(m, proto, u"nextSibling", nextSibling);
    readOnly(m, proto, u"previousSibling", previousSibling);
    readOnly(m, proto, u"parentNode", parentNode);
    readOnly(m, proto, u"prefix", prefix);
    readOnly(m, proto, u"localName", localName);
    readOnly(m, proto, u"namespaceURI", namespaceUri);
    m.method(proto, u"getNamespaceForPrefix", getNamespaceForPrefix);
    m.method(proto, u"getPrefixForNamespace", getPrefixForNamespace);
}

} // namespace lumbra::movie
