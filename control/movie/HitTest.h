// Geometry of the mouse: whether an object's drawn content (shapes, morph
// shapes at their ratio, text boxes, children; a button's hit-state parts)
// covers a point.
#pragma once

#include "control/movie/DisplayObject.h"

namespace lumbra::movie {

// Whether the object's content covers p, given in its parent's coordinates.
// Clip layers and hidden objects cover nothing.
bool objectCovers(const DisplayObject& object, Point inParent);
// Whether a button's hit-state parts contain p, given in its parent's coordinates.
bool buttonHit(const DisplayObject& button, Point inParent);
// Whether a path (non-zero winding) contains p; both in the same coordinates.
bool pathContains(const Path& path, Point p);

} // namespace lumbra::movie
