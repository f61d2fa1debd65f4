#include "player/InputFilter.h"

#include "host/PlayerServices.h"

namespace lumbra {

namespace {

enum ButtonMode : std::uint32_t { buttonPass = 0, buttonAction = 1, buttonIgnore = 2 };

constexpr std::uint32_t kExitOnEsc = 0x1, kExitOnHotKey = 0x10;
constexpr std::uint32_t kIgnoreKeys = 0x10;
constexpr WORD kHotKeyShift = 0x1, kHotKeyControl = 0x2, kHotKeyAlt = 0x4;

bool isMouseMessage(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: case WM_RBUTTONDBLCLK:
        return true;
    }
    return false;
}

bool isKeyboardMessage(UINT message)
{
    return message >= WM_KEYFIRST && message <= WM_KEYLAST;
}

bool isWithin(HWND window, HWND ancestor)
{
    return window == ancestor || IsChild(ancestor, window);
}

bool keyDown(int key)
{
    return GetKeyState(key) < 0;
}

} // namespace

InputFilter::InputFilter(const ProjectSettings& settings, HWND mainWindow, HWND hostWindow, ContextMenu showContextMenu,
                         DragRegion dragRegion)
    : settings_(settings), mainWindow_(mainWindow), hostWindow_(hostWindow),
      showContextMenu_(std::move(showContextMenu)), dragRegion_(std::move(dragRegion))
{
}

bool InputFilter::consumes(const MSG& message)
{
    if (!message.hwnd)
        return false;
    if (isMouseMessage(message.message) && isWithin(message.hwnd, hostWindow_)) {
        POINT point{static_cast<short>(LOWORD(message.lParam)), static_cast<short>(HIWORD(message.lParam))};
        MapWindowPoints(message.hwnd, hostWindow_, &point, 1);
        return !mouseFilter(message.message, message.wParam, point.x, point.y);
    }
    if (isKeyboardMessage(message.message) && isWithin(message.hwnd, mainWindow_))
        return !keyFilter(message.message, message.wParam);
    return false;
}

bool InputFilter::mouseFilter(UINT message, WPARAM keys, int x, int y)
{
    const std::uint32_t left = settings_.lBtnClk, right = settings_.rBtnClk;
    switch (message) {
    case WM_LBUTTONDOWN:
        if (left == buttonAction)
            return leftButtonDown(x, y);
        return left != buttonIgnore;
    case WM_MOUSEMOVE:
        return left == buttonAction ? mouseMove(keys) : true;
    case WM_LBUTTONUP:
        if (left == buttonAction) {
            armed_ = false;
            stopDragging();
        }
        return left != buttonIgnore;
    case WM_LBUTTONDBLCLK:
        return left == buttonPass;
    case WM_RBUTTONDOWN:
        // A script's handler of the movie window's right button comes before
        // the player's own handling; an ignored button reaches neither.
        if (right != buttonIgnore && SendMessageA(hostWindow_, kScriptRightButtonMessage, 0, MAKELPARAM(x, y)))
            return false;
        if (right == buttonAction && showContextMenu_)
            showContextMenu_(POINT{x, y});
        return right == buttonPass;
    case WM_RBUTTONUP:
        return right == buttonPass;
    case WM_RBUTTONDBLCLK:
        return right != buttonIgnore;
    }
    return true;
}

// The press also reaches the movie: when the movie takes the mouse (a press
// on one of its buttons) the next move finds the capture taken and no drag
// starts, so the window moves only from places where the movie does not react.
bool InputFilter::leftButtonDown(int x, int y)
{
    const HRGN region = dragRegion_ ? dragRegion_() : nullptr;
    if (region && !PtInRegion(region, x, y))
        return true;
    capturedWindow_ = GetCapture();
    armed_ = true;
    GetCursorPos(&cursorStart_);
    GetWindowRect(mainWindow_, &windowStart_);
    ReleaseCapture();
    return true;
}

bool InputFilter::mouseMove(WPARAM keys)
{
    if (armed_ && !GetCapture()) {
        dragging_ = true;
        SetCapture(hostWindow_);
    }
    armed_ = false;
    if (!dragging_)
        return true;
    if (!(keys & MK_LBUTTON)) {
        stopDragging();
        return true;
    }
    POINT cursor;
    GetCursorPos(&cursor);
    SetWindowPos(mainWindow_, nullptr, windowStart_.left + cursor.x - cursorStart_.x,
                 windowStart_.top + cursor.y - cursorStart_.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return false;
}

// The capture goes back to whoever held it when the drag was armed.
void InputFilter::stopDragging()
{
    if (!dragging_)
        return;
    dragging_ = false;
    if (GetCapture() != hostWindow_)
        return;
    if (capturedWindow_ && IsWindow(capturedWindow_))
        SetCapture(capturedWindow_);
    else
        ReleaseCapture();
}

bool InputFilter::keyFilter(UINT message, WPARAM key)
{
    const std::size_t index = key & 0xFF;
    if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)
        pressedHere_.set(index);
    // Only a key pressed in the player closes it: the release of an Esc
    // that closed a menu or a dialog also arrives here.
    if ((message == WM_KEYUP || message == WM_SYSKEYUP) && pressedHere_.test(index)) {
        pressedHere_.reset(index);
        const bool esc = (settings_.exitKeys & kExitOnEsc) && key == VK_ESCAPE;
        const bool hotKey = (settings_.exitKeys & kExitOnHotKey) && key == settings_.hotKeyCode && modifiersDown();
        if (esc || hotKey)
            PostMessageA(mainWindow_, WM_CLOSE, 0, 0);
    }
    switch (message) {
    case WM_KEYDOWN: case WM_KEYUP: case WM_CHAR:
    case WM_SYSKEYDOWN: case WM_SYSKEYUP: case WM_SYSCHAR:
        return !(settings_.keyPress & kIgnoreKeys);
    }
    return false;
}

// Every modifier the hot key asks for must be down; further ones do not matter.
bool InputFilter::modifiersDown() const
{
    const WORD required = settings_.hotKeyModifiers;
    return (!(required & kHotKeyAlt) || keyDown(VK_MENU)) && (!(required & kHotKeyControl) || keyDown(VK_CONTROL)) &&
           (!(required & kHotKeyShift) || keyDown(VK_SHIFT));
}

} // namespace lumbra
