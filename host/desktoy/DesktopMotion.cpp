#include "host/desktoy/DesktopMotion.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumbra {

namespace {

long towards(long from, long to) { return from < to ? from + 1 : from > to ? from - 1 : from; }

// Velocities this small count as rest.
constexpr double kRestSpeed = 0.0001;

} // namespace

Point followStep(const Box& window, Point cursor, const Box& workArea)
{
    const long centreX = window.left + window.width() / 2, centreY = window.top + window.height() / 2;
    Point corner{window.left + towards(centreX, cursor.x) - centreX, window.top + towards(centreY, cursor.y) - centreY};
    corner.x = std::max(0L, std::min(corner.x, workArea.right - window.width()));
    corner.y = std::max(0L, std::min(corner.y, workArea.bottom - window.height()));
    return corner;
}

Trajectory::Trajectory(Vector centre, double speed, double angle, double acceleration, double accelerationAngle,
                       double damping, bool bounce)
    : centre_(centre), bounce_(bounce)
{
    constexpr double radians = std::numbers::pi / 180;
    velocity_ = {speed * std::cos(angle * radians), speed * std::sin(angle * radians)};
    acceleration_ = {acceleration * std::cos(accelerationAngle * radians),
                     acceleration * std::sin(accelerationAngle * radians)};
    // sqrt(1 - 0.01 * damping), written so that 100 gives exactly 0 however
    // wide the floating-point registers; outside 0-100 the factor would grow
    // the speed or have no square root.
    dampingFactor_ = std::sqrt((100 - std::clamp(damping, 0.0, 100.0)) / 100);
}

Trajectory::Area Trajectory::allowedArea(const Box& workArea, long width, long height)
{
    Area area{workArea.left + width / 2.0, workArea.top + height / 2.0, workArea.right - width / 2.0,
              workArea.bottom - height / 2.0};
    // A window larger than the work area has a single place on that axis.
    if (area.right < area.left)
        area.left = area.right = (workArea.left + workArea.right) / 2.0;
    if (area.bottom < area.top)
        area.top = area.bottom = (workArea.top + workArea.bottom) / 2.0;
    return area;
}

Trajectory::Step Trajectory::advance(double dt, const Area& area)
{
    const auto [left, top, right, bottom] = area;
    const Vector from = centre_;
    Vector to{from.x + dt * (velocity_.x + acceleration_.x * dt / 2),
              from.y + dt * (velocity_.y + acceleration_.y * dt / 2)};
    velocity_.x += acceleration_.x * dt;
    velocity_.y += acceleration_.y * dt;
    if (to.x >= left && to.x <= right && to.y >= top && to.y <= bottom) {
        centre_ = to;
        return Step::Moving;
    }
    const bool hitX = to.x < left || to.x > right, hitY = to.y < top || to.y > bottom;
    centre_ = {std::clamp(to.x, left, right), std::clamp(to.y, top, bottom)};
    if (!bounce_)
        return Step::Ended;
    velocity_.x *= dampingFactor_;
    velocity_.y *= dampingFactor_;
    if (hitX)
        velocity_.x = -velocity_.x;
    if (hitY)
        velocity_.y = -velocity_.y;

    // At rest on an axis: against a border the acceleration presses it to, or still.
    auto resting = [](double at, double low, double high, double pushed, double speed) {
        return (at <= low && pushed < 0) || (at >= high && pushed > 0) || std::abs(speed) <= kRestSpeed;
    };
    const bool smallStep = std::abs(centre_.x - from.x) < 1 && std::abs(centre_.y - from.y) < 1;
    if (smallStep && resting(centre_.x, left, right, acceleration_.x, velocity_.x)
        && resting(centre_.y, top, bottom, acceleration_.y, velocity_.y))
        return Step::Ended;
    return Step::Moving;
}

} // namespace lumbra
