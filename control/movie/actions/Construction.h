// Built-in constructors that set up their object run under `new`, and also
// when a script class that extends them calls super(): that call reaches the
// constructor as a plain call with the new instance as this.
#pragma once

#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

inline bool setsUpThis(NativeCall& c)
{
    if (c.constructing)
        return c.self() != nullptr;
    ActionObject* self = c.self();
    return self && self != c.machine.global() && self->kind == ActionObject::Kind::Plain && c.callee &&
           c.machine.instanceOf(c.thisValue, Value(c.callee));
}

} // namespace lumbra::movie
