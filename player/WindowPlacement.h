// Where the main window goes: its size and position from the size and
// position settings, the screen and the movie, and the size kept at the
// aspect ratio when the user resizes the window. Pure arithmetic on
// rectangles, so that every case can be checked without a window.
#pragma once

#include "package/ProjectSettings.h"

#include <windows.h>

namespace lumbra {

struct Placement {
    enum class Show { normal, maximized };
    bool move = false;    // false: the window keeps its rectangle
    RECT rect{};          // the new window rectangle when move is set
    bool repaint = true;  // repaint when moving
    Show show = Show::normal;
};

struct PlacementInput {
    SIZE screen{};   // the screen's size in pixels
    SIZE movie{};    // the current movie's size; zero when its header cannot be read
    RECT window{};   // the window's current rectangle
    SIZE frame{};    // window size minus client size: the non-client border
};

// windowSize: 0 movie size, 1 full screen, 2 maximized, 3 custom, 4 percent
// of the screen; pos: 0-8 the nine screen anchors, 9 at (customX, customY),
// 10 at customX %, customY % of the screen. Unknown values keep the window
// where it is.
Placement computePlacement(const ProjectSettings& settings, const PlacementInput& input);

// The window rectangle that keeps width / height of the client area at
// `ratio` after an interactive size that began at `start`: when the width
// did not change the width follows the height, otherwise the height
// follows the width. The top-left corner stays.
RECT keepAspectRatio(const RECT& start, const RECT& window, SIZE client, float ratio);

} // namespace lumbra
