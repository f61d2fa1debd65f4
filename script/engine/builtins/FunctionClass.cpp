#include "script/engine/builtins/FunctionClass.h"

#include <string>

#include "script/runtime/ScriptString.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/NestedRun.h"
#include "script/engine/ScriptEngine.h"

namespace orvet {

namespace {

// new Function("a", "b", "return a + b"): the parameter texts and the body
// (arguments that are not strings are skipped) compiled as one anonymous
// function, which the compiler names "@F_" + the context's function number.
void functionConstruct(ScriptContext& ctx, NativeClass& cls, ScriptValue* args, ScriptValue* result)
{
    const std::int64_t count = argumentCount(args);
    std::string text = "function (";
    bool first = true;
    for (std::int64_t i = 1; i < count; ++i) {
        if (!args[i].is(ValueKind::String))
            continue;
        if (!first)
            text += ", ";
        text += toAnsi(*args[i].string);
        first = false;
    }
    text += ") {";
    if (count >= 1 && args[count].is(ValueKind::String))
        text += toAnsi(*args[count].string);
    text += "}";

    const std::uint32_t number = ctx.functionBase;
    *result = ScriptValue::null();
    if (runNestedText(*MemberAtoms::of(cls).engine, text))
        *result = ctx.global(ctx.intern("@F_" + std::to_string(number)));
}

int functionMethod(ScriptContext& ctx, NativeClass&, void* data, Atom name, ScriptValue* result, ScriptValue*)
{
    const auto* receiver = static_cast<const ScriptValue*>(data); // null: the class object
    switch (name) {
    case kAtomToString:
        *result = staticStringValue(ctx, receiver ? u"[object Function]" : u"[type Function]");
        return 1;
    case kAtomValueOf:
        *result = receiver ? *receiver : ctx.global(ctx.intern("Function"));
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerFunctionClass(ScriptEngine& engine)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    // The engine compiles the text of new Function.
    MemberAtoms::attach(engine, nullptr, *cls, {"toString", "valueOf"});
    cls->construct = functionConstruct;
    cls->callMethod = functionMethod;
    setKindClass(ctx, ValueKind::Function, cls);
    registerGlobalClass(ctx, "Function", cls);
}

} // namespace orvet
