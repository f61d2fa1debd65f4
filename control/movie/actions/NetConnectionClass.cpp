// NetConnection: the link a NetStream plays through. connect(null) is the
// local link for playing files, made at once with the status
// "NetConnection.Connect.Success". This player has no network: a server
// address is accepted and "NetConnection.Connect.Failed" follows on a later frame.
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/StatusEvents.h"

namespace lumbra::movie {

namespace {

Value construct(NativeCall& c)
{
    if (!c.constructing)
        return {};
    if (ActionObject* self = c.self())
        self->set(u"isConnected", false, DontEnum);
    return c.thisValue;
}

Value connect(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self || c.args.empty())
        return false;
    Value uri = c.arg(0);
    bool local = uri.isNullish();
    self->set(u"isConnected", local, DontEnum);
    self->set(u"uri", local ? Value(u"null") : Value(c.string(0)), DontEnum);
    if (local) {
        Value info = statusInfo(c.machine, u"status", u"NetConnection.Connect.Success");
        c.machine.callMethod(c.thisValue, u"onStatus", std::span<const Value>(&info, 1));
    } else {
        callLater(c.machine, c.thisValue, u"onStatus",
                  {statusInfo(c.machine, u"error", u"NetConnection.Connect.Failed")});
    }
    return true;
}

Value close(NativeCall& c)
{
    if (ActionObject* self = c.self())
        self->set(u"isConnected", false, DontEnum);
    return {};
}

} // namespace

void installNetConnection(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"NetConnection", construct, proto);
    m.global()->findAny(u"NetConnection")->flags |= OnlyFrom6;
    m.method(proto, u"connect", connect);
    m.method(proto, u"close", close);
    m.method(proto, u"call", nativeUndefined);
    m.method(proto, u"addHeader", nativeUndefined);
}

} // namespace lumbra::movie
