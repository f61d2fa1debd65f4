// startDrag / stopDrag: one clip at a time follows the mouse, and
// _droptarget names what it was last dragged over.
#include "control/movie/Playback.h"

#include "control/movie/HitTest.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// The innermost clip whose own drawn content covers p (in `clip`'s
// coordinates), leaving `dragged` and what it holds out. Children stand over
// what the clip's drawing methods drew, and what a mask hides is not there.
DisplayObject* clipUnder(DisplayObject& clip, Point p, const DisplayObject* dragged)
{
    auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (&child == dragged || !child.visible || child.clipLayer || child.isMask || !unmasked(clip, child, p))
            continue;
        if (child.isClip()) {
            if (DisplayObject* found = clipUnder(child, child.matrix.inverse().apply(p), dragged))
                return found;
        } else if (objectCovers(child, p)) {
            return &clip;
        }
    }
    return drawingCovers(clip, p) ? &clip : nullptr;
}

} // namespace

void Playback::startDrag(DisplayObject& clip, bool lockCenter, std::optional<Rect> bounds)
{
    if (!clip.parent())
        return; // a level stays where it is
    drag_.clip = clip.weak_from_this();
    drag_.offset = {};
    if (!lockCenter) {
        Point mouse = clip.parent()->worldMatrix().inverse().apply(mouse_);
        drag_.offset = {clip.matrix.tx - mouse.x, clip.matrix.ty - mouse.y};
    }
    if (bounds) {
        // Corners given either way round make the same rectangle.
        bounds = Rect{std::min(bounds->xMin, bounds->xMax), std::min(bounds->yMin, bounds->yMax),
                      std::max(bounds->xMin, bounds->xMax), std::max(bounds->yMin, bounds->yMax)};
    }
    drag_.bounds = bounds;
    dropped_ = drag_.clip;
    followDrag();
}

void Playback::stopDrag()
{
    followDrag();
    drag_ = {};
}

void Playback::followDrag()
{
    auto clip = drag_.clip.lock();
    if (!clip || !clip->parent())
        return;
    Point mouse = clip->parent()->worldMatrix().inverse().apply(mouse_);
    double x = mouse.x + drag_.offset.x, y = mouse.y + drag_.offset.y;
    if (drag_.bounds) {
        x = std::clamp(x, drag_.bounds->xMin, drag_.bounds->xMax);
        y = std::clamp(y, drag_.bounds->yMin, drag_.bounds->yMax);
    }
    if (std::isfinite(x) && std::isfinite(y)) {
        // Positions are whole twips, as scripts set them.
        clip->matrix.tx = std::round(x);
        clip->matrix.ty = std::round(y);
        dirty = true;
    }
    // The topmost level first; the main movie's own stage is no target, a
    // higher level's is ("_level1").
    DisplayObject* under = nullptr;
    auto levels = this->levels();
    for (auto it = levels.rbegin(); it != levels.rend() && !under; ++it)
        under = clipUnder(**it, (*it)->matrix.inverse().apply(mouse_), clip.get());
    dropTarget_ = under && under != root_.get() ? under->weak_from_this() : std::weak_ptr<DisplayObject>();
}

std::shared_ptr<DisplayObject> Playback::dropTarget(const DisplayObject& clip) const
{
    return dropped_.lock().get() == &clip ? dropTarget_.lock() : nullptr;
}

} // namespace lumbra::movie
