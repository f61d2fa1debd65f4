// LocalConnection: movies send each other method calls by a connection
// name: the levels and loaded movies of one player, and the players of one
// process (several controls in one container), whose scripts all run on the
// one user-interface thread. A name without a leading underscore belongs to the
// sender's domain ("localhost:name" for local files); names compare without
// regard to case. Messages arrive on a later frame, when the sender hears
// onStatus({level: "status"}), or {level: "error"} when nobody listens on the
// name or the receiver's allowDomain refused it.
#include "control/movie/Playback.h"
#include "control/movie/TextCodec.h"
#include "control/movie/actions/ExternalValues.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/StatusEvents.h"

#include <algorithm>
#include <map>

namespace lumbra::movie {

namespace {

constexpr std::u16string_view kDomain = u"localhost";

// Which machine of the process listens on a name; the machine itself holds
// the connected object, so that its collector sees it.
std::map<std::u16string, Machine*>& listeners()
{
    static std::map<std::u16string, Machine*> all;
    return all;
}

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

// The machine and object listening on a full name, if any.
std::pair<Machine*, ActionObject*> receiverOf(const std::u16string& name)
{
    auto found = listeners().find(name);
    if (found == listeners().end())
        return {};
    auto& own = found->second->localConnections();
    auto object = own.find(name);
    return {found->second, object == own.end() ? nullptr : object->second};
}

// connect(name): false when the name is taken or this object listens already.
Value connect(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self || !validName(c.arg(0)) || isConnected(c.machine, self))
        return false;
    std::u16string name = fullName(c.arg(0).toString());
    if (!listeners().try_emplace(name, &c.machine).second)
        return false;
    c.machine.localConnections()[name] = self;
    return true;
}

Value close(NativeCall& c)
{
    std::erase_if(c.machine.localConnections(), [&](const auto& entry) {
        if (entry.second != c.self())
            return false;
        listeners().erase(entry.first);
        return true;
    });
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

// Runs the message on the receiver of this machine: false when its allowDomain refused.
bool deliverHere(Machine& m, ActionObject* receiver, std::u16string_view method, std::span<const Value> args)
{
    Value target(receiver);
    Value allow = m.get(target, u"allowDomain");
    if (allow.isObject()) {
        Value sender(std::u16string{kDomain});
        if (!m.toBoolean(m.call(allow, target, std::span<const Value>(&sender, 1))))
            return false;
    }
    m.callMethod(target, method, args);
    return true;
}

// Runs the message on a receiver of another player: the arguments are
// copied into that player's objects, and its scripts run as a call from
// outside, with their own step budget.
bool deliverThere(Machine& from, Machine& to, ActionObject* receiver, std::u16string_view method,
                  std::span<const Value> args)
{
    std::vector<Value> copied;
    for (const Value& arg : args)
        copied.push_back(decodeExternal(to, encodeExternal(from, arg)));
    Value target(receiver);
    Value allow = to.get(target, u"allowDomain");
    if (allow.isObject()) {
        Value sender(std::u16string{kDomain});
        if (!to.toBoolean(to.playback().callFromHost(target, allow, std::span<const Value>(&sender, 1))))
            return false;
    }
    to.playback().callFromHost(target, to.get(target, method), copied);
    return true;
}

// The arrival of a message: the connection name, the method, its arguments.
Value messageArrived(NativeCall& c)
{
    Machine& m = c.machine;
    auto [machine, receiver] = receiverOf(c.string(0));
    bool delivered = false;
    if (receiver && machine == &m)
        delivered = deliverHere(m, receiver, c.string(1), c.args.subspan(2));
    else if (receiver)
        delivered = deliverThere(m, *machine, receiver, c.string(1), c.args.subspan(2));
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

void closeLocalConnections(Machine& m)
{
    for (const auto& [name, object] : m.localConnections())
        listeners().erase(name);
    m.localConnections().clear();
}

void installLocalConnection(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"LocalConnection", constructInstance, proto);
    m.global()->findAny(u"LocalConnection")->flags |= OnlyFrom6;
    m.method(proto, u"connect", connect);
    m.method(proto, u"send", send);
    m.method(proto, u"close", close);
    m.method(proto, u"domain", domain);
}

} // namespace lumbra::movie
