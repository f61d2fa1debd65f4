// The motions of the desktop toy, as plain geometry: the window is placed by
// its centre, inside an area of the work area.
#pragma once

namespace lumbra {

struct Vector {
    double x = 0, y = 0;
};

// Screen rectangles with the right and bottom edges outside, as Windows has them.
struct Box {
    long left = 0, top = 0, right = 0, bottom = 0;
    long width() const { return right - left; }
    long height() const { return bottom - top; }
};

// Following the cursor: the window's top-left corner after one step, which
// moves its centre at most one pixel per axis towards the cursor and keeps
// the window inside the work area (left and top never below 0).
struct Point {
    long x = 0, y = 0;
};
Point followStep(const Box& window, Point cursor, const Box& workArea);

// A throw: constant acceleration from a start speed, optionally bouncing off
// the borders of the area the window's centre may reach.
class Trajectory {
public:
    // Speeds in pixels per second, accelerations in pixels per second
    // squared, angles in degrees (screen coordinates: 90 points down).
    // damping is the per cent of energy a bounce takes, 0-100.
    Trajectory(Vector centre, double speed, double angle, double acceleration, double accelerationAngle,
               double damping, bool bounce);

    // The centres the window may take: [left, right] x [top, bottom].
    struct Area {
        double left = 0, top = 0, right = 0, bottom = 0;
    };
    // Those of a window of this size in the work area.
    static Area allowedArea(const Box& workArea, long width, long height);

    enum class Step { Moving, Ended };
    // Advances by dt seconds.
    Step advance(double dt, const Area& area);

    Vector centre() const { return centre_; }
    Vector velocity() const { return velocity_; }

private:
    Vector centre_, velocity_, acceleration_;
    double dampingFactor_;
    bool bounce_;
};

} // namespace lumbra
