// The methods of "Window" objects. "find", "create" and "getWindowsByName"
// need no window and also work on the class object itself (Window.find(...)).
#include <optional>
#include <string>
#include <vector>

#include "host/WindowFlight.h"
#include "host/win32/WideText.h"
#include "host/win32/WindowClass.h"
#include "host/win32/WindowClassState.h"
#include "host/win32/WindowGeometry.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;
using orvet::ValueKind;

std::optional<std::int64_t> integerArgument(const ScriptValue* args, int n)
{
    if (!orvet::hasArgument(args, n) || !args[n].is(ValueKind::Integer))
        return std::nullopt;
    return args[n].integer;
}

// A String argument as wide text.
std::optional<std::wstring> textArgument(const ScriptValue* args, int n)
{
    if (!orvet::hasArgument(args, n) || !args[n].is(ValueKind::String))
        return std::nullopt;
    return wideText(args[n].string->view());
}

ScriptValue windowArray(orvet::ScriptContext& ctx, const std::vector<HWND>& windows)
{
    orvet::ScriptArray* array = orvet::newArray(ctx);
    for (const HWND hwnd : windows)
        orvet::arrayAppend(ctx, *array, MakeWindowObject(ctx, hwnd));
    return ScriptValue::ofArray(array);
}

// Enumerations only collect handles: their script values are made after the
// system's enumeration has returned, where errors may travel.
BOOL CALLBACK collectWindow(HWND hwnd, LPARAM windows)
{
    try {
        reinterpret_cast<std::vector<HWND>*>(windows)->push_back(hwnd);
        return TRUE;
    } catch (...) { // no memory for more: the windows found so far
        return FALSE;
    }
}

std::vector<HWND> descendants(HWND hwnd)
{
    std::vector<HWND> windows;
    EnumChildWindows(hwnd, collectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Top-level windows whose title equals the name without case; all of them
// for an empty name.
std::vector<HWND> windowsNamed(const std::wstring& name)
{
    std::vector<HWND> all;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&all));
    if (name.empty())
        return all;
    std::vector<HWND> named;
    for (const HWND hwnd : all) {
        std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
        title.resize(static_cast<std::size_t>(std::max(0, GetWindowTextW(hwnd, title.data(), static_cast<int>(title.size())))));
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, title.c_str(), static_cast<int>(title.size()),
                           name.c_str(), static_cast<int>(name.size())) == CSTR_EQUAL)
            named.push_back(hwnd);
    }
    return named;
}

ScriptValue findWindow(orvet::ScriptContext& ctx, const ScriptValue* args)
{
    const std::optional<std::wstring> className = textArgument(args, 1);
    const std::optional<std::wstring> title = textArgument(args, 2);
    return MakeWindowObject(ctx, FindWindowW(className ? className->c_str() : nullptr, title ? title->c_str() : nullptr));
}

// A visible child of the main window, at (0, 0), 200 x 20, without title.
ScriptValue createChild(orvet::ScriptContext& ctx, WindowClassState& state, const ScriptValue* args)
{
    const std::optional<std::wstring> className = textArgument(args, 1);
    const HWND main = state.player().mainWindow();
    if (!className || !main)
        return ScriptValue::null();
    const HWND child = CreateWindowExW(0, className->c_str(), nullptr, WS_CHILD | WS_VISIBLE, 0, 0, 200, 20, main,
                                       nullptr, GetModuleHandleW(nullptr), nullptr);
    return child ? MakeWindowObject(ctx, child) : ScriptValue::null();
}

void modifyStyle(HWND hwnd, int index, const ScriptValue* args)
{
    const auto remove = static_cast<LONG>(integerArgument(args, 1).value_or(0));
    const auto add = static_cast<LONG>(integerArgument(args, 2).value_or(0));
    SetWindowLongW(hwnd, index, (GetWindowLongW(hwnd, index) & ~remove) | add);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Each Integer argument replaces an edge: left, top, right, bottom.
void moveWindow(HWND hwnd, const ScriptValue* args)
{
    RECT rect = rectInParent(hwnd);
    LONG* edges[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
    for (int i = 0; i < 4; ++i)
        if (const auto v = integerArgument(args, i + 1))
            *edges[i] = static_cast<LONG>(*v);
    MoveWindow(hwnd, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

// The system's animation, looked up at each call: systems without it just answer false.
bool animate(HWND hwnd, const ScriptValue* args)
{
    const auto time = integerArgument(args, 1), flags = integerArgument(args, 2);
    using AnimateWindowFn = BOOL(WINAPI*)(HWND, DWORD, DWORD);
    const FARPROC found = GetProcAddress(GetModuleHandleW(L"user32.dll"), "AnimateWindow");
    const auto animateWindow = reinterpret_cast<AnimateWindowFn>(reinterpret_cast<void (*)()>(found));
    if (!time || !flags || !animateWindow)
        return false;
    return animateWindow(hwnd, static_cast<DWORD>(*time), static_cast<DWORD>(*flags)) != FALSE;
}

// Blocks the caller for the whole flight; a window that goes meanwhile ends it.
void fly(HWND hwnd, Point from, Point to, int delay)
{
    bool first = true;
    for (const Point& step : flightSteps(from, to)) {
        if (!first)
            Sleep(static_cast<DWORD>(delay));
        first = false;
        if (!IsWindow(hwnd))
            return;
        placeCorner(hwnd, step.x, step.y);
    }
}

void flyToCorner(HWND hwnd, const ScriptValue* args)
{
    const FlyRequest request = flyRequest(args);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const RECT rect = rectInParent(hwnd);
    const Flight flight = flightPath(request, {area.left, area.top, area.right, area.bottom},
                                     rect.right - rect.left, rect.bottom - rect.top);
    fly(hwnd, flight.from, flight.to, request.delay);
}

void flyBetween(HWND hwnd, const ScriptValue* args)
{
    std::int64_t v[5];
    for (int i = 0; i < 5; ++i) {
        const auto given = integerArgument(args, i + 1);
        if (!given)
            return;
        v[i] = *given;
    }
    fly(hwnd, {int(v[0]), int(v[1])}, {int(v[2]), int(v[3])}, v[4] < 0 ? 0 : int(v[4]));
}

} // namespace

int windowMethod(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name,
                 ScriptValue* result, ScriptValue* args)
{
    WindowClassState& state = orvet::MemberAtoms::of<WindowClassState>(cls);
    const int index = state.find(name);
    if (index < static_cast<int>(WindowMember::ToString))
        return 0;
    const auto member = static_cast<WindowMember>(index);
    *result = ScriptValue();
    switch (member) {
    case WindowMember::ToString: *result = orvet::staticStringValue(ctx, u"[object Window]"); return 1;
    case WindowMember::Find: *result = findWindow(ctx, args); return 1;
    case WindowMember::Create: *result = createChild(ctx, state, args); return 1;
    case WindowMember::GetWindowsByName: {
        const std::wstring wanted = orvet::hasArgument(args, 1) ? wideText(orvet::toString(ctx, args[1])->view()) : L"";
        *result = windowArray(ctx, windowsNamed(wanted));
        return 1;
    }
    default: break;
    }

    const WindowRecord* record = liveRecord(static_cast<const WindowCell*>(data));
    if (member == WindowMember::Animate || member == WindowMember::Update)
        *result = ScriptValue::ofBool(false);
    if (!record)
        return 1;
    const HWND hwnd = hwndOf(record->handle);
    switch (member) {
    case WindowMember::Show: ShowWindow(hwnd, SW_SHOW); break;
    case WindowMember::Hide: ShowWindow(hwnd, SW_HIDE); break;
    case WindowMember::Close: PostMessageW(hwnd, WM_CLOSE, 0, 0); break;
    case WindowMember::GetChildren: *result = windowArray(ctx, descendants(hwnd)); break;
    case WindowMember::BringToTop: SetForegroundWindow(hwnd); break;
    case WindowMember::ModifyStyle: modifyStyle(hwnd, GWL_STYLE, args); break;
    case WindowMember::ModifyStyleEx: modifyStyle(hwnd, GWL_EXSTYLE, args); break;
    case WindowMember::Move: moveWindow(hwnd, args); break;
    case WindowMember::Animate: *result = ScriptValue::ofBool(animate(hwnd, args)); break;
    case WindowMember::Update:
        *result = ScriptValue::ofBool(RedrawWindow(hwnd, nullptr, nullptr,
                                                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW));
        break;
    case WindowMember::Fly: flyToCorner(hwnd, args); break;
    case WindowMember::Fly2: flyBetween(hwnd, args); break;
    case WindowMember::Center: centerWindow(hwnd, state.player().mainWindow()); break;
    default: break;
    }
    return 1;
}

} // namespace lumbra::host
