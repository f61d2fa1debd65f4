#include "host/ApplicationTrace.h"

#include "host/PlayerServices.h"

#include "script/engine/ClassRegistration.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/ScriptString.h"

namespace lumbra {

namespace {

using namespace orvet;

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
    const MemberAtoms& members = MemberAtoms::of(cls);
    switch (members.find(name)) {
    case toStringMember:
        *result = staticStringValue(ctx, u"[object Application]");
        return 1;
    case traceToFileMember:
        traceToFile(*static_cast<PlayerServices*>(members.host), args);
        *result = ScriptValue::undefined();
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerApplicationTrace(ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(engine, host, *cls, {"toString", "traceToFile"});
    cls->callMethod = callMethod;
    registerGlobalClass(ctx, "Application", cls);
}

} // namespace lumbra
