// Which button the mouse is over: the topmost visible button whose hit-state
// parts contain the point.
#pragma once

#include "control/movie/DisplayObject.h"

#include <memory>

namespace lumbra::movie {

// p in root twips.
std::shared_ptr<DisplayObject> buttonAt(DisplayObject& root, Point p);
// Whether a path (non-zero winding) contains p; both in the same coordinates.
bool pathContains(const Path& path, Point p);

} // namespace lumbra::movie
