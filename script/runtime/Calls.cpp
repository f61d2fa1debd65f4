#include "script/runtime/Calls.h"

#include <string>

#include "script/runtime/Closure.h"
#include "script/runtime/Interpreter.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/PropertyAccess.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"

namespace orvet {

namespace {

constexpr std::string_view kUndefinedFunction = "Warning: call a undefined function";

bool askClass(ScriptContext& ctx, NativeClass* cls, void* data, Atom name, ScriptValue* args, ScriptValue& result)
{
    result = ScriptValue::undefined();
    return cls && cls->callMethod && cls->callMethod(ctx, *cls, data, name, &result, args);
}

// A Function property of obj (prototype chain included), or null.
Closure* functionProperty(const ScriptObject* obj, Atom name, ScriptValue& found)
{
    if (!obj || !getProperty(obj, name, found))
        return nullptr;
    return found.kind == ValueKind::Function ? found.closure : nullptr;
}

void setUnknownMethod(ScriptContext& ctx, Atom name)
{
    setErrorText(ctx, "Warning: unknown method \"" + std::string(ctx.nameOf(name)) + "\"");
}

} // namespace

NativeClass* classOf(const ScriptContext& ctx, ScriptValue* value, void** data)
{
    if (value->kind == ValueKind::Native) {
        *data = value->native->data;
        return value->native->cls;
    }
    *data = value;
    return kindClass(ctx, value->kind);
}

MethodLookup lookupMethod(ScriptContext& ctx, ScriptValue* receiver, Atom name, ScriptValue* args,
                          ScriptValue& result)
{
    ScriptValue found;
    switch (receiver->kind) {
    case ValueKind::Native: {
        NativeObject& n = *receiver->native;
        if (askClass(ctx, n.cls, n.data, name, args, result))
            return {MethodLookup::Kind::Native, nullptr};
        if (Closure* c = functionProperty(n.props, name, found))
            return {MethodLookup::Kind::Script, c};
        return {MethodLookup::Kind::Missing, nullptr};
    }
    case ValueKind::Object:
        if (getProperty(receiver->object, name, found)) {
            if (found.kind == ValueKind::Function)
                return {MethodLookup::Kind::Script, found.closure};
            return {MethodLookup::Kind::Missing, nullptr};
        }
        break;
    default: break;
    }
    void* data;
    NativeClass* cls = classOf(ctx, receiver, &data);
    if (askClass(ctx, cls, data, name, args, result))
        return {MethodLookup::Kind::Native, nullptr};
    if (ScriptObject* own = ownPropertyObject(ctx, *receiver, receiver->kind))
        if (Closure* c = functionProperty(own, name, found))
            return {MethodLookup::Kind::Script, c};
    return {MethodLookup::Kind::Missing, nullptr};
}

int callValue(ScriptContext& ctx, const ScriptValue& receiver, const ScriptValue& callee, int n, ScriptValue* args)
{
    ScriptValue none[1] = {ScriptValue::ofInt(0)};
    if (n <= 0 || !args) {
        n = 1;
        args = none;
    }
    bool callable = callee.kind == ValueKind::Function ||
                    (callee.kind == ValueKind::Native && callee.native->cls->call);
    int ok = protectedCall(ctx, [&] {
        if (!callable)
            return;
        if (callee.kind == ValueKind::Function) {
            run(ctx, receiver, callee.closure, n, args);
            return;
        }
        ScriptValue result;
        NativeObject& object = *callee.native;
        object.cls->call(ctx, *object.cls, object.data, &result, args);
        ctx.result = result;
    });
    if (ok && !callable) {
        setErrorText(ctx, kUndefinedFunction);
        return 0;
    }
    return ok;
}

int callFunction(ScriptContext& ctx, const ScriptValue& callee, int n, ScriptValue* args)
{
    return callValue(ctx, ScriptValue::null(), callee, n, args);
}

int callMethod(ScriptContext& ctx, const ScriptValue& value, Atom name, int n, ScriptValue* args)
{
    ScriptValue none[1] = {ScriptValue::ofInt(0)};
    if (n <= 0 || !args) {
        n = 1;
        args = none;
    }
    bool missing = false;
    int ok = protectedCall(ctx, [&] {
        ScriptValue self = value;
        ScriptValue found;
        if (value.kind == ValueKind::Object && getProperty(value.object, name, found)) {
            if (found.kind == ValueKind::Function)
                run(ctx, value, found.closure, n, args);
            else
                missing = true;
            return;
        }
        void* data;
        NativeClass* cls = classOf(ctx, &self, &data);
        ScriptValue result;
        if (askClass(ctx, cls, data, name, args, result))
            ctx.result = result;
        else
            missing = true;
    });
    if (ok && missing) {
        setUnknownMethod(ctx, name);
        return 0;
    }
    return ok;
}

} // namespace orvet
