#include "player/PlayerMenus.h"

#include "player/PlayerResourceIds.h"

#include <string>

namespace lumbra {

namespace {

// Positions of the items in the menu resources.
constexpr int kFlashPopupPosition = 0, kConfigPosition = 1, kHelpPosition = 4, kAboutPosition = 6;
constexpr int kClosePosition = 2;

constexpr std::uint32_t kBorderNone = 0x1, kBorderResizable = 0x100;
constexpr std::uint32_t kIconMaximize = 0x1, kIconMinimize = 0x10;

UniqueMenu loadMenu(HINSTANCE instance, int id)
{
    return UniqueMenu(LoadMenuA(instance, MAKEINTRESOURCEA(id)), &DestroyMenu);
}

std::string itemText(HMENU menu, UINT position)
{
    char text[256] = "";
    GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return text;
}

// Appends the item at `position` of `source` (a copy of it when it is a popup).
void appendItem(HMENU target, HMENU source, int position)
{
    char text[256] = "";
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
    item.dwTypeData = text;
    item.cch = sizeof text;
    if (!GetMenuItemInfoA(source, position, TRUE, &item))
        return;
    if (item.fType & MFT_SEPARATOR) {
        AppendMenuA(target, MF_SEPARATOR, 0, nullptr);
    } else if (item.hSubMenu) {
        HMENU copy = CreatePopupMenu();
        appendMenuCopy(copy, item.hSubMenu);
        AppendMenuA(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(copy), text);
    } else {
        AppendMenuA(target, MF_STRING, item.wID, text);
    }
}

// The player's items of `contextMenuFlags`, in the order both menus share:
// the movie control's popup, Config..., Help, About... (separated from what
// precedes it only when something does).
void appendPlayerItems(HMENU target, HMENU items, std::uint32_t flags, bool separateAboutFromFlash)
{
    if (flags & menuFlashPlayer)
        appendItem(target, items, kFlashPopupPosition);
    if (flags & menuConfigure)
        appendItem(target, items, kConfigPosition);
    if (flags & menuHelp)
        appendItem(target, items, kHelpPosition);
    if (flags & menuAbout) {
        const bool aboutAlone = separateAboutFromFlash ? !(flags & menuFlashPlayer)
                                                       : !(flags & (menuFlashPlayer | menuConfigure | menuHelp));
        if (!aboutAlone)
            AppendMenuA(target, MF_SEPARATOR, 0, nullptr);
        appendItem(target, items, kAboutPosition);
    }
}

void grey(HMENU menu, UINT command, bool greyed)
{
    EnableMenuItem(menu, command, MF_BYCOMMAND | (greyed ? MF_GRAYED : MF_ENABLED));
}

} // namespace

bool isHostCommand(UINT id)
{
    switch (id) {
    case ID_FLASH_REWIND: case ID_FLASH_ZOOM_OUT: case ID_FLASH_SHOW_ALL: case ID_FLASH_LOW:
    case ID_FLASH_MEDIUM: case ID_FLASH_HIGH: case ID_FLASH_PLAY: case ID_FLASH_FORWARD:
    case ID_FLASH_BACK: case ID_FLASH_ZOOM_IN: case ID_FLASH_LOOP: case ID_FLASH_ABOUT:
    case ID_FLASH_100:
        return true;
    }
    return false;
}

void appendMenuCopy(HMENU target, HMENU source)
{
    const int count = GetMenuItemCount(source);
    for (int position = 0; position < count; ++position)
        appendItem(target, source, position);
}

void extendSystemMenu(HINSTANCE instance, HWND window, int baseCount, std::uint32_t contextMenuFlags)
{
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    if (!systemMenu)
        return;
    while (GetMenuItemCount(systemMenu) > baseCount && DeleteMenu(systemMenu, baseCount, MF_BYPOSITION)) {}
    if ((contextMenuFlags & menuNone) || contextMenuFlags == 0)
        return;
    const UniqueMenu resource = loadMenu(instance, IDM_PLAYER_ITEMS);
    if (!resource)
        return;
    AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
    appendPlayerItems(systemMenu, resource.get(), contextMenuFlags, false);
}

void setSystemMenuState(HMENU systemMenu, HWND window, const ProjectSettings& settings)
{
    grey(systemMenu, SC_RESTORE, !IsZoomed(window));
    grey(systemMenu, SC_SIZE, !(settings.borderStyle & kBorderResizable));
    grey(systemMenu, SC_MAXIMIZE, !(settings.borderIcons & kIconMaximize) || (settings.borderStyle & kBorderNone));
    grey(systemMenu, SC_MINIMIZE, !(settings.borderIcons & kIconMinimize));
}

UniqueMenu buildTrayMenu(HINSTANCE instance, HWND window, std::uint32_t contextMenuFlags)
{
    UniqueMenu menu(CreatePopupMenu(), &DestroyMenu);
    const UniqueMenu items = loadMenu(instance, IDM_PLAYER_ITEMS);
    const UniqueMenu trayItems = loadMenu(instance, IDM_TRAY_ITEMS);
    if (!menu || !items || !trayItems)
        return menu;

    const char* toggle = !IsWindowVisible(window) ? "Show " : IsIconic(window) ? "Restore " : "Hide ";
    char title[128] = "";
    GetWindowTextA(window, title, sizeof title);
    AppendMenuA(menu.get(), MF_STRING, ID_TRAY_TOGGLE, (std::string(toggle) + title).c_str());
    SetMenuDefaultItem(menu.get(), ID_TRAY_TOGGLE, FALSE);
    AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    // 0x2 keeps the player's items out of every menu.
    const std::uint32_t flags = (contextMenuFlags & menuNone) ? 0 : contextMenuFlags;
    appendPlayerItems(menu.get(), items.get(), flags, true);
    if (flags & menuFlashPlayer)
        AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr);
    HMENU closePopup = GetSubMenu(trayItems.get(), 0);
    AppendMenuA(menu.get(), MF_STRING, ID_TRAY_CLOSE, itemText(closePopup, kClosePosition).c_str());
    return menu;
}

} // namespace lumbra
