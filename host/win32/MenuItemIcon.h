// The 16 x 16 icon of a script menu item, loaded from a file, with the
// opaque bitmap (on the menu's colour) that the item shows.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "host/CommandTable.h"

namespace lumbra::host {

class MenuItemIcon : public MenuIcon {
public:
    // Null when the file holds no icon.
    static std::unique_ptr<MenuItemIcon> load(const std::string& path);
    ~MenuItemIcon() override;
    MenuItemIcon(const MenuItemIcon&) = delete;
    MenuItemIcon& operator=(const MenuItemIcon&) = delete;

    HBITMAP bitmap() const { return bitmap_; }

private:
    MenuItemIcon(HICON icon, HBITMAP bitmap) : icon_(icon), bitmap_(bitmap) {}
    HICON icon_;
    HBITMAP bitmap_;
};

} // namespace lumbra::host
