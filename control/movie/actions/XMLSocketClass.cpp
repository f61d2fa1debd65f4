// XMLSocket: a socket to a server that speaks zero-terminated XML. This
// player has no network: a connect with a valid port is accepted and
// onConnect(false) follows on a later frame, as when the server cannot be
// reached; ports below 1024 are refused at once. What the socket receives
// goes through onData, which by default parses it and calls onXML.
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/StatusEvents.h"

namespace lumbra::movie {

namespace {

Value connect(NativeCall& c)
{
    double port = c.number(1);
    if (!c.self() || !(port >= 1024 && port <= 65535))
        return false;
    callLater(c.machine, c.thisValue, u"onConnect", {Value(false)});
    return true;
}

// onData(source): the source as an XML object for onXML.
Value onData(NativeCall& c)
{
    Machine& m = c.machine;
    Value source = c.arg(0);
    Value xml = m.construct(m.get(Value(m.global()), u"XML"), std::span<const Value>(&source, 1));
    m.callMethod(c.thisValue, u"onXML", std::span<const Value>(&xml, 1));
    return {};
}

} // namespace

void installXmlSocket(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"XMLSocket", constructInstance, proto);
    m.method(proto, u"connect", connect);
    m.method(proto, u"send", nativeUndefined);
    m.method(proto, u"close", nativeUndefined);
    m.method(proto, u"onData", onData);
}

} // namespace lumbra::movie
