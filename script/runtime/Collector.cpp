#include "script/runtime/Collector.h"

#include <string>

#include "script/runtime/Closure.h"
#include "script/runtime/Interpreter.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

namespace orvet {

namespace {

void markObjectRecord(ScriptContext& ctx, ScriptObject* object)
{
    if (object && ScriptHeap::mark(object))
        ctx.grayValues.push_back(ScriptValue::ofObject(object));
}

void markClass(ScriptContext& ctx, NativeClass* cls)
{
    if (cls && ScriptHeap::mark(cls))
        markObjectRecord(ctx, cls->prototype);
}

void drain(ScriptContext& ctx)
{
    while (!ctx.grayValues.empty()) {
        ScriptValue v = ctx.grayValues.back();
        ctx.grayValues.pop_back();
        if (v.kind == ValueKind::Object)
            markObjectContents(ctx, v.object);
        else
            markArrayContents(ctx, *v.array);
    }
}

void markStack(ScriptContext& ctx)
{
    for (ScriptValue* v = ctx.sp; v < ctx.stackEnd(); ++v) {
        if (v->kind == ValueKind::FrameLink) {
            if (v->aux == static_cast<std::uint32_t>(FrameLinkRole::WithList) && v->withList) {
                WithList* list = v->withList;
                ScriptHeap::mark(list);
                for (std::uint32_t i = 0; i < list->count; ++i)
                    markValue(ctx, list->items[i]);
            }
            continue;
        }
        markValue(ctx, *v);
    }
}

} // namespace

void markValue(ScriptContext& ctx, const ScriptValue& v)
{
    switch (v.kind) {
    case ValueKind::String: {
        ScriptString* s = v.string;
        if (!ScriptHeap::mark(s))
            return;
        if (!(s->flags & (ScriptString::kStatic | ScriptString::kInlineChars)) && s->chars)
            ScriptHeap::mark(s->chars);
        markObjectRecord(ctx, s->props);
        return;
    }
    case ValueKind::Array:
        if (ScriptHeap::mark(v.array))
            ctx.grayValues.push_back(v);
        return;
    case ValueKind::Object:
        markObjectRecord(ctx, v.object);
        return;
    case ValueKind::Native: {
        NativeObject* n = v.native;
        if (!ScriptHeap::mark(n))
            return;
        markClass(ctx, n->cls);
        markObjectRecord(ctx, n->props);
        if (n->cls->markData)
            n->cls->markData(ctx, *n->cls, n->data);
        return;
    }
    case ValueKind::Function:
        if (ScriptHeap::mark(v.closure))
            markObjectRecord(ctx, v.closure->props);
        return;
    default:
        return;
    }
}

void collect(ScriptContext& ctx)
{
    for (const ScriptValue& v : ctx.constants)
        markValue(ctx, v);
    for (const ScriptValue& v : ctx.globals)
        markValue(ctx, v);
    for (NativeClass* cls : ctx.kindClasses)
        markClass(ctx, cls);
    for (NativeClass* cls : ctx.classes) {
        markClass(ctx, cls);
        if (cls->markData)
            cls->markData(ctx, *cls, nullptr);
    }
    markValue(ctx, ctx.result);
    for (const RecoveryRecord& record : ctx.recovery)
        markValue(ctx, record.thrown);
    markStack(ctx);
    drain(ctx);
    ctx.heap.collected(ctx.heap.sweep());
}

void collectIfDue(ScriptContext& ctx)
{
    if (!ctx.heap.collectionDue())
        return;
    collect(ctx);
    if (!ctx.hook)
        return;
    if (int answer = ctx.hook(2, ctx.hookData))
        raiseError(ctx, std::string(kErrHookBreak) + std::to_string(answer));
}

} // namespace orvet
