#include "control/com/ControlWindow.h"

#include "win32/ComPtr.h"
#include "control/com/ContextMenuPopup.h"
#include "control/com/MovieControl.h"
#include "control/com/ServerModule.h"

#include <windowsx.h>

namespace lumbra::com {

using win32::ComPtr;

namespace {

constexpr wchar_t kClassName[] = L"LumbraMovieControl";
constexpr UINT_PTR kFrameTimer = 1;

// The character a key down types: the container's message loop has already
// translated the key, so its WM_CHAR waits in the queue. 0 for none.
unsigned typedCharacter(HWND hwnd, UINT keyMessage) {
    MSG next;
    UINT charMessage = keyMessage == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    if (PeekMessageW(&next, hwnd, charMessage, charMessage, PM_NOREMOVE | PM_NOYIELD)) return unsigned(next.wParam);
    return 0;
}

// Wheel notches to lines, as the system is set to scroll them.
int wheelLines(WPARAM wParam) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    if (lines == WHEEL_PAGESCROLL) lines = 3;
    return GET_WHEEL_DELTA_WPARAM(wParam) * int(lines) / WHEEL_DELTA;
}

} // namespace

ControlWindow::ControlWindow(MovieControl& control, IUnknown& owner) : control_(control), owner_(owner) {}

ControlWindow::~ControlWindow() { destroy(); }

bool ControlWindow::create(HWND parent, const RECT& position) {
    if (hwnd_) {
        SetParent(hwnd_, parent);
        setPosition(position);
        return true;
    }
    HINSTANCE instance = server::instance();
    WNDCLASSEXW wc = {};
    if (!GetClassInfoExW(instance, kClassName, &wc)) {
        wc = {};
        wc.cbSize = sizeof wc;
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = procedure;
        wc.hInstance = instance;
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = kClassName;
        if (!RegisterClassExW(&wc)) return false;
    }
    CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, position.left, position.top,
                    position.right - position.left, position.bottom - position.top, parent, nullptr, instance,
                    this);
    if (!hwnd_) return false;
    restartTimer();
    return true;
}

void ControlWindow::destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void ControlWindow::setPosition(const RECT& position) {
    if (hwnd_)
        MoveWindow(hwnd_, position.left, position.top, position.right - position.left,
                   position.bottom - position.top, TRUE);
}

void ControlWindow::invalidate() {
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
}

void ControlWindow::restartTimer() {
    if (!hwnd_) return;
    KillTimer(hwnd_, kFrameTimer);
    if (control_.hasMovie()) SetTimer(hwnd_, kFrameTimer, control_.frameInterval(), nullptr);
}

void ControlWindow::unregisterClass(HINSTANCE instance) { UnregisterClassW(kClassName, instance); }

LRESULT CALLBACK ControlWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<ControlWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<ControlWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->handle(hwnd, message, wParam, lParam);
}

LRESULT ControlWindow::handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1; // every paint covers the whole window
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT client;
        GetClientRect(hwnd, &client);
        control_.draw(dc, client);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT: {
        RECT client;
        GetClientRect(hwnd, &client);
        control_.draw(reinterpret_cast<HDC>(wParam), client);
        return 0;
    }
    case WM_SIZE:
        control_.setViewSize(LOWORD(lParam), HIWORD(lParam));
        invalidate();
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT && control_.cursorHidden()) {
            SetCursor(nullptr);
            return TRUE;
        }
        if (LOWORD(lParam) == HTCLIENT && control_.overButton()) {
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_GETDLGCODE:
        // Arrows, tab, enter and characters belong to the movie, also in a dialog.
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB;
    case WM_KILLFOCUS:
        control_.releaseKeys();
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
        ComPtr<IUnknown> keepAlive(&owner_);
        for (unsigned lock : {VK_CAPITAL, VK_NUMLOCK, VK_SCROLL})
            control_.setKeyToggled(lock, (GetKeyState(int(lock)) & 1) != 0);
        auto code = unsigned(wParam & 0xFF);
        if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) {
            typed_[code] = typedCharacter(hwnd, message);
            control_.keyDown(code, typed_[code]);
        } else {
            control_.keyUp(code, typed_[code]);
        }
        // Alt combinations stay the system's (its menu, Alt+F4).
        if (message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) break;
        return 0;
    }
    case WM_CONTEXTMENU: {
        // The right button's release (or the menu key: at the window's centre).
        ComPtr<IUnknown> keepAlive(&owner_);
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (screen.x == -1 && screen.y == -1) {
            RECT client;
            GetClientRect(hwnd, &client);
            screen = {client.right / 2, client.bottom / 2};
            ClientToScreen(hwnd, &screen);
        }
        showMovieMenu(control_, hwnd, screen);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        ComPtr<IUnknown> keepAlive(&owner_);
        control_.mouseWheel(wheelLines(wParam));
        return 0;
    }
    case WM_TIMER:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP: {
        // Movie actions run from here; their events may release the control.
        ComPtr<IUnknown> keepAlive(&owner_);
        int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
        if (message == WM_TIMER) {
            if (wParam != kFrameTimer) break;
            control_.advance();
        } else if (message == WM_MOUSEMOVE) {
            control_.mouseMove(x, y);
        } else if (message == WM_LBUTTONUP) {
            if (GetCapture() == hwnd) ReleaseCapture();
            control_.mouseUp(x, y);
        } else {
            SetFocus(hwnd);
            // Only a press on a button keeps the mouse: elsewhere the player
            // may take it to drag its window by the movie.
            if (control_.overButton())
                SetCapture(hwnd);
            control_.mouseDown(x, y);
        }
        return 0;
    }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace lumbra::com
