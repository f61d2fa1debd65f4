// Error: what scripts throw. The message and name live on the prototype, so an
// error made without a message, or a subclass that only sets its own name on
// its prototype, shows the nearest one.
#include "control/movie/actions/Construction.h"

namespace lumbra::movie {

namespace {

// Called without new, Error makes a new error, except from a subclass's
// constructor (super(message)), which sets up the instance being made.
Value construct(NativeCall& c)
{
    const bool setUp = setsUpThis(c);
    Value self = setUp ? c.thisValue : Value(c.machine.newObject());
    if (!setUp)
        if (ActionObject* o = self.toObject())
            o->proto = c.machine.prototypes().error;
    if (!c.arg(0).isUndefined())
        c.machine.set(self, u"message", c.string(0));
    return self;
}

Value toString(NativeCall& c) { return c.machine.toString(c.machine.get(c.thisValue, u"message")); }

} // namespace

void installError(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.prototypes().error = proto;
    m.defineClass(u"Error", construct, proto);
    m.method(proto, u"toString", toString);
    proto->set(u"message", u"Error", DontEnum);
    proto->set(u"name", u"Error", DontEnum);
}

} // namespace lumbra::movie
