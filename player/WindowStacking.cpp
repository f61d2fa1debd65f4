#include "player/WindowStacking.h"

namespace lumbra {

namespace {
constexpr std::uint32_t kStartMinimized = 0x10, kAlwaysOnTop = 0x100;
}

void applyStacking(HWND window, const ProjectSettings& settings, bool show)
{
    if (settings.behaviourFlags & kStartMinimized)
        ShowWindow(window, SW_MINIMIZE);
    const HWND band = (settings.behaviourFlags & kAlwaysOnTop) ? HWND_TOPMOST : HWND_NOTOPMOST;
    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (show ? SWP_SHOWWINDOW : SWP_NOREDRAW);
    SetWindowPos(window, band, 0, 0, 0, 0, flags);
}

} // namespace lumbra
