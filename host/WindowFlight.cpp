#include "host/WindowFlight.h"

#include <cstdlib>

#include "script/engine/ClassRegistration.h"
#include "script/runtime/Conversions.h"

namespace lumbra::host {

namespace {

// Argument n when it is an Integer, else `fallback`.
int integerOr(const orvet::ScriptValue* args, int n, int fallback)
{
    if (!orvet::hasArgument(args, n) || !args[n].is(orvet::ValueKind::Integer))
        return fallback;
    return static_cast<int>(args[n].integer);
}

} // namespace

FlyRequest flyRequest(const orvet::ScriptValue* args)
{
    FlyRequest request;
    request.corner = integerOr(args, 1, 0);
    if (request.corner < 0 || request.corner > 3)
        request.corner = 3;
    request.approach = integerOr(args, 2, 0);
    if (request.approach < 0 || request.approach > 2)
        request.approach = 2;
    if (orvet::hasArgument(args, 3))
        request.in = orvet::toBoolean(args[3]);
    request.delay = integerOr(args, 4, 10);
    if (request.delay < 0)
        request.delay = 10;
    return request;
}

Flight flightPath(const FlyRequest& request, const WorkArea& area, int width, int height)
{
    const bool right = request.corner <= 1;
    const bool bottom = request.corner == 0 || request.corner == 3;
    // The resting point in the corner, and the point just outside the work
    // area that the window comes from: beside it, above or below it, or both.
    const Point rest{right ? area.right - width : area.left, bottom ? area.bottom - height : area.top};
    const Point beside{right ? area.right : area.left - width, rest.y};
    const Point beyond{rest.x, bottom ? area.bottom : area.top - height};
    const Point outside = request.approach == 0 ? beside
                        : request.approach == 1 ? beyond
                                                : Point{beside.x, beyond.y};
    return request.in ? Flight{outside, rest} : Flight{rest, outside};
}

std::vector<Point> flightSteps(Point from, Point to)
{
    std::vector<Point> steps;
    if (from == to)
        return steps;
    if (from.x == to.x) {
        const int dy = to.y > from.y ? 1 : -1;
        for (int y = from.y;; y += dy) {
            steps.push_back({from.x, y});
            if (y == to.y)
                break;
        }
        return steps;
    }
    const int distance = std::abs(to.x - from.x);
    const int dx = to.x > from.x ? 1 : -1;
    steps.push_back(from);
    for (int k = 1; k <= distance; ++k) {
        // 64-bit product: a long flight over a tall span stays exact.
        const long long rise = static_cast<long long>(k) * (to.y - from.y) / distance;
        steps.push_back({from.x + k * dx, from.y + static_cast<int>(rise)});
    }
    return steps;
}

} // namespace lumbra::host
