// LoadVars: variables read from a URL-encoded file and written back as text.
#include "control/movie/actions/DataLoading.h"

namespace lumbra::movie {

namespace {

Value decode(NativeCall& c)
{
    ActionObject* o = c.self();
    if (!o)
        return {};
    for (auto& [name, value] : decodeVariables(c.machine, c.string(0)))
        c.machine.set(c.thisValue, name, Value(std::move(value)));
    return {};
}

// name=value pairs of the enumerable members, in for-in order.
Value toString(NativeCall& c)
{
    ActionObject* o = c.self();
    if (!o)
        return {};
    std::u16string out;
    for (const auto& name : o->names()) {
        if (!out.empty())
            out += u'&';
        out += encodeVariable(c.machine, name) + u"=" +
               encodeVariable(c.machine, c.machine.toString(c.machine.get(c.thisValue, name)));
    }
    return out;
}

// As the reference player's own script does: decode, then report.
Value onData(NativeCall& c)
{
    ActionObject* o = c.self();
    if (!o)
        return {};
    Value success = !c.arg(0).isUndefined();
    if (!c.arg(0).isUndefined()) {
        decode(c);
        o->set(u"loaded", true, DontEnum);
    }
    c.machine.callMethod(c.thisValue, u"onLoad", std::span<const Value>(&success, 1));
    return {};
}

} // namespace

void installLoadVars(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"LoadVars", constructInstance, proto);
    addLoadingMethods(m, proto);
    m.method(proto, u"decode", decode);
    m.method(proto, u"toString", toString);
    m.method(proto, u"onData", onData);
}

} // namespace lumbra::movie
