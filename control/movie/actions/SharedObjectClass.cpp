// SharedObject: data a movie keeps between runs (getLocal), saved in the
// per-user folder the host gives.
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/SharedObjectStore.h"

namespace lumbra::movie {

namespace {

// The prototype of the class getLocal was called on.
ActionObject* prototypeOf(NativeCall& c)
{
    ActionObject* proto = c.machine.get(c.thisValue, u"prototype").toObject();
    return proto ? proto : c.machine.prototypes().object;
}

// SharedObject.getLocal(name [, localPath]): null for a name the player refuses.
Value getLocal(NativeCall& c)
{
    if (!c.arg(0).isString())
        return Value::null();
    ActionObject* object = c.machine.sharedObjects().get(c.machine, c.arg(0).toString(), prototypeOf(c));
    return object ? Value(object) : Value::null();
}

Value getRemote(NativeCall&) { return Value::null(); }

Value flush(NativeCall& c)
{
    ActionObject* o = c.self();
    return o && c.machine.sharedObjects().flush(o);
}

Value clear(NativeCall& c)
{
    if (ActionObject* o = c.self())
        c.machine.sharedObjects().clear(c.machine, o);
    return {};
}

Value getSize(NativeCall& c)
{
    ActionObject* o = c.self();
    return o ? Value(double(c.machine.sharedObjects().size(o))) : Value();
}

} // namespace

void installSharedObject(Machine& m)
{
    ActionObject* proto = m.newObject();
    ActionObject* constructor = m.defineClass(u"SharedObject", constructInstance, proto);
    m.method(constructor, u"getLocal", getLocal);
    m.method(constructor, u"getRemote", getRemote);
    m.method(proto, u"flush", flush);
    m.method(proto, u"clear", clear);
    m.method(proto, u"getSize", getSize);
    m.method(proto, u"close", nativeUndefined);
    m.method(proto, u"connect", nativeUndefined);
}

} // namespace lumbra::movie
