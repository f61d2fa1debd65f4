#include "script/runtime/Closure.h"

#include "script/runtime/ScriptContext.h"

namespace orvet {

Closure* newClosure(ScriptContext& ctx, ScriptFunction* function)
{
    auto* closure = static_cast<Closure*>(ctx.heap.allocate(sizeof(Closure)));
    closure->function = function;
    closure->props = nullptr;
    return closure;
}

} // namespace orvet
