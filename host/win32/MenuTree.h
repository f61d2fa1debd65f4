// Walking a menu and its sub-menus. Scripts can nest menus as deep as they
// like, so the walks keep their own stack instead of recursing; the class
// never lets a menu into itself, so every walk ends.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace lumbra::host {

// Calls `visit` for every item of the menu and of its sub-menus, a
// sub-menu's items after the sub-menu's own item.
void forEachMenuItem(HMENU menu, const std::function<void(HMENU menu, int position)>& visit);

// Whether `target` is `menu` or one of its sub-menus.
bool menuContains(HMENU menu, HMENU target);

// The item's identifier, or -1 for separators and sub-menus.
int commandIdAt(HMENU menu, int position);

// The item's text, ANSI.
std::string itemText(HMENU menu, int position);

} // namespace lumbra::host
