// Reading a window from outside, as another program on the same desktop
// sees it: its rectangles, styles and region, and which window a point of
// the screen belongs to.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace lumbra::test {

// An owned region handle.
class Region {
public:
    Region() = default;
    explicit Region(HRGN region) : region_(region) {}
    Region(Region&& other) noexcept : region_(other.region_) { other.region_ = nullptr; }
    Region& operator=(Region&& other) noexcept;
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    ~Region();

    HRGN get() const { return region_; }
    explicit operator bool() const { return region_ != nullptr; }
    bool contains(int x, int y) const { return region_ && PtInRegion(region_, x, y); }
    bool operator==(const Region& other) const;

private:
    HRGN region_ = nullptr;
};

struct WindowFacts {
    RECT window{};       // screen coordinates
    RECT client{};       // screen coordinates
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;

    int width() const { return window.right - window.left; }
    int height() const { return window.bottom - window.top; }
    int clientWidth() const { return client.right - client.left; }
    int clientHeight() const { return client.bottom - client.top; }
};

WindowFacts readWindow(HWND window);

// The window's region in window coordinates; empty when it has none.
Region windowRegion(HWND window);

// The top-level window under a point of the screen.
HWND topLevelAt(int x, int y);

// The colour the screen shows at a point.
COLORREF screenPixel(int x, int y);

// The screen's size in pixels.
SIZE screenSize();

// Polls `condition` until it holds or `timeout` passes; its last answer.
bool waitUntil(const std::function<bool()>& condition,
               std::chrono::milliseconds timeout = std::chrono::seconds(15));

// A plain white window of this process behind everything else, so that
// points the player leaves free land on it.
class BackdropWindow {
public:
    explicit BackdropWindow(const RECT& area);
    ~BackdropWindow();
    BackdropWindow(const BackdropWindow&) = delete;
    BackdropWindow& operator=(const BackdropWindow&) = delete;
    HWND handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

// Real input, as the user gives it: a key pressed with Ctrl held, sent to
// the foreground window after `window` was brought to the front.
void pressWithControl(HWND window, BYTE virtualKey);

// The visible top-level window of process `processId` with this caption.
HWND findWindow(DWORD processId, const std::string& caption);

} // namespace lumbra::test
