// The main window's border, caption, icons and taskbar button, as window
// styles computed from the appearance settings.
#pragma once

#include "package/ProjectSettings.h"

#include <windows.h>

namespace lumbra {

struct WindowStyles {
    DWORD clearStyle = 0;
    DWORD setStyle = 0;
    DWORD clearExStyle = 0;
    DWORD setExStyle = 0;

    DWORD style(DWORD current) const { return (current & ~clearStyle) | setStyle; }
    DWORD exStyle(DWORD current) const { return (current & ~clearExStyle) | setExStyle; }
};

// borderStyle: 0x1 none, 0x10 single, 0x100 resizable, 0x1000 small
// caption, 0x10000 no taskbar button; borderIcons: 0x1 maximize,
// 0x10 minimize, 0x100 system menu, 0x1000 help.
WindowStyles computeStyles(const ProjectSettings& settings);

} // namespace lumbra
