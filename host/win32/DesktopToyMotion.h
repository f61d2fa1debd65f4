// Moves a window around the desktop on a 10 ms timer: following the mouse
// cursor, or along a thrown trajectory that may bounce off the borders of the
// work area. Whenever a running motion stops, the stop handler gets the
// window's top-left corner.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>

#include "host/desktoy/DesktopMotion.h"

namespace lumbra {

class DesktopToyMotion {
public:
    enum class Mode { Idle = 0, FollowCursor = 1, Trajectory = 2 };
    using StopHandler = std::function<void(POINT topLeft)>;

    // window: the function that gives the window to move (it may change
    // while the motion object lives).
    DesktopToyMotion(std::function<HWND()> window, StopHandler onStop);
    ~DesktopToyMotion();
    DesktopToyMotion(const DesktopToyMotion&) = delete;
    DesktopToyMotion& operator=(const DesktopToyMotion&) = delete;

    // Each first stops a running motion.
    void followCursor();
    void throwWindow(double speed, double angle, double acceleration, double accelerationAngle, double damping,
                     bool bounce);
    // Ends a running motion and tells the stop handler.
    void stop();

    Mode mode() const { return mode_; }

private:
    static LRESULT CALLBACK timerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    bool start(Mode mode);
    void tick();
    void followStep(HWND window);
    void trajectoryStep(HWND window);

    std::function<HWND()> window_;
    StopHandler onStop_;
    HWND timerWindow_ = nullptr; // receives the timer's messages
    Mode mode_ = Mode::Idle;
    std::optional<Trajectory> trajectory_;
    DWORD lastTick_ = 0;
};

} // namespace lumbra
