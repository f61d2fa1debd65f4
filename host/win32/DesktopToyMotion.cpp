#include "host/win32/DesktopToyMotion.h"

#include <cmath>

namespace lumbra {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerPeriod = 10; // ms
constexpr char kTimerClass[] = "LumbraDesktopToyTimer";

Box boxOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

Box workArea()
{
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return boxOf(area);
}

void moveTo(HWND window, long left, long top)
{
    SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND createTimerWindow(DesktopToyMotion* owner, WNDPROC procedure)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kTimerClass;
    RegisterClassA(&windowClass); // fails harmlessly when another engine registered it
    HWND window = CreateWindowExA(0, kTimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (window)
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
}

} // namespace

DesktopToyMotion::DesktopToyMotion(std::function<HWND()> window, StopHandler onStop)
    : window_(std::move(window)), onStop_(std::move(onStop)), timerWindow_(createTimerWindow(this, timerProc))
{
}

DesktopToyMotion::~DesktopToyMotion()
{
    if (timerWindow_)
        DestroyWindow(timerWindow_); // its timer goes with it
}

LRESULT CALLBACK DesktopToyMotion::timerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == kTimerId)
        if (auto* motion = reinterpret_cast<DesktopToyMotion*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))) {
            motion->tick();
            return 0;
        }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

bool DesktopToyMotion::start(Mode mode)
{
    stop();
    if (!timerWindow_ || !IsWindow(window_()) || !SetTimer(timerWindow_, kTimerId, kTimerPeriod, nullptr))
        return false;
    mode_ = mode;
    lastTick_ = GetTickCount();
    return true;
}

void DesktopToyMotion::followCursor() { start(Mode::FollowCursor); }

void DesktopToyMotion::throwWindow(double speed, double angle, double acceleration, double accelerationAngle,
                                   double damping, bool bounce)
{
    RECT rect{};
    if (!GetWindowRect(window_(), &rect))
        return;
    const Vector centre{(rect.left + rect.right) / 2.0, (rect.top + rect.bottom) / 2.0};
    trajectory_.emplace(centre, speed, angle, acceleration, accelerationAngle, damping, bounce);
    if (!start(Mode::Trajectory))
        trajectory_.reset();
}

void DesktopToyMotion::stop()
{
    if (mode_ == Mode::Idle)
        return;
    KillTimer(timerWindow_, kTimerId);
    mode_ = Mode::Idle;
    trajectory_.reset();
    RECT rect{};
    GetWindowRect(window_(), &rect);
    // Last: the handler may start the next motion.
    if (onStop_)
        onStop_({rect.left, rect.top});
}

void DesktopToyMotion::tick()
{
    HWND window = window_();
    if (!IsWindow(window)) {
        stop();
        return;
    }
    if (mode_ == Mode::FollowCursor)
        followStep(window);
    else if (mode_ == Mode::Trajectory)
        trajectoryStep(window);
}

void DesktopToyMotion::followStep(HWND window)
{
    RECT rect{};
    POINT cursor{};
    if (!GetWindowRect(window, &rect) || !GetCursorPos(&cursor))
        return;
    const Point corner = lumbra::followStep(boxOf(rect), {cursor.x, cursor.y}, workArea());
    if (corner.x != rect.left || corner.y != rect.top)
        moveTo(window, corner.x, corner.y);
}

void DesktopToyMotion::trajectoryStep(HWND window)
{
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return;
    const DWORD now = GetTickCount();
    const double dt = (now - lastTick_) * 0.001;
    lastTick_ = now;
    const long width = rect.right - rect.left, height = rect.bottom - rect.top;
    const auto step = trajectory_->advance(dt, Trajectory::allowedArea(workArea(), width, height));
    const Vector centre = trajectory_->centre();
    moveTo(window, std::lround(centre.x - width / 2.0), std::lround(centre.y - height / 2.0));
    if (step == Trajectory::Step::Ended)
        stop();
}

} // namespace lumbra
