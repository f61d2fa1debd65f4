#include "script/engine/builtins/ObjectClass.h"

#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptObject.h"
#include "script/engine/ClassRegistration.h"

namespace orvet {

namespace {

// Object(x) and new Object(x): a new object for nothing, undefined or null;
// otherwise x itself (a string as a copy).
void makeObject(ScriptContext& ctx, ScriptValue* args, ScriptValue* result)
{
    if (!hasArgument(args, 1) || args[1].is(ValueKind::Undefined) || args[1].is(ValueKind::Null))
        *result = ScriptValue::ofObject(newObject(ctx));
    else
        *result = toObject(ctx, args[1]);
}

void objectCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    makeObject(ctx, args, result);
}

void objectConstruct(ScriptContext& ctx, NativeClass&, ScriptValue* args, ScriptValue* result)
{
    makeObject(ctx, args, result);
}

int objectMethod(ScriptContext& ctx, NativeClass&, void* data, Atom name, ScriptValue* result, ScriptValue*)
{
    const auto* receiver = static_cast<const ScriptValue*>(data); // null: the class object
    switch (name) {
    case kAtomToSource:
        *result = receiver ? ScriptValue::undefined() : staticStringValue(ctx, u"new Object()");
        return 1;
    case kAtomToString:
        *result = staticStringValue(ctx, receiver ? u"[object Object]" : u"[type Function]");
        return 1;
    case kAtomValueOf:
        *result = receiver ? *receiver : ctx.global(ctx.intern("Object"));
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerObjectClass(ScriptContext& ctx)
{
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(ctx, *cls, {"toSource", "toString", "valueOf"});
    cls->call = objectCall;
    cls->construct = objectConstruct;
    cls->callMethod = objectMethod;
    setKindClass(ctx, ValueKind::Object, cls);
    registerGlobalClass(ctx, "Object", cls);
}

} // namespace orvet
