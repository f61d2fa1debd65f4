#include "host/win32/DirectX.h"

#include "host/win32/DisplayModes.h"
#include "host/win32/PlayerWindow.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/ScriptEngine.h"

namespace lumbra {

namespace {

using namespace orvet;

enum Member { kSetDisplayMode, kRestore, kCanSetDisplayMode };

// The DirectDraw state lives with the class and is released with the engine.
struct DirectXClass : MemberAtoms {
    DisplayModes modes;
};

bool setDisplayMode(DirectXClass& directX, const ScriptValue* args)
{
    for (std::int64_t i = 1; i <= 3; ++i)
        if (!hasArgument(args, i) || !args[i].is(ValueKind::Integer) || args[i].integer < 0
            || args[i].integer > 0xFFFF)
            return false;
    return directX.modes.setMode(playerMainWindow(directX), DWORD(args[1].integer), DWORD(args[2].integer),
                                 DWORD(args[3].integer));
}

int directXMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    if (name == kAtomToString) {
        *result = staticStringValue(ctx, u"[object DirectX]");
        return 1;
    }
    auto& directX = MemberAtoms::of<DirectXClass>(cls);
    switch (directX.find(name)) {
    case kSetDisplayMode: *result = ScriptValue::ofBool(setDisplayMode(directX, args)); return 1;
    case kRestore: *result = ScriptValue::ofBool(directX.modes.restore(playerMainWindow(directX))); return 1;
    case kCanSetDisplayMode: *result = ScriptValue::ofBool(directX.modes.available()); return 1;
    default: return 0;
    }
}

} // namespace

void registerDirectXClass(ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach<DirectXClass>(engine, host, *cls, {"setDisplayMode", "restore", "canSetDisplayMode"});
    cls->callMethod = directXMethod;
    registerGlobalClass(ctx, "DirectX", cls);
}

} // namespace lumbra
