#include "host/win32/MenuItemIcon.h"

namespace lumbra::host {

namespace {

constexpr int kIconSize = 16;

// The icon drawn on the menu's background into a bitmap of the screen's
// format, which menus show as it is.
HBITMAP iconBitmap(HICON icon)
{
    const HDC screen = GetDC(nullptr);
    const HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, kIconSize, kIconSize);
    if (dc && bitmap) {
        const HGDIOBJ old = SelectObject(dc, bitmap);
        const RECT all{0, 0, kIconSize, kIconSize};
        FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
        DrawIconEx(dc, 0, 0, icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
        SelectObject(dc, old);
    }
    if (dc)
        DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

} // namespace

std::unique_ptr<MenuItemIcon> MenuItemIcon::load(const std::string& path)
{
    const auto icon = static_cast<HICON>(
        LoadImageA(nullptr, path.c_str(), IMAGE_ICON, kIconSize, kIconSize, LR_LOADFROMFILE));
    if (!icon)
        return nullptr;
    return std::unique_ptr<MenuItemIcon>(new MenuItemIcon(icon, iconBitmap(icon)));
}

MenuItemIcon::~MenuItemIcon()
{
    if (bitmap_)
        DeleteObject(bitmap_);
    DestroyIcon(icon_);
}

} // namespace lumbra::host
