// The shared window procedure of every window that has script objects: turns
// its messages into the record's events, then hands them on along the
// window's subclass chain.
//
// Nothing may leave a window procedure by exception: the system's frames lie
// between it and whoever sent the message. Each handler runs through an
// engine entry point (its errors stay in the error buffer), work that can
// raise runs under a recovery record, and anything else is caught at the top.
#include <windows.h>
#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <initializer_list>

#include "host/win32/WindowClassState.h"
#include "script/engine/EngineCalls.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"

namespace lumbra::host {

namespace {

using orvet::ScriptValue;

enum class Outcome {
    PassOn,          // on to the previous procedure
    Swallow,         // answered here with 0
    Handled,         // answered here with 1
    CloseMainWindow, // swallowed; the main window starts its own close sequence
};

ScriptValue integer(std::int64_t value) { return ScriptValue::ofInt(value); }

// Calls the event's handler with the record's receiver; false when there is
// none (or no object is left to receive it). The handler's answer is in
// *answer: Undefined when it failed.
bool callHandler(WindowRecord& record, WindowEvent event, std::initializer_list<ScriptValue> arguments = {},
                 ScriptValue* answer = nullptr)
{
    if (record.cells.empty() || record.destroyed || !record.has(event))
        return false;
    ScriptValue args[4];
    args[0] = integer(static_cast<std::int64_t>(arguments.size()));
    std::copy(arguments.begin(), arguments.end(), args + 1);
    // Copies: the handler may replace itself or let its object go.
    const ScriptValue handler = record.handler(event);
    const ScriptValue self = record.self();
    const int called = orvet::CallValue(*record.ctx, self, handler, static_cast<int>(arguments.size()) + 1, args);
    if (answer)
        *answer = called ? record.ctx->result : ScriptValue();
    return true;
}

bool cursorInside(HWND hwnd, POINT screenPoint)
{
    RECT rect;
    return GetWindowRect(hwnd, &rect) && PtInRect(&rect, screenPoint);
}

void leave(WindowRecord& record, HWND hwnd)
{
    if (GetCapture() == hwnd)
        ReleaseCapture();
    KillTimer(hwnd, kHoverTimer);
    record.inside = false;
    callHandler(record, WindowEvent::Leave);
}

bool hoverWanted(const WindowRecord& record)
{
    return record.tracking
        && (record.has(WindowEvent::Enter) || record.has(WindowEvent::Leave) || record.has(WindowEvent::Hover));
}

void mouseMoved(WindowRecord& record, HWND hwnd, LPARAM lParam)
{
    if (!hoverWanted(record))
        return;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ClientToScreen(hwnd, &point);
    if (!cursorInside(hwnd, point)) {
        if (record.inside)
            leave(record, hwnd);
        return;
    }
    // The capture brings the move that leaves the window here too.
    if (GetCapture() != hwnd)
        SetCapture(hwnd);
    if (!record.inside) {
        SetTimer(hwnd, kHoverTimer, 500, nullptr);
        record.inside = true;
        callHandler(record, WindowEvent::Enter);
    }
}

void hoverTimer(WindowRecord& record, HWND hwnd)
{
    POINT point;
    if (GetCursorPos(&point) && cursorInside(hwnd, point))
        callHandler(record, WindowEvent::Hover);
    else
        leave(record, hwnd);
}

// The proposed rectangle as an object the handler may change.
void proposedRectangle(WindowClassState& state, WindowRecord& record, WindowEvent event, WPARAM edge, RECT& rect)
{
    if (record.cells.empty() || !record.has(event))
        return;
    orvet::ScriptContext& ctx = *record.ctx;
    const orvet::Atom names[] = {ctx.intern("left"), ctx.intern("top"), ctx.intern("right"), ctx.intern("bottom")};
    LONG* edges[] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
    orvet::Protected(*state.engine, [&](orvet::ScriptContext&) {
        orvet::ScriptObject* proposal = orvet::newObject(ctx);
        for (int i = 0; i < 4; ++i)
            orvet::setProperty(ctx, proposal, names[i], integer(*edges[i]));
        callHandler(record, event, {integer(static_cast<std::int64_t>(edge)), ScriptValue::ofObject(proposal)});
        for (int i = 0; i < 4; ++i) {
            ScriptValue changed;
            if (orvet::getProperty(proposal, names[i], changed) && changed.is(orvet::ValueKind::Integer))
                *edges[i] = static_cast<LONG>(changed.integer);
        }
    });
}

Outcome closeRequested(WindowClassState& state, WindowRecord& record, HWND hwnd)
{
    if (record.has(WindowEvent::QueryClose)) {
        ScriptValue answer;
        callHandler(record, WindowEvent::QueryClose, {}, &answer);
        if (!orvet::toBoolean(answer))
            return Outcome::Swallow; // the window stays
    }
    callHandler(record, WindowEvent::Close);
    if (hwnd != state.player().mainWindow())
        return Outcome::PassOn;
    state.table.unsubclass(record);
    return Outcome::CloseMainWindow;
}

Outcome route(WindowClassState& state, WindowRecord& record, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOVE:
        callHandler(record, WindowEvent::Move, {integer(LOWORD(lParam)), integer(HIWORD(lParam))});
        return Outcome::PassOn;
    case WM_SIZE:
        callHandler(record, WindowEvent::Size,
                    {integer(static_cast<std::int64_t>(wParam)), integer(LOWORD(lParam)), integer(HIWORD(lParam))});
        return Outcome::PassOn;
    case WM_CLOSE:
        return closeRequested(state, record, hwnd);
    case WM_ACTIVATEAPP:
        callHandler(record, wParam ? WindowEvent::Activate : WindowEvent::Deactivate);
        return Outcome::PassOn;
    case WM_MOUSEMOVE:
        mouseMoved(record, hwnd, lParam);
        return Outcome::PassOn;
    case WM_MOVING:
    case WM_SIZING:
        proposedRectangle(state, record, message == WM_MOVING ? WindowEvent::Moving : WindowEvent::Sizing, wParam,
                          *reinterpret_cast<RECT*>(lParam));
        return Outcome::PassOn;
    case WM_ENTERSIZEMOVE:
        callHandler(record, WindowEvent::EnterSizeMove);
        return Outcome::PassOn;
    case WM_EXITSIZEMOVE:
        callHandler(record, WindowEvent::ExitSizeMove);
        return Outcome::PassOn;
    case WM_RBUTTONDOWN:
        return callHandler(record, WindowEvent::RightButton) ? Outcome::Swallow : Outcome::PassOn;
    case kScriptRightButtonMessage: // the press landed on the movie inside this window
        return callHandler(record, WindowEvent::RightButton) ? Outcome::Handled : Outcome::PassOn;
    case kHoverTrackingOff:
    case kHoverTrackingOn:
        record.tracking = message == kHoverTrackingOn;
        return Outcome::PassOn;
    case WM_TIMER:
        // Only the timer that hover tracking started; the window's own
        // timer 100, if it has one, is an ordinary message.
        if (wParam == kHoverTimer && record.inside) {
            hoverTimer(record, hwnd);
            return Outcome::PassOn;
        }
        break;
    default:
        break;
    }
    callHandler(record, WindowEvent::Message,
                {integer(message), integer(static_cast<std::int64_t>(wParam)), integer(lParam)});
    return Outcome::PassOn;
}

} // namespace

LRESULT CALLBACK dispatchWindowMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR stateData)
{
    auto& state = *reinterpret_cast<WindowClassState*>(stateData);
    auto& record = *reinterpret_cast<WindowRecord*>(id);
    if (message == WM_NCDESTROY) {
        // The handle may soon name another window: the record leaves the
        // table and the subclass chain, its objects stay (and do nothing).
        state.table.windowDestroyed(record);
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }
    Outcome outcome = Outcome::PassOn;
    try {
        WindowTable::Dispatch inUse(state.table, record);
        outcome = route(state, record, hwnd, message, wParam, lParam);
    } catch (...) {
        // Out of memory outside any recovery record: the message goes on
        // as if no handler had been set.
        outcome = Outcome::PassOn;
    }
    switch (outcome) {
    case Outcome::Swallow:
        return 0;
    case Outcome::Handled:
        return 1;
    case Outcome::CloseMainWindow:
        // Last: the close sequence may end the engine, and with it the record.
        SendMessage(hwnd, kMainWindowClose, 0, 0);
        return 0;
    case Outcome::PassOn:
        break;
    }
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace lumbra::host
