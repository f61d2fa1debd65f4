#include "host/win32/DirectX.h"

#include "host/win32/DisplayModes.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/ScriptEngine.h"

namespace lumbra {

namespace {

using namespace orvet;

enum Member { kSetDisplayMode, kRestore, kCanSetDisplayMode };

// The DirectDraw state lives with the class and is released with the engine.
struct DirectXClass : MemberAtoms {
    std::function<HWND()> mainWindow;
    DisplayModes modes;
};

bool setDisplayMode(DirectXClass& directX, const ScriptValue* args)
{
    for (std::int64_t i = 1; i <= 3; ++i)
        if (!hasArgument(args, i) || !args[i].is(ValueKind::Integer) || args[i].integer < 0
            || args[i].integer > 0xFFFF)
            return false;
    return directX.modes.setMode(directX.mainWindow(), DWORD(args[1].integer), DWORD(args[2].integer),
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
    case kRestore: *result = ScriptValue::ofBool(directX.modes.restore(directX.mainWindow())); return 1;
    case kCanSetDisplayMode: *result = ScriptValue::ofBool(directX.modes.available()); return 1;
    default: return 0;
    }
}

} // namespace

void registerDirectXClass(ScriptEngine& engine, std::function<HWND()> mainWindow)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = NewClass(ctx);
    auto& directX =
        MemberAtoms::attach<DirectXClass>(ctx, *cls, {"setDisplayMode", "restore", "canSetDisplayMode"});
    directX.mainWindow = std::move(mainWindow);
    cls->callMethod = directXMethod;
    registerGlobalClass(ctx, "DirectX", cls);
}

} // namespace lumbra
