// AsBroadcaster: objects that keep a list of listeners and send them messages.
// Key, Mouse and Stage are broadcasters.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

ActionObject* listeners(NativeCall& c)
{
    ActionObject* list = c.machine.get(c.thisValue, u"_listeners").toObject();
    return list && list->kind == ActionObject::Kind::Array ? list : nullptr;
}

Value addListener(NativeCall& c)
{
    ActionObject* list = listeners(c);
    if (!list)
        return false;
    for (const Value& v : list->elements)
        if (v.sameAs(c.arg(0)))
            return true;
    list->elements.push_back(c.arg(0));
    return true;
}

Value removeListener(NativeCall& c)
{
    ActionObject* list = listeners(c);
    if (!list)
        return false;
    for (auto it = list->elements.begin(); it != list->elements.end(); ++it)
        if (it->sameAs(c.arg(0))) {
            list->elements.erase(it);
            return true;
        }
    return false;
}

Value broadcastMessage(NativeCall& c)
{
    ActionObject* list = listeners(c);
    if (!list || c.args.empty())
        return {};
    std::u16string name = c.string(0);
    std::vector<Value> targets = list->elements; // listeners may change the list
    for (const Value& target : targets)
        c.machine.callMethod(target, name, c.args.subspan(1));
    return true;
}

Value initialize(NativeCall& c)
{
    if (ActionObject* o = c.arg(0).toObject())
        makeBroadcaster(c.machine, o);
    return {};
}

} // namespace

void makeBroadcaster(Machine& m, ActionObject* object)
{
    object->set(u"_listeners", Value(m.newArray()), DontEnum);
    // The same three functions AsBroadcaster holds.
    ActionObject* broadcaster = m.get(Value(m.global()), u"AsBroadcaster").toObject();
    if (!broadcaster)
        return;
    for (const char16_t* name : {u"addListener", u"removeListener", u"broadcastMessage"})
        object->set(name, m.get(Value(broadcaster), name), DontEnum);
}

void installBroadcaster(Machine& m)
{
    ActionObject* broadcaster = m.newObject();
    m.global()->set(u"AsBroadcaster", Value(broadcaster), DontEnum);
    m.method(broadcaster, u"addListener", addListener);
    m.method(broadcaster, u"removeListener", removeListener);
    m.method(broadcaster, u"broadcastMessage", broadcastMessage);
    m.method(broadcaster, u"initialize", initialize);
}

} // namespace lumbra::movie
