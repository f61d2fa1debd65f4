#include "control/movie/actions/ExternalValues.h"

#include "control/movie/actions/XmlParser.h"

#include <unordered_set>

namespace lumbra::movie {

namespace {

// Nesting beyond this (in either direction) stands for nothing: a value
// from outside cannot run the stack out, nor can a cycle of objects.
constexpr int kMaxDepth = 64;

class Encoder {
public:
    explicit Encoder(Machine& m) : m_(m) {}

    void value(const Value& v, int depth)
    {
        switch (v.type()) {
        case Value::Type::Undefined: out += u"<undefined/>"; return;
        case Value::Type::Null: out += u"<null/>"; return;
        case Value::Type::Boolean: out += m_.toBoolean(v) ? u"<true/>" : u"<false/>"; return;
        case Value::Type::Number: element(u"number", m_.toString(v)); return;
        case Value::Type::String: element(u"string", escapeXml(v.toString())); return;
        default: break;
        }
        ActionObject* o = v.toObject();
        if (!o || o->kind == ActionObject::Kind::Function || depth >= kMaxDepth || !open_.insert(o).second) {
            out += u"<null/>";
            return;
        }
        if (o->kind == ActionObject::Kind::Array) {
            out += u"<array>";
            for (std::size_t i = 0; i < o->elements.size(); ++i)
                property(numberToString(double(i)), o->elements[i], depth);
            out += u"</array>";
        } else {
            out += u"<object>";
            for (const auto& name : o->names())
                property(escapeXml(name), m_.get(v, name), depth);
            out += u"</object>";
        }
        open_.erase(o);
    }

    std::u16string out;

private:
    void element(std::u16string_view name, std::u16string_view text)
    {
        out.append(u"<").append(name).append(u">").append(text).append(u"</").append(name).append(u">");
    }

    void property(std::u16string_view id, const Value& v, int depth)
    {
        out.append(u"<property id=\"").append(id).append(u"\">");
        value(v, depth + 1);
        out += u"</property>";
    }

    Machine& m_;
    std::unordered_set<ActionObject*> open_; // objects being written: a cycle ends in null
};

class Decoder {
public:
    Decoder(Machine& m, const XmlDocument& doc) : m_(m), doc_(doc) {}

    // The element children of a node, text between them skipped.
    std::vector<std::size_t> elements(std::size_t node) const
    {
        std::vector<std::size_t> found;
        for (std::size_t child : doc_.nodes[node].children)
            if (doc_.nodes[child].element)
                found.push_back(child);
        return found;
    }

    std::u16string text(std::size_t node) const
    {
        std::u16string all;
        for (std::size_t child : doc_.nodes[node].children)
            if (!doc_.nodes[child].element)
                all += doc_.nodes[child].value;
        return all;
    }

    const XmlParsedNode& at(std::size_t node) const { return doc_.nodes[node]; }

    Value value(std::size_t node, int depth)
    {
        const XmlParsedNode& n = doc_.nodes[node];
        if (n.name == u"string")
            return Value(text(node));
        if (n.name == u"number")
            return Value(m_.toNumber(Value(text(node))));
        if (n.name == u"true" || n.name == u"false")
            return Value(n.name == u"true");
        if (n.name == u"null")
            return Value::null();
        if (depth >= kMaxDepth)
            return {};
        if (n.name == u"array") {
            ActionObject* array = m_.newArray();
            for (std::size_t p : elements(node))
                if (auto id = attribute(p, u"id"))
                    m_.set(Value(array), *id, property(p, depth));
            return Value(array);
        }
        if (n.name == u"object") {
            ActionObject* object = m_.newObject();
            for (std::size_t p : elements(node))
                if (auto id = attribute(p, u"id"))
                    object->set(*id, property(p, depth));
            return Value(object);
        }
        return {}; // <undefined/> and anything unknown
    }

    std::optional<std::u16string> attribute(std::size_t node, std::u16string_view name) const
    {
        for (const auto& [key, value] : doc_.nodes[node].attributes)
            if (key == name)
                return value;
        return std::nullopt;
    }

private:
    Value property(std::size_t node, int depth)
    {
        auto inner = elements(node);
        return inner.empty() ? Value() : value(inner.front(), depth + 1);
    }

    Machine& m_;
    const XmlDocument& doc_;
};

// The one top element of a parsed text, when there is exactly one.
std::optional<std::size_t> topElement(const Decoder& d, const XmlDocument& doc)
{
    if (doc.status != XmlOk)
        return std::nullopt;
    auto top = d.elements(0);
    return top.size() == 1 ? std::optional<std::size_t>(top.front()) : std::nullopt;
}

} // namespace

std::u16string encodeExternal(Machine& m, const Value& value)
{
    Encoder e(m);
    e.value(value, 0);
    return std::move(e.out);
}

Value decodeExternal(Machine& m, std::u16string_view xml)
{
    XmlDocument doc = parseXmlText(xml, true);
    Decoder d(m, doc);
    auto top = topElement(d, doc);
    return top ? d.value(*top, 0) : Value();
}

std::u16string encodeInvoke(Machine& m, std::u16string_view name, std::span<const Value> args)
{
    Encoder e(m);
    e.out.append(u"<invoke name=\"").append(escapeXml(name)).append(u"\" returntype=\"xml\"><arguments>");
    for (const Value& arg : args)
        e.value(arg, 0);
    e.out += u"</arguments></invoke>";
    return std::move(e.out);
}

std::optional<Invocation> decodeInvoke(Machine& m, std::u16string_view xml)
{
    XmlDocument doc = parseXmlText(xml, true);
    Decoder d(m, doc);
    auto top = topElement(d, doc);
    if (!top || d.at(*top).name != u"invoke")
        return std::nullopt;
    auto name = d.attribute(*top, u"name");
    if (!name)
        return std::nullopt;
    Invocation call{std::move(*name), {}};
    for (std::size_t part : d.elements(*top))
        if (d.at(part).name == u"arguments")
            for (std::size_t arg : d.elements(part))
                call.args.push_back(d.value(arg, 0));
    return call;
}

} // namespace lumbra::movie
