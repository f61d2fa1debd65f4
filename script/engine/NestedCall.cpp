#include "script/engine/NestedCall.h"

#include "script/runtime/Interpreter.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptContext.h"

namespace orvet {

ScriptValue callNested(ScriptContext& ctx, const ScriptValue& receiver, const ScriptValue& callee, int n,
                       ScriptValue* args)
{
    if (callee.is(ValueKind::Function)) {
        run(ctx, receiver, callee.closure, n, args);
        return ctx.result;
    }
    ScriptValue result;
    if (callee.is(ValueKind::Native) && callee.native->cls->call) {
        NativeObject& object = *callee.native;
        object.cls->call(ctx, *object.cls, object.data, &result, args);
    }
    return result;
}

} // namespace orvet
