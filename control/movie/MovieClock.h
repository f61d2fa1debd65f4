// The time a movie's scripts see: getTimer, setInterval and setTimeout count
// milliseconds from the load of the main movie. The control follows the real
// clock. Headless play counts frames instead, one frame period each, so that
// a movie prints the same on every run and on a loaded machine.
#pragma once

#include <chrono>

namespace lumbra::movie {

class MovieClock {
public:
    enum class Kind { Real, Frames };

    MovieClock() : MovieClock(Kind::Real) {}
    explicit MovieClock(Kind kind) : kind_(kind) { restart(); }

    // Back to 0: a new main movie starts.
    void restart();
    // One frame has passed at `frameRate` frames a second; the real clock ignores it.
    void frameAdvanced(double frameRate);
    // Milliseconds since the restart.
    double now() const;

private:
    Kind kind_;
    std::chrono::steady_clock::time_point started_;
    // The frame clock: frames since the restart times the period, so that
    // whole frames give the same times however many have passed.
    long frames_ = 0;
    double period_ = 0; // ms
};

} // namespace lumbra::movie
