// The movie's right-click menu as a popup of the control's window.
#pragma once

#include <windows.h>

namespace lumbra::com {

class MovieControl;

// Asks the movie what its menu shows at `screen` (the movie's own items run
// their menu's onSelect now), tracks it as a popup and carries out the item
// chosen. With the control's Menu property off only the movie's own items show.
void showMovieMenu(MovieControl& control, HWND window, POINT screen);

} // namespace lumbra::com
