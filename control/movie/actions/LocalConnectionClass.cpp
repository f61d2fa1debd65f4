// LocalConnection: movies of one player send each other method calls by a
// connection name. A name without a leading underscore belongs to the
// sender's domain ("localhost:name" for local files); names compare without
// regard to case. Messages arrive on a later frame, when the sender hears
// onStatus({level: "status"}), or {level: "error"} when nobody listens on the
// name or the receiver's allowDomain refused it.
#include "control/movie/TextCodec.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/StatusEvents.h"

#include <algorithm>

namespace lumbra::movie {

namespace {

constexpr std::u16string_view kDomain = u"localhost";

// The registry key of a name: domain-qualified unless it starts with "_", folded.
std::u16string fullName(std::u16string_view name)
{
    if (name.starts_with(u'_'))
        return foldCase(name);
    return foldCase(std::u16string(kDomain) + u':' + std::u16string(name));
}

// Names scripts may use: text without a colon (the domain separator).
bool validName(const Value& name)
{
    return name.isString() && !name.toString().empty() && name.toString().find(u':') == std::u16string::npos;
}

bool isConnected(Machine& m, ActionObject* self)
{
    auto& all = m.localConnections();
    return std::any_of(all.begin(), all.end(), [&](const auto& entry) { return entry.second == self; });
}

Value construct(NativeCall& c) { return c.constructing ? c.thisValue : Value(); }

// connect(name): false when the name is taken or this object listens already.
Value connect(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self || !validName(c.arg(0)) || isConnected(c.machine, self))
        return false;
    return c.machine.localConnections().try_emplace(fullName(c.arg(0).toString()), self).second;
}

Value close(NativeCall& c)
{
    std::erase_if(c.machine.localConnections(), [&](const auto& entry) { return entry.second == c.self(); });
    return {};
}

Value domain(NativeCall&) { return std::u16string(kDomain); }

// The members of LocalConnection itself, which a message cannot call.
bool reserved(std::u16string_view method)
{
    for (std::u16string_view name : {u"send", u"connect", u"close", u"domain", u"allowDomain", u"allowInsecureDomain"})
        if (foldCase(name) == foldCase(method))
            return true;
    return false;
}

// The arrival of a message: the connection name, the method, its arguments.
Value messageArrived(NativeCall& c)
{
    Machine& m = c.machine;
    auto& all = m.localConnections();
    auto receiver = all.find(c.string(0));
    bool delivered = receiver != all.end();
    if (delivered) {
        Value target(receiver->second);
        Value allow = m.get(target, u"allowDomain");
        if (allow.isObject()) {
            Value sender(std::u16string{kDomain});
            delivered = m.toBoolean(m.call(allow, target, std::span<const Value>(&sender, 1)));
        }
        if (delivered)
            m.callMethod(target, c.string(1), c.args.subspan(2));
    }
    Value info = statusInfo(m, delivered ? u"status" : u"error");
    m.callMethod(c.thisValue, u"onStatus", std::span<const Value>(&info, 1));
    return {};
}

// send(name, method, args...): true when the message could be queued.
Value send(NativeCall& c)
{
    if (!c.self() || !validName(c.arg(0)) || !c.arg(1).isString() || c.arg(1).toString().empty() ||
        reserved(c.arg(1).toString()))
        return false;
    std::vector<Value> message{Value(fullName(c.arg(0).toString())), c.arg(1)};
    message.insert(message.end(), c.args.begin() + 2, c.args.end());
    c.machine.scheduleArrival({Value(c.machine.newFunction(messageArrived)), c.thisValue, std::move(message)});
    return true;
}

} // namespace

void installLocalConnection(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"LocalConnection", construct, proto);
    m.global()->findAny(u"LocalConnection")->flags |= OnlyFrom6;
    m.method(proto, u"connect", connect);
    m.method(proto, u"send", send);
    m.method(proto, u"close", close);
    m.method(proto, u"domain", domain);
}

} // namespace lumbra::movie
