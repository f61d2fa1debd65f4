#include "host/ApplicationTrace.h"

#include "host/PlayerServices.h"

#include "script/engine/ClassRegistration.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/ScriptString.h"

namespace lumbra {

namespace {

using namespace orvet;

struct ApplicationData : MemberAtoms {
    PlayerServices* services = nullptr;
};

enum Member { toStringMember, traceToFileMember };

// "traceToFile([path])": closes the current file; with a text, opens it.
void traceToFile(PlayerServices& services, ScriptValue* args)
{
    services.closeTraceFile();
    if (hasArgument(args, 1) && args[1].is(ValueKind::String))
        services.openTraceFile(toAnsi(*args[1].string));
}

int callMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    auto& data = MemberAtoms::of<ApplicationData>(cls);
    switch (data.find(name)) {
    case toStringMember:
        *result = staticStringValue(ctx, u"[object Application]");
        return 1;
    case traceToFileMember:
        traceToFile(*data.services, args);
        *result = ScriptValue::undefined();
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerApplicationTrace(ScriptEngine& engine, PlayerServices& services)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = NewClass(ctx);
    auto& data = MemberAtoms::attach<ApplicationData>(ctx, *cls, {"toString", "traceToFile"});
    data.services = &services;
    cls->callMethod = callMethod;
    registerGlobalClass(ctx, "Application", cls);
}

} // namespace lumbra
