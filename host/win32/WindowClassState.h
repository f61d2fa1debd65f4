// What the "Window" class keeps per engine: its member atoms, the routing
// table of its windows, the subclassing that sends their messages to the
// dispatcher, and the player it was registered for.
#pragma once

#include <windows.h>

#include "host/PlayerServices.h"
#include "host/WindowTable.h"
#include "script/engine/ClassRegistration.h"

namespace lumbra::host {

// The members, in the order of the class's atom table.
enum class WindowMember {
    // properties
    Caption, Left, Top, Width, Height, Parent, Handle, ClassName, Visible, Enable, WindowState,
    OnQueryClose, OnClose, OnEnter, OnLeave, OnHover, OnSize, OnMove, OnExitSizeMove, OnEnterSizeMove,
    OnMoving, OnSizing, OnDeactivate, OnActivate, OnMessage,
    // methods
    ToString, Show, Hide, Close, GetChildren, Find, BringToTop, ModifyStyle, ModifyStyleEx, Move, Create,
    GetWindowsByName, Animate, Update, Fly, Fly2, Center,
};

// Hover tracking's timer, and the private messages shared with the main
// window: hover tracking off and on, and the main window's close request.
inline constexpr UINT_PTR kHoverTimer = 100;
inline constexpr UINT kHoverTrackingOff = WM_APP + 657;
inline constexpr UINT kHoverTrackingOn = WM_APP + 658;
inline constexpr UINT kMainWindowClose = kMainWindowCloseMessage;

// Subclasses with the common controls' subclass chain, so that windows
// subclassed by others too (or by another engine) keep a sound chain in
// whatever order the subclasses go.
class Win32Subclassing : public WindowSubclassing {
public:
    explicit Win32Subclassing(struct WindowClassState& state) : state_(state) {}
    bool isWindow(WindowHandle handle) override;
    bool attach(WindowRecord& record) override;
    void detach(WindowRecord& record) override;

private:
    struct WindowClassState& state_;
};

struct WindowClassState : orvet::MemberAtoms {
    WindowClassState() : subclassing(*this), table(subclassing) {}

    PlayerServices& player() const { return *static_cast<PlayerServices*>(host); }

    Win32Subclassing subclassing;
    WindowTable table;
    orvet::NativeClass* cls = nullptr;
};

inline HWND hwndOf(WindowHandle handle) { return reinterpret_cast<HWND>(handle); }
inline WindowHandle handleOf(HWND hwnd) { return reinterpret_cast<WindowHandle>(hwnd); }

// The cell of a "Window" object, or null for other values and the class object.
const WindowCell* windowCellOf(const orvet::ScriptValue& value);
// The record of a cell whose window is alive, or null.
WindowRecord* liveRecord(const WindowCell* cell);

// The shared window procedure of every subclassed window (WindowDispatch.cpp).
LRESULT CALLBACK dispatchWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR state);

// Members (WindowMembers.cpp).
int windowProperty(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name, int set,
                   orvet::ScriptValue* value);
int windowMethod(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data, orvet::Atom name,
                 orvet::ScriptValue* result, orvet::ScriptValue* args);

} // namespace lumbra::host
