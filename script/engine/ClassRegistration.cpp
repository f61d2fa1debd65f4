#include "script/engine/ClassRegistration.h"

#include "script/runtime/ScriptString.h"
#include "script/engine/ScriptEngine.h"

namespace orvet {

void defineConstant(ScriptContext& ctx, std::string_view name, std::int64_t value)
{
    ctx.global(ctx.intern(name)) = ScriptValue::ofInt(value);
}

NativeClass* defineGlobalFunction(ScriptContext& ctx, std::string_view name, NativeCallFn call, void* data)
{
    NativeClass* cls = newClass(ctx);
    cls->call = call;
    const Atom atom = ctx.intern(name);
    ctx.global(atom) = newInstance(ctx, cls, data);
    return cls;
}

void MemberAtoms::intern(ScriptContext& ctx, std::initializer_list<std::string_view> names)
{
    atoms_.reserve(names.size());
    for (std::string_view name : names)
        atoms_.push_back(ctx.intern(name));
}

ScriptContext& MemberAtoms::contextOf(ScriptEngine& engine)
{
    return *engine.context;
}

void MemberAtoms::release(void* userData)
{
    std::unique_ptr<MemberAtoms>(static_cast<MemberAtoms*>(userData));
}

ScriptValue stringValue(ScriptContext& ctx, std::u16string_view text)
{
    return ScriptValue::ofString(newString(ctx, text));
}

ScriptValue ansiStringValue(ScriptContext& ctx, std::string_view text)
{
    return ScriptValue::ofString(newStringFromAnsi(ctx, text));
}

ScriptValue staticStringValue(ScriptContext& ctx, std::u16string_view text)
{
    return ScriptValue::ofString(newStaticString(ctx, text));
}

} // namespace orvet
