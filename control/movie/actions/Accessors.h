// Properties that built-in classes answer through native code (a getter and
// an optional setter), as addProperty makes them for scripts.
#pragma once

#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

// Without a setter, assignments are ignored. Answers the getter-setter pair.
inline ActionObject* defineAccessor(Machine& m, ActionObject* on, std::u16string_view name, NativeFunction get,
                                    NativeFunction set = nullptr, unsigned flags = DontEnum | DontDelete)
{
    std::vector<Value> functions{Value(m.newFunction(get)),
                                 Value(m.newFunction(set ? set : [](NativeCall&) { return Value(); }))};
    ActionObject* pair = m.newArray(std::move(functions));
    on->set(name, Value(pair), Accessor | flags);
    return pair;
}

// A number member of a script object (NaN when absent).
inline double numberMember(Machine& m, const Value& object, std::u16string_view name)
{
    return m.toNumber(m.get(object, name));
}

} // namespace lumbra::movie
