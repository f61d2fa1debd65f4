// Boolean: the wrapper of true and false.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

Value construct(NativeCall& c)
{
    bool b = c.machine.toBoolean(c.arg(0));
    if (!c.constructing)
        return b;
    ActionObject* o = c.self();
    o->kind = ActionObject::Kind::Boolean;
    o->primitive = b;
    return c.thisValue;
}

bool self(NativeCall& c)
{
    ActionObject* o = c.self();
    if (o && o->kind == ActionObject::Kind::Boolean)
        return o->primitive.toBoolean(c.machine.version());
    return c.thisValue.type() == Value::Type::Boolean && c.thisValue.toBoolean(c.machine.version());
}

Value valueOf(NativeCall& c) { return self(c); }
Value toString(NativeCall& c) { return self(c) ? u"true" : u"false"; }

} // namespace

void installBoolean(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, m.prototypes().object);
    m.prototypes().boolean = proto;
    m.defineClass(u"Boolean", construct, proto);
    m.method(proto, u"valueOf", valueOf);
    m.method(proto, u"toString", toString);
}

} // namespace lumbra::movie
