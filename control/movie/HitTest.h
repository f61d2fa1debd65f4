// Which button the mouse is over: the topmost visible button whose hit-state
// parts contain the point.
#pragma once

#include "control/movie/DisplayObject.h"

#include <memory>

namespace lumbra::movie {

// p in root twips.
std::shared_ptr<DisplayObject> buttonAt(DisplayObject& root, Point p);
// Whether the object itself (its shapes, drawing, text boxes and children)
// covers a point given in its parent's coordinates.
bool covers(const DisplayObject& object, Point inParent);
// Whether a path (non-zero winding) contains p; both in the same coordinates.
bool pathContains(const Path& path, Point p);

} // namespace lumbra::movie
