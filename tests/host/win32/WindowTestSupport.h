// Real windows for the Window and Shell tests: an engine with the classes
// under test and a fake player whose main window is a real window of the
// test, windows of the test's own class, message pumping, real input.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "tests/host/FakePlayerServices.h"
#include "tests/host/ScriptHost.h"

namespace lumbra::test {

// A top-level (or child) window of the test's class that records the
// messages it is sent; destroyed with the object unless already gone.
// Top-level ones are pop-ups without frame: their window rectangle is their
// client area and they have no minimum size. Under Xvfb there is no window
// manager, and Wine keeps pop-ups to itself instead of waiting on one.
class TestWindow {
public:
    enum class Drag { None, Anywhere };
    explicit TestWindow(const wchar_t* title = L"Test window", HWND parent = nullptr,
                        RECT rect = {100, 100, 400, 300}, Drag drag = Drag::None);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    // The messages the window's own procedure saw, in order.
    const std::vector<UINT>& messages() const { return messages_; }
    int count(UINT message) const;

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    Drag drag_;
    std::vector<UINT> messages_;
};

// Dispatches waiting messages until the condition holds or the time is up;
// the condition's last answer.
bool pumpUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(10));
// Dispatches messages for a while.
void pumpFor(std::chrono::milliseconds time);

// A mouse move to a screen point, as the user's hand makes it.
void moveMouseTo(int x, int y);

// The procedure a window has now.
inline LONG_PTR procedureOf(HWND hwnd) { return GetWindowLongPtrW(hwnd, GWLP_WNDPROC); }

// The engine with "Window", "Shell" and the URI functions over a fake player
// whose main window is a real window of the test.
class WindowScript {
public:
    WindowScript();

    // Runs a program; its value as text ("null", "undefined" for those).
    std::string value(const std::string& program) { return host->value(program); }
    // A global variable set to a window's handle.
    void setHandle(const char* name, HWND hwnd);
    // The engine's error buffer after the last run.
    std::string errorText() { return host->ctx().errorBuffer; }
    // A full collection now: objects no script variable holds die.
    void collect();

    FakePlayerServices player;
    TestWindow main{L"Main window", nullptr, {700, 600, 1000, 800}}; // apart from the tests' windows
    std::unique_ptr<ScriptHost> host;
};

// The folder of the test program, with a trailing backslash.
std::wstring programFolder();

} // namespace lumbra::test
