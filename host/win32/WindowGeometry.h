// Where a window is, the way "Window" objects see it: in the client
// coordinates of its parent, or on the screen when it has none.
#pragma once

#include <windows.h>

namespace lumbra::host {

// The parent of a child window; null for a top-level window (whose owner,
// if any, is not its parent).
HWND parentOf(HWND hwnd);
RECT rectInParent(HWND hwnd);
// Moves and sizes the window, showing it, without activating it and
// keeping its place in the Z order.
void placeWindow(HWND hwnd, const RECT& rect);
// Moves the top-left corner only, likewise.
void placeCorner(HWND hwnd, int x, int y);
// Centres the window over its parent or owner, else over the main window,
// else over the work area, keeping a top-level window inside the work area.
void centerWindow(HWND hwnd, HWND mainWindow);

} // namespace lumbra::host
