// For automated tests: menus of another process cannot be read, so when
// LUMBRA_MENU_LOG names a file, the player appends to it every menu it
// builds or shows, one item per line: the text (nested items indented by two
// spaces), "-" for a separator, " [grey]" after a greyed item.
#pragma once

#include <windows.h>

#include <string_view>

namespace lumbra {

// Appends `heading` and the items of `menu` when the log is on.
void logMenu(std::string_view heading, HMENU menu);

} // namespace lumbra
