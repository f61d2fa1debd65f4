// The child window of an in-place active control: it shows the movie, runs
// its frame timer and hands it the mouse.
#pragma once

#include <objbase.h>

namespace lumbra::com {

class MovieControl;

class ControlWindow {
public:
    // `owner` is the COM object around the control; it is kept alive while a
    // message runs movie actions, whose events may make the container let go.
    ControlWindow(MovieControl& control, IUnknown& owner);
    ~ControlWindow();
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    bool create(HWND parent, const RECT& position);
    void destroy();
    HWND handle() const { return hwnd_; }
    void setPosition(const RECT& position);
    void invalidate();
    // Starts the frame timer at the current movie's rate (stops it without a movie).
    void restartTimer();

    // Undoes the class registration when the DLL leaves the process.
    static void unregisterClass(HINSTANCE instance);

private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    MovieControl& control_;
    IUnknown& owner_;
    HWND hwnd_ = nullptr;
    unsigned typed_[256] = {}; // per key, the character its last press typed
};

} // namespace lumbra::com
