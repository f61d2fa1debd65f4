// A function value's record: the linked function and the function's own
// property object (made on first use; it is the prototype of objects made by
// `new` and holds properties stored on the function).
#pragma once

namespace orvet {

struct ScriptContext;
struct ScriptFunction;
struct ScriptObject;

struct Closure {
    ScriptFunction* function;
    ScriptObject* props;
};

Closure* newClosure(ScriptContext& ctx, ScriptFunction* function);

} // namespace orvet
