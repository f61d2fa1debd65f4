// Function: call and apply run a function with a chosen `this`.
#include "control/movie/actions/Machine.h"

#include <cmath>

namespace lumbra::movie {

namespace {

Value construct(NativeCall& c) { return c.arg(0).isReference() ? c.arg(0) : Value(c.machine.newObject()); }

// A null or undefined `this` makes it a plain call: `this` is then the
// function's timeline, as for a call by name.
Value thisFor(const Value& given) { return given.isNullish() ? Value() : given; }

Value call(NativeCall& c)
{
    std::span<const Value> rest = c.args.empty() ? c.args : c.args.subspan(1);
    return c.machine.call(c.thisValue, thisFor(c.arg(0)), rest);
}

Value apply(NativeCall& c)
{
    std::vector<Value> args;
    if (ActionObject* list = c.arg(1).toObject()) {
        if (list->kind == ActionObject::Kind::Array) {
            args = list->elements;
        } else {
            double n = c.machine.toNumber(c.machine.get(c.arg(1), u"length"));
            for (double i = 0; i < n && i < 65536; ++i)
                args.push_back(c.machine.get(c.arg(1), numberToString(i)));
        }
    }
    return c.machine.call(c.thisValue, thisFor(c.arg(0)), args);
}

} // namespace

void installFunction(Machine& m)
{
    ActionObject* proto = m.prototypes().function;
    m.defineClass(u"Function", construct, proto);
    m.method(proto, u"call", call);
    m.method(proto, u"apply", apply);
}

} // namespace lumbra::movie
