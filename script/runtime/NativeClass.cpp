#include "script/runtime/NativeClass.h"

#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"

namespace orvet {

namespace {

void finalizeClass(ScriptContext&, void* block)
{
    auto* cls = static_cast<NativeClass*>(block);
    if (cls->finalize)
        cls->finalize(cls->userData);
}

void finalizeInstance(ScriptContext& ctx, void* block)
{
    disposeInstance(ctx, *static_cast<NativeObject*>(block));
}

} // namespace

NativeClass* newClass(ScriptContext& ctx)
{
    ScriptObject* prototype = newObjectWithProto(ctx, ScriptValue::null());
    // Class records die after their instances in a sweep: an instance's
    // destroyData may still use the class's user data.
    auto* cls = static_cast<NativeClass*>(ctx.heap.allocateWithFinalizer(sizeof(NativeClass), finalizeClass, true));
    cls->prototype = prototype;
    ctx.classes.push_back(cls);
    return cls;
}

ScriptValue newInstance(ScriptContext& ctx, NativeClass* cls, void* data)
{
    ScriptObject* props = data ? newObjectWithProto(ctx, ScriptValue::ofObject(cls->prototype)) : nullptr;
    auto* object = static_cast<NativeObject*>(ctx.heap.allocateWithFinalizer(sizeof(NativeObject), finalizeInstance));
    object->cls = cls;
    object->data = data;
    object->props = props;
    return ScriptValue::ofNative(object);
}

void disposeInstance(ScriptContext& ctx, NativeObject& object)
{
    if (object.disposed)
        return;
    object.disposed = true;
    void* data = object.data;
    object.data = nullptr;
    if (object.cls->destroyData)
        object.cls->destroyData(ctx, *object.cls, data);
}

void registerGlobalClass(ScriptContext& ctx, std::string_view name, NativeClass* cls)
{
    Atom atom = ctx.intern(name);
    ctx.global(atom) = newInstance(ctx, cls, nullptr);
}

void setKindClass(ScriptContext& ctx, ValueKind kind, NativeClass* cls)
{
    auto k = static_cast<std::size_t>(kind);
    if (k < kKindCount)
        ctx.kindClasses[k] = cls;
}

NativeClass* kindClass(const ScriptContext& ctx, ValueKind kind)
{
    auto k = static_cast<std::size_t>(kind);
    return k < kKindCount ? ctx.kindClasses[k] : nullptr;
}

} // namespace orvet
