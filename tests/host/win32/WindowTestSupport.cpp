#include "tests/host/win32/WindowTestSupport.h"

#include <algorithm>
#include <thread>

#include "host/UriFunctions.h"
#include "host/win32/ShellClass.h"
#include "host/win32/WindowClass.h"
#include "script/runtime/Collector.h"

namespace lumbra::test {

namespace {

constexpr wchar_t kTestClass[] = L"LumbraHostTestWindow";

// Under Xvfb no window manager runs, but Wine hands top-level windows to one
// and waits two seconds for it at each hide. Wine's per-program setting
// keeps this program's windows to itself; it is read when the first window
// is made, after this.
const bool unmanagedWindows = [] {
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\host_window_tests.exe\\X11 Driver", 0,
                        nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), sizeof(L"N"));
    RegCloseKey(key);
    return true;
}();

void registerTestClass(WNDPROC procedure)
{
    static const bool registered = [procedure] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kTestClass;
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        return RegisterClassW(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

TestWindow::TestWindow(const wchar_t* title, HWND parent, RECT rect, Drag drag) : drag_(drag)
{
    registerTestClass(procedure);
    const DWORD style = parent ? WS_CHILD | WS_VISIBLE : WS_POPUP | WS_VISIBLE;
    hwnd_ = CreateWindowExW(0, kTestClass, title, style, rect.left, rect.top, rect.right - rect.left,
                            rect.bottom - rect.top, parent, nullptr, GetModuleHandleW(nullptr), this);
    pumpFor(std::chrono::milliseconds(50));
}

TestWindow::~TestWindow()
{
    if (IsWindow(hwnd_))
        DestroyWindow(hwnd_);
}

int TestWindow::count(UINT message) const
{
    return static_cast<int>(std::count(messages_.begin(), messages_.end(), message));
}

LRESULT CALLBACK TestWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    if (auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA))) {
        self->messages_.push_back(message);
        if (message == WM_NCDESTROY)
            SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        // The whole window acts as its caption: a press starts the system's move loop.
        if (message == WM_NCHITTEST && self->drag_ == Drag::Anywhere)
            return HTCAPTION;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool pumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void pumpFor(std::chrono::milliseconds time)
{
    pumpUntil([] { return false; }, time);
}

void moveMouseTo(int x, int y)
{
    // Absolute coordinates of SendInput run from 0 to 65535 over the screen.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((x * 65536LL + width / 2) / width);
    input.mi.dy = static_cast<LONG>((y * 65536LL + height / 2) / height);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
    SetCursorPos(x, y);
}

WindowScript::WindowScript()
{
    player.mainWindowHandle = main.hwnd();
    orvet::HostClasses classes;
    classes.host = &player;
    classes.shell = host::registerShellClass;
    classes.applicationFunctions = [](orvet::ScriptEngine& engine, void*) { host::registerUriFunctions(*engine.context); };
    classes.window = host::registerWindowClass;
    host = std::make_unique<ScriptHost>(classes);
}

void WindowScript::setHandle(const char* name, HWND hwnd)
{
    host->ctx().global(host->ctx().intern(name)) =
        orvet::ScriptValue::ofInt(static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(hwnd)));
}

void WindowScript::collect()
{
    orvet::collect(host->ctx());
}

std::wstring programFolder()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

} // namespace lumbra::test
