// String: methods work on `this` converted to text, so they serve both the
// wrapper objects and plain strings.
#include "control/movie/actions/CaseMapping.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// split makes at most as many parts as an array may hold elements.
constexpr std::size_t kMaxParts = std::size_t(1) << 20;

std::u16string self(NativeCall& c) { return c.machine.toString(c.thisValue); }

Value construct(NativeCall& c)
{
    std::u16string text = c.args.empty() ? u"" : c.string(0);
    if (!c.constructing)
        return text;
    ActionObject* o = c.self();
    o->kind = ActionObject::Kind::String;
    o->primitive = text;
    o->set(u"length", double(text.size()), DontEnum);
    return c.thisValue;
}

Value valueOf(NativeCall& c)
{
    ActionObject* o = c.self();
    if (o && o->kind == ActionObject::Kind::String)
        return o->primitive;
    return c.thisValue.isString() ? c.thisValue : Value(self(c));
}

// An index argument: NaN reads as 0, the rest truncated and clamped.
double integer(NativeCall& c, std::size_t i, double fallback)
{
    if (i >= c.args.size() || c.arg(i).isUndefined())
        return fallback;
    double n = c.number(i);
    return std::isnan(n) ? 0 : std::trunc(n);
}

std::size_t clampIndex(double n, std::size_t size) { return std::size_t(std::clamp(n, 0.0, double(size))); }

Value charAt(NativeCall& c)
{
    std::u16string s = self(c);
    double i = integer(c, 0, 0);
    return i >= 0 && i < double(s.size()) ? Value(std::u16string(1, s[std::size_t(i)])) : Value(u"");
}

Value charCodeAt(NativeCall& c)
{
    std::u16string s = self(c);
    double i = integer(c, 0, 0);
    return i >= 0 && i < double(s.size()) ? Value(double(s[std::size_t(i)])) : Value(std::nan(""));
}

Value concat(NativeCall& c)
{
    std::u16string s = self(c);
    for (std::size_t i = 0; i < c.args.size() && s.size() < kMaxBuiltText; ++i)
        s += c.string(i);
    return s;
}

Value indexOf(NativeCall& c)
{
    std::u16string s = self(c);
    std::size_t from = clampIndex(integer(c, 1, 0), s.size());
    auto at = s.find(c.string(0), from);
    return at == std::u16string::npos ? -1.0 : double(at);
}

Value lastIndexOf(NativeCall& c)
{
    std::u16string s = self(c);
    // A start that is not a number searches the whole text.
    double from = std::isnan(c.number(1)) ? double(s.size()) : integer(c, 1, double(s.size()));
    if (from < 0)
        return -1.0;
    auto at = s.rfind(c.string(0), clampIndex(from, s.size()));
    return at == std::u16string::npos ? -1.0 : double(at);
}

Value slice(NativeCall& c)
{
    std::u16string s = self(c);
    auto relative = [&](double n) {
        return n < 0 ? clampIndex(double(s.size()) + n, s.size()) : clampIndex(n, s.size());
    };
    std::size_t from = relative(integer(c, 0, 0)), to = relative(integer(c, 1, double(s.size())));
    return from < to ? s.substr(from, to - from) : u"";
}

Value substring(NativeCall& c)
{
    std::u16string s = self(c);
    std::size_t from = clampIndex(integer(c, 0, 0), s.size()), to = clampIndex(integer(c, 1, double(s.size())), s.size());
    if (from > to)
        std::swap(from, to);
    return s.substr(from, to - from);
}

Value substr(NativeCall& c)
{
    std::u16string s = self(c);
    double start = integer(c, 0, 0);
    if (start < 0)
        start = std::max(0.0, double(s.size()) + start);
    std::size_t from = clampIndex(start, s.size());
    double length = integer(c, 1, double(s.size()));
    if (length <= 0)
        return u"";
    return s.substr(from, clampIndex(length, s.size() - from));
}

Value split(NativeCall& c)
{
    std::u16string s = self(c);
    std::vector<Value> parts;
    double limit = integer(c, 1, 4294967295.0);
    if (limit <= 0)
        return Value(c.machine.newArray());
    if (c.args.empty() || c.arg(0).isUndefined()) {
        parts.push_back(s);
    } else {
        std::u16string separator = c.string(0);
        if (separator.empty()) {
            for (std::size_t i = 0; i < s.size() && i < kMaxParts; ++i)
                parts.push_back(std::u16string(1, s[i]));
        } else {
            std::size_t start = 0;
            while (parts.size() < kMaxParts) {
                std::size_t at = s.find(separator, start);
                parts.push_back(s.substr(start, at == std::u16string::npos ? std::u16string::npos : at - start));
                if (at == std::u16string::npos)
                    break;
                start = at + separator.size();
            }
        }
    }
    if (double(parts.size()) > limit)
        parts.resize(std::size_t(limit));
    return Value(c.machine.newArray(std::move(parts)));
}

Value toUpperCase(NativeCall& c) { return toUpper(self(c)); }
Value toLowerCase(NativeCall& c) { return toLower(self(c)); }

Value fromCharCode(NativeCall& c)
{
    std::u16string s;
    for (std::size_t i = 0; i < c.args.size(); ++i)
        s += char16_t(std::uint16_t(c.machine.toInt32(c.arg(i))));
    return s;
}

} // namespace

void installString(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, m.prototypes().object);
    m.prototypes().string = proto;
    ActionObject* ctor = m.defineClass(u"String", construct, proto);
    m.method(ctor, u"fromCharCode", fromCharCode);
    m.method(proto, u"valueOf", valueOf);
    m.method(proto, u"toString", valueOf);
    m.method(proto, u"charAt", charAt);
    m.method(proto, u"charCodeAt", charCodeAt);
    m.method(proto, u"concat", concat);
    m.method(proto, u"indexOf", indexOf);
    m.method(proto, u"lastIndexOf", lastIndexOf);
    m.method(proto, u"slice", slice);
    m.method(proto, u"substring", substring);
    m.method(proto, u"substr", substr);
    m.method(proto, u"split", split);
    m.method(proto, u"toUpperCase", toUpperCase);
    m.method(proto, u"toLowerCase", toLowerCase);
}

} // namespace lumbra::movie
