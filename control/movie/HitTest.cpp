#include "control/movie/HitTest.h"

#include "control/movie/MorphShape.h"
#include "control/movie/TextField.h"

namespace lumbra::movie {

namespace {

bool shapeContains(const ShapeDef& shape, Point p)
{
    if (!shape.bounds.contains(p))
        return false;
    for (const Path& path : shape.fillPaths)
        if (pathContains(path, p))
            return true;
    return false;
}

// Whether the object's content covers p, whether or not the object is drawn:
// how masks, which are not, are hit.
bool contentCovers(const DisplayObject& object, Point inParent);

} // namespace

bool objectCovers(const DisplayObject& object, Point inParent)
{
    if (!object.visible || object.clipLayer || object.isMask)
        return false;
    return contentCovers(object, inParent);
}

bool unmasked(const DisplayObject& parent, const DisplayObject& child, Point inParent)
{
    // Clip layers sit below what they mask: look down from the child.
    const auto& siblings = parent.children();
    for (auto it = siblings.lower_bound(child.depth); it != siblings.begin();) {
        const DisplayObject& below = *(--it)->second;
        if (below.clipLayer && below.clipDepth >= child.depth && !contentCovers(below, inParent))
            return false;
    }
    auto mask = child.mask.lock();
    if (!mask || mask.get() == &child)
        return true;
    // A script mask may sit anywhere in the tree: meet it in stage coordinates.
    Point onStage = parent.worldMatrix().apply(inParent);
    const DisplayObject* maskParent = mask->parent();
    return contentCovers(*mask, maskParent ? maskParent->worldMatrix().inverse().apply(onStage) : onStage);
}

namespace {

bool contentCovers(const DisplayObject& object, Point inParent)
{
    Point p = object.matrix.inverse().apply(inParent);
    if (auto shape = object.shape())
        return shapeContains(*shape, p);
    if (auto morph = object.morph())
        return shapeContains(morphShapeAt(*morph, object.ratio / 65535.0), p);
    if (object.textField)
        return object.textField->bounds.contains(p);
    if (drawingCovers(object, p))
        return true;
    if (object.button())
        return buttonHit(object, inParent);
    for (const auto& [depth, child] : object.children())
        if (objectCovers(*child, p) && unmasked(object, *child, p))
            return true;
    return false;
}

} // namespace

bool drawingCovers(const DisplayObject& object, Point local)
{
    return object.drawing && shapeContains(object.drawing->shape(), local);
}

bool buttonHit(const DisplayObject& button, Point inParent)
{
    Point p = button.matrix.inverse().apply(inParent);
    for (const auto& [depth, part] : button.children())
        if ((part->buttonStates & StateHit) && objectCovers(*part, p))
            return true;
    return false;
}

bool pathContains(const Path& path, Point p)
{
    int winding = 0;
    for (const Contour& contour : path) {
        std::size_t n = contour.size();
        for (std::size_t i = 0; i < n; ++i) {
            Point a = contour[i], b = contour[(i + 1) % n];
            double side = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
            if (a.y <= p.y) {
                if (b.y > p.y && side > 0)
                    ++winding;
            } else if (b.y <= p.y && side < 0) {
                --winding;
            }
        }
    }
    return winding != 0;
}

} // namespace lumbra::movie
