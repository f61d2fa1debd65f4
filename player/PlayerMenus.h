// The player's items in menus: the system-menu extension, its state when the
// player shows the system menu itself, and the tray icon's menu. Item texts
// always come from the menu resources 130 and 133.
#pragma once

#include "package/ProjectSettings.h"

#include <windows.h>

#include <memory>
#include <type_traits>

namespace lumbra {

using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, decltype(&DestroyMenu)>;

// contextMenuFlags bits.
enum ContextMenuBits : std::uint32_t {
    menuConfigure = 0x1,
    menuNone = 0x2,
    menuFlashPlayer = 0x10,
    menuAbout = 0x100,
    menuHelp = 0x1000,
};

// The commands carried out by the host window (the movie control's popup).
bool isHostCommand(UINT id);

// Appends to `target` a copy of every item of `source`: separators, nested
// popups (copied too), ids and texts.
void appendMenuCopy(HMENU target, HMENU source);

// Rebuilds the player's items of `window`'s system menu: every item beyond
// the first `baseCount` goes, then the items of `contextMenuFlags` follow.
void extendSystemMenu(HINSTANCE instance, HWND window, int baseCount, std::uint32_t contextMenuFlags);

// Greys the window commands of `systemMenu` the window cannot carry out.
void setSystemMenuState(HMENU systemMenu, HWND window, const ProjectSettings& settings);

// The tray icon's popup: the show/restore/hide item named after the window,
// the player's items and "&Close".
UniqueMenu buildTrayMenu(HINSTANCE instance, HWND window, std::uint32_t contextMenuFlags);

} // namespace lumbra
