#include "script/engine/EngineCalls.h"

#include "script/runtime/Calls.h"
#include "script/runtime/RuntimeError.h"
#include "script/engine/ScriptEngine.h"

namespace orvet {

int CallFunction(ScriptContext& ctx, const char* name, const ScriptValue& value, int n, ScriptValue* args)
{
    if (!name)
        return callFunction(ctx, value, n, args);
    ScriptValue callee;
    if (!protectedCall(ctx, [&] { callee = ctx.global(ctx.intern(name)); }))
        return 0;
    return callFunction(ctx, callee, n, args);
}

int CallValue(ScriptContext& ctx, const ScriptValue& receiver, const ScriptValue& value, int n, ScriptValue* args)
{
    return callValue(ctx, receiver, value, n, args);
}

int CallMethod(ScriptContext& ctx, const ScriptValue& value, const char* name, int n, ScriptValue* args)
{
    Atom atom = AtomTable::kNone;
    if (!protectedCall(ctx, [&] { atom = ctx.intern(name); }))
        return 0;
    return callMethod(ctx, value, atom, n, args);
}

int Protected(ScriptEngine& engine, const std::function<void(ScriptContext&)>& routine)
{
    ScriptContext& ctx = *engine.context;
    return protectedCall(ctx, [&] { routine(ctx); });
}

} // namespace orvet
