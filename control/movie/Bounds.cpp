#include "control/movie/Bounds.h"

#include "control/movie/TextField.h"

#include <algorithm>

namespace lumbra::movie {

namespace {

void unite(Rect& into, const Rect& r, bool& any)
{
    if (r.empty())
        return;
    if (!any) {
        into = r;
        any = true;
        return;
    }
    into.xMin = std::min(into.xMin, r.xMin);
    into.yMin = std::min(into.yMin, r.yMin);
    into.xMax = std::max(into.xMax, r.xMax);
    into.yMax = std::max(into.yMax, r.yMax);
}

} // namespace

Rect localBounds(const DisplayObject& object)
{
    if (auto shape = object.shape())
        return shape->bounds;
    if (auto morph = object.morph()) {
        double t = std::clamp(object.ratio / 65535.0, 0.0, 1.0);
        const Rect& a = morph->startBounds;
        const Rect& b = morph->endBounds;
        return {a.xMin + (b.xMin - a.xMin) * t, a.yMin + (b.yMin - a.yMin) * t, a.xMax + (b.xMax - a.xMax) * t,
                a.yMax + (b.yMax - a.yMax) * t};
    }
    if (object.textField)
        return object.textField->bounds;
    if (auto video = object.video())
        return {0, 0, video->width * kTwips, video->height * kTwips};
    Rect bounds;
    bool any = false;
    if (object.drawing)
        unite(bounds, object.drawing->shape().bounds, any);
    for (const auto& [depth, child] : object.children()) {
        if (object.button() && !(child->buttonStates & StateUp))
            continue;
        unite(bounds, transformRect(child->matrix, localBounds(*child)), any);
    }
    return bounds;
}

} // namespace lumbra::movie
