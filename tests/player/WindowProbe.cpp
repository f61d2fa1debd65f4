#include "WindowProbe.h"

#include <thread>

namespace lumbra::test {

Region& Region::operator=(Region&& other) noexcept
{
    std::swap(region_, other.region_);
    return *this;
}

Region::~Region()
{
    if (region_)
        DeleteObject(region_);
}

bool Region::operator==(const Region& other) const
{
    return region_ && other.region_ && EqualRgn(region_, other.region_);
}

WindowFacts readWindow(HWND window)
{
    WindowFacts facts;
    GetWindowRect(window, &facts.window);
    GetClientRect(window, &facts.client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&facts.client), 2);
    facts.style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    facts.exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    facts.caption = caption;
    return facts;
}

Region windowRegion(HWND window)
{
    Region region(CreateRectRgn(0, 0, 0, 0));
    if (GetWindowRgn(window, region.get()) == ERROR)
        return Region();
    return region;
}

HWND topLevelAt(int x, int y)
{
    const HWND window = WindowFromPoint({x, y});
    return window ? GetAncestor(window, GA_ROOT) : nullptr;
}

COLORREF screenPixel(int x, int y)
{
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

SIZE screenSize()
{
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        MSG message; // keeps this process's own windows answering
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

BackdropWindow::BackdropWindow(const RECT& area)
{
    constexpr char kClass[] = "LumbraTestBackdrop";
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = kClass;
    RegisterClassA(&windowClass);
    window_ = CreateWindowExA(WS_EX_TOOLWINDOW, kClass, "backdrop", WS_POPUP | WS_VISIBLE, area.left, area.top,
                              area.right - area.left, area.bottom - area.top, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    UpdateWindow(window_);
}

BackdropWindow::~BackdropWindow()
{
    if (window_)
        DestroyWindow(window_);
}

namespace {

void keyEvent(BYTE key, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    SendInput(1, &input, sizeof input);
}

} // namespace

void pressWithControl(HWND window, BYTE virtualKey)
{
    SetForegroundWindow(window);
    waitUntil([&] { return GetForegroundWindow() == window; }, std::chrono::seconds(3));
    keyEvent(VK_CONTROL, 0);
    keyEvent(virtualKey, 0);
    keyEvent(virtualKey, KEYEVENTF_KEYUP);
    keyEvent(VK_CONTROL, KEYEVENTF_KEYUP);
}

namespace {

struct CaptionSearch {
    DWORD processId;
    const std::string* caption;
    HWND found;
};

BOOL CALLBACK matchCaption(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<CaptionSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (owner != search->processId || !IsWindowVisible(window) || *search->caption != caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND findWindow(DWORD processId, const std::string& caption)
{
    CaptionSearch search{processId, &caption, nullptr};
    EnumWindows(matchCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace lumbra::test
