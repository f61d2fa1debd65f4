#include "control/movie/HitTest.h"

namespace lumbra::movie {

namespace {

bool shapeCovers(const ShapeDef& shape, Point p)
{
    if (!shape.bounds.contains(p))
        return false;
    for (const Path& path : shape.fillPaths)
        if (pathContains(path, p))
            return true;
    return false;
}

} // namespace

bool covers(const DisplayObject& object, Point inParent)
{
    Point p = object.matrix.inverse().apply(inParent);
    if (auto shape = object.shape())
        return shapeCovers(*shape, p);
    if (auto text = object.text())
        return text->bounds.contains(p);
    if (object.drawing && shapeCovers(object.drawing->shape(), p))
        return true;
    for (const auto& [depth, child] : object.children())
        if (covers(*child, p))
            return true;
    return false;
}

namespace {

bool buttonHit(const DisplayObject& button, Point inParent)
{
    Point p = button.matrix.inverse().apply(inParent);
    for (const auto& [depth, part] : button.children())
        if ((part->buttonStates & StateHit) && covers(*part, p))
            return true;
    return false;
}

std::shared_ptr<DisplayObject> search(DisplayObject& clip, Point p)
{
    Point local = clip.parent() ? clip.matrix.inverse().apply(p) : p;
    auto& children = clip.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        DisplayObject& child = *it->second;
        if (!child.visible || child.clipLayer)
            continue;
        if (child.button()) {
            if (buttonHit(child, local))
                return it->second;
        } else if (child.isClip()) {
            if (auto found = search(child, local))
                return found;
        }
    }
    return nullptr;
}

} // namespace

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

std::shared_ptr<DisplayObject> buttonAt(DisplayObject& root, Point p)
{
    return search(root, p);
}

} // namespace lumbra::movie
