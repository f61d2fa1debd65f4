// Menus from the package: a "MENUS" block of the program's own resources
// made into a menu bar whose command items get identifiers of the class.
#pragma once

#include <windows.h>

#include <string>

namespace lumbra::host {

struct MenuClassState;

// The new menu bar, or null when the block is missing, does not unpack or
// does not read as a menu (nothing is kept then).
HMENU loadPackagedMenu(MenuClassState& state, const std::string& name);

} // namespace lumbra::host
