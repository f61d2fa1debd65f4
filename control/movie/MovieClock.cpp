#include "control/movie/MovieClock.h"

namespace lumbra::movie {

void MovieClock::restart()
{
    started_ = std::chrono::steady_clock::now();
    frames_ = 0;
}

void MovieClock::frameAdvanced(double frameRate)
{
    if (kind_ != Kind::Frames || !(frameRate > 0))
        return;
    period_ = 1000.0 / frameRate;
    ++frames_;
}

double MovieClock::now() const
{
    if (kind_ == Kind::Frames)
        return double(frames_) * period_;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started_).count();
}

} // namespace lumbra::movie
