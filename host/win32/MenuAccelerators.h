// Accelerators written in item captions: the text after the first tab
// ("&Open\tCTRL+O") read as a hot key, for every command item of a menu and
// its sub-menus.
#pragma once

#include <windows.h>

#include <vector>

namespace lumbra::host {

std::vector<ACCEL> acceleratorsOf(HMENU menu);

} // namespace lumbra::host
