#include "script/engine/builtins/BooleanClass.h"

#include "script/runtime/Conversions.h"
#include "script/engine/ClassRegistration.h"

namespace orvet {

namespace {

// Boolean(x) and new Boolean(x) both give a primitive Boolean.
ScriptValue makeBoolean(const ScriptValue* args)
{
    return ScriptValue::ofBool(hasArgument(args, 1) && toBoolean(args[1]));
}

void booleanCall(ScriptContext&, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    *result = makeBoolean(args);
}

void booleanConstruct(ScriptContext&, NativeClass&, ScriptValue* args, ScriptValue* result)
{
    *result = makeBoolean(args);
}

int booleanMethod(ScriptContext& ctx, NativeClass&, void* data, Atom name, ScriptValue* result, ScriptValue*)
{
    const auto* receiver = static_cast<const ScriptValue*>(data); // null: the class object
    switch (name) {
    case kAtomToString:
        if (!receiver)
            *result = staticStringValue(ctx, u"[type Function]");
        else
            *result = staticStringValue(ctx, receiver->boolean ? u"true" : u"false");
        return 1;
    case kAtomValueOf:
        *result = receiver ? *receiver : ctx.global(ctx.intern("Boolean"));
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerBooleanClass(ScriptContext& ctx)
{
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(ctx, *cls, {"toString", "valueOf"});
    cls->call = booleanCall;
    cls->construct = booleanConstruct;
    cls->callMethod = booleanMethod;
    setKindClass(ctx, ValueKind::Boolean, cls);
    registerGlobalClass(ctx, "Boolean", cls);
}

} // namespace orvet
