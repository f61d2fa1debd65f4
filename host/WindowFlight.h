// How "fly" and "fly2" move a window: the corner points of the desktop work
// area and the one-pixel stepping between two points. Pure geometry; the
// Window class places the window at each point.
#pragma once

#include <vector>

#include "script/runtime/ScriptValue.h"

namespace lumbra::host {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct WorkArea {
    int left, top, right, bottom;
};

// The arguments of "fly" after their defaults and bounds.
struct FlyRequest {
    int corner = 0;   // 0 bottom right, 1 top right, 2 top left, 3 bottom left
    int approach = 0; // 0 sideways, 1 vertical, 2 diagonal
    bool in = true;   // into the corner, else out of it
    int delay = 10;   // milliseconds between steps
};

// From the argument block of "fly" (args[0] is the count): a missing or
// non-Integer corner, approach or delay takes its default; out-of-range
// corners and approaches take the last one; a negative delay is 10 ms.
FlyRequest flyRequest(const orvet::ScriptValue* args);

struct Flight {
    Point from, to;
};

// Where a window of the size starts and ends when it flies into (or out of)
// a corner of the work area.
Flight flightPath(const FlyRequest& request, const WorkArea& area, int width, int height);

// Every placement of the top-left corner moving from `from` to `to`: none
// when they are equal; one pixel at a time along y when x does not change;
// otherwise one pixel at a time along x with y interpolated, rounded towards
// zero. The first placement is `from`, the last `to`.
std::vector<Point> flightSteps(Point from, Point to);

} // namespace lumbra::host
