#include "host/win32/WindowClass.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "host/win32/WindowClassState.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Collector.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptContext.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;

// The "$AW_" flags of "animate": the system's own animation flags.
constexpr struct {
    const char* name;
    std::int64_t value;
} kAnimationFlags[] = {
    {"$AW_SLIDE", AW_SLIDE},
    {"$AW_ACTIVATE", AW_ACTIVATE},
    {"$AW_BLEND", AW_BLEND},
    {"$AW_HIDE", AW_HIDE},
    {"$AW_CENTER", AW_CENTER},
    {"$AW_HOR_POSITIVE", AW_HOR_POSITIVE},
    {"$AW_HOR_NEGATIVE", AW_HOR_NEGATIVE},
    {"$AW_VER_POSITIVE", AW_VER_POSITIVE},
    {"$AW_VER_NEGATIVE", AW_VER_NEGATIVE},
};

WindowClassState& stateOf(const orvet::NativeClass& cls) { return orvet::MemberAtoms::of<WindowClassState>(cls); }

// Window(handle) and new Window(handle): an object for an Integer handle of
// an existing window, else Null.
ScriptValue objectForArgument(orvet::ScriptContext& ctx, const ScriptValue* args)
{
    if (!orvet::hasArgument(args, 1) || !args[1].is(orvet::ValueKind::Integer))
        return ScriptValue::null();
    const HWND hwnd = hwndOf(static_cast<WindowHandle>(args[1].integer));
    return args[1].integer != 0 && IsWindow(hwnd) ? MakeWindowObject(ctx, hwnd) : ScriptValue::null();
}

void windowCall(orvet::ScriptContext& ctx, orvet::NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    *result = objectForArgument(ctx, args);
}

void windowConstruct(orvet::ScriptContext& ctx, orvet::NativeClass&, ScriptValue* args, ScriptValue* result)
{
    *result = objectForArgument(ctx, args);
}

// Null data is the class object, which owns no window.
void destroyWindowCell(orvet::ScriptContext&, orvet::NativeClass& cls, void* data)
{
    if (data)
        stateOf(cls).table.releaseCell(std::unique_ptr<WindowCell>(static_cast<WindowCell*>(data)));
}

// The handlers belong to the record: any living object of the window keeps them.
void markWindowCell(orvet::ScriptContext& ctx, orvet::NativeClass&, void* data)
{
    const WindowRecord* record = data ? static_cast<WindowCell*>(data)->record : nullptr;
    if (record)
        for (const ScriptValue& handler : record->handlers)
            orvet::markValue(ctx, handler);
}

} // namespace

bool Win32Subclassing::isWindow(WindowHandle handle) { return IsWindow(hwndOf(handle)) != FALSE; }

bool Win32Subclassing::attach(WindowRecord& record)
{
    // Only the thread that owns a window can subclass it; foreign windows
    // are moved and read, but send no events.
    return SetWindowSubclass(hwndOf(record.handle), dispatchWindowMessage, reinterpret_cast<UINT_PTR>(&record),
                             reinterpret_cast<DWORD_PTR>(&state_)) != FALSE;
}

void Win32Subclassing::detach(WindowRecord& record)
{
    const HWND hwnd = hwndOf(record.handle);
    if (record.inside) {
        KillTimer(hwnd, kHoverTimer);
        if (GetCapture() == hwnd)
            ReleaseCapture();
        record.inside = false;
    }
    RemoveWindowSubclass(hwnd, dispatchWindowMessage, reinterpret_cast<UINT_PTR>(&record));
}

WindowRecord* liveRecord(const WindowCell* cell)
{
    if (!cell || !cell->record || cell->record->destroyed || !IsWindow(hwndOf(cell->record->handle)))
        return nullptr;
    return cell->record;
}

void registerWindowClass(orvet::ScriptEngine& engine, void* host)
{
    orvet::ScriptContext& ctx = *engine.context;
    orvet::NativeClass* cls = orvet::newClass(ctx);
    WindowClassState& state = orvet::MemberAtoms::attach<WindowClassState>(engine, host, *cls, {
        "caption", "left", "top", "width", "height", "parent", "handle", "className", "visible", "enable",
        "windowState", "onQueryClose", "onClose", "onEnter", "onLeave", "onHover", "onSize", "onMove",
        "onExitSizeMove", "onEnterSizeMove", "onMoving", "onSizing", "onDeactivate", "onActivate", "onMessage",
        "toString", "show", "hide", "close", "getChildren", "find", "bringToTop", "modifyStyle", "modifyStyleEx",
        "move", "create", "getWindowsByName", "animate", "update", "fly", "fly2", "center",
    });
    state.cls = cls;
    cls->call = windowCall;
    cls->construct = windowConstruct;
    cls->callMethod = windowMethod;
    cls->accessProperty = windowProperty;
    cls->destroyData = destroyWindowCell;
    cls->markData = markWindowCell;
    for (const auto& flag : kAnimationFlags)
        orvet::defineConstant(ctx, flag.name, flag.value);
    orvet::registerGlobalClass(ctx, "Window", cls);
}

ScriptValue MakeWindowObject(orvet::ScriptContext& ctx, HWND handle)
{
    const ScriptValue& global = ctx.global(ctx.intern("Window"));
    if (!global.is(orvet::ValueKind::Native) || global.native->cls->destroyData != destroyWindowCell)
        return ScriptValue();
    orvet::NativeClass* cls = global.native->cls;
    WindowTable& table = stateOf(*cls).table;
    std::unique_ptr<WindowCell> cell = table.newCell(ctx, handleOf(handle));
    try {
        cell->object = orvet::newInstance(ctx, cls, cell.get());
    } catch (...) { // out of memory: the record must not count an object that never was
        table.releaseCell(std::move(cell));
        throw;
    }
    return cell.release()->object;
}

const WindowCell* windowCellOf(const ScriptValue& value)
{
    if (!value.is(orvet::ValueKind::Native) || value.native->cls->destroyData != destroyWindowCell)
        return nullptr;
    return static_cast<const WindowCell*>(value.native->data);
}

WindowRecord* windowRecordOf(const ScriptValue& value)
{
    return liveRecord(windowCellOf(value));
}

} // namespace lumbra::host
