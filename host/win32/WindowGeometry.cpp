#include "host/win32/WindowGeometry.h"

#include <algorithm>

namespace lumbra::host {

namespace {

constexpr UINT kPlaceFlags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW;

bool usableReference(HWND reference, HWND hwnd)
{
    return reference && reference != hwnd && IsWindowVisible(reference) && !IsIconic(reference);
}

RECT workAreaOf(HWND hwnd)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST), &info);
    return info.rcWork;
}

} // namespace

HWND parentOf(HWND hwnd)
{
    return (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
}

RECT rectInParent(HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    if (const HWND parent = parentOf(hwnd))
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void placeWindow(HWND hwnd, const RECT& rect)
{
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, kPlaceFlags);
}

void placeCorner(HWND hwnd, int x, int y)
{
    SetWindowPos(hwnd, nullptr, x, y, 0, 0, kPlaceFlags | SWP_NOSIZE);
}

void centerWindow(HWND hwnd, HWND mainWindow)
{
    const RECT rect = rectInParent(hwnd);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (const HWND parent = parentOf(hwnd)) {
        RECT client{};
        GetClientRect(parent, &client);
        placeCorner(hwnd, (client.right - width) / 2, (client.bottom - height) / 2);
        return;
    }
    const RECT area = workAreaOf(hwnd);
    RECT over = area;
    const HWND owner = GetWindow(hwnd, GW_OWNER);
    if (usableReference(owner, hwnd))
        GetWindowRect(owner, &over);
    else if (usableReference(mainWindow, hwnd))
        GetWindowRect(mainWindow, &over);
    int x = over.left + (over.right - over.left - width) / 2;
    int y = over.top + (over.bottom - over.top - height) / 2;
    // Within the work area where it fits; a larger window keeps its top-left corner visible.
    x = std::max<int>(area.left, std::min<int>(x, area.right - width));
    y = std::max<int>(area.top, std::min<int>(y, area.bottom - height));
    placeCorner(hwnd, x, y);
}

} // namespace lumbra::host
