#include "UserInput.h"

#include <thread>
#include <vector>

namespace lumbra::test {

namespace {

void sendKey(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

void sendButton(DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

// A move of the mouse itself (not a cursor warp): absolute coordinates are
// in 1/65536 of the primary screen.
void moveTo(POINT screen)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

// Input is taken from the queue asynchronously; a short pause between the
// steps of a gesture lets each one arrive as a person's would.
void pause()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

struct WindowQuery {
    DWORD processId;
    const std::string& className;
    const std::string& title;
    HWND except;
    HWND found = nullptr;
};

BOOL CALLBACK matchWindow(HWND window, LPARAM param)
{
    auto* query = reinterpret_cast<WindowQuery*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != query->processId || window == query->except || !IsWindowVisible(window))
        return TRUE;
    char className[64] = "", title[256] = "";
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, title, sizeof title);
    if (query->className != className || (!query->title.empty() && query->title != title))
        return TRUE;
    query->found = window;
    return FALSE;
}

} // namespace

void turnWheel(int notches)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    SendInput(1, &input, sizeof input);
    pause();
}

// Keys go to the focus of the window's thread; until the activation has
// given it one, a key would be lost.
void bringToFront(HWND window)
{
    SetForegroundWindow(window);
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    waitFor([&] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetForegroundWindow() == window && GetGUIThreadInfo(thread, &info) && info.hwndFocus &&
               (info.hwndFocus == window || IsChild(window, info.hwndFocus));
    }, std::chrono::seconds(5));
}

void pressKeys(std::initializer_list<WORD> keys)
{
    for (WORD key : keys) {
        sendKey(key, false);
        pause();
    }
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) {
        sendKey(*key, true);
        pause();
    }
}

void click(POINT screen, bool right)
{
    moveTo(screen);
    pause();
    sendButton(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    pause();
    sendButton(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    pause();
}

void doubleClick(POINT screen)
{
    moveTo(screen);
    pause();
    for (int time = 0; time < 2; ++time) {
        sendButton(MOUSEEVENTF_LEFTDOWN);
        pause();
        sendButton(MOUSEEVENTF_LEFTUP);
        pause();
    }
}

void dragMouse(POINT from, POINT to)
{
    moveTo(from);
    pause();
    sendButton(MOUSEEVENTF_LEFTDOWN);
    pause();
    constexpr int kSteps = 5;
    for (int step = 1; step <= kSteps; ++step) {
        moveTo({from.x + (to.x - from.x) * step / kSteps, from.y + (to.y - from.y) * step / kSteps});
        pause();
    }
    sendButton(MOUSEEVENTF_LEFTUP);
    pause();
}

bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

HWND findProcessWindow(DWORD processId, const std::string& className, const std::string& title, HWND except)
{
    WindowQuery query{processId, className, title, except};
    EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

POINT centreOf(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

} // namespace lumbra::test
