// Geometry of the mouse: whether an object's drawn content (shapes, morph
// shapes at their ratio, text boxes, children; a button's hit-state parts)
// covers a point. What a mask hides is not there for the mouse either: a
// child outside its clip layer or its script mask (setMask) is not hit.
#pragma once

#include "control/movie/DisplayObject.h"

namespace lumbra::movie {

// Whether the object's content covers p, given in its parent's coordinates.
// Clip layers and hidden objects cover nothing.
bool objectCovers(const DisplayObject& object, Point inParent);
// Whether the masks of `child` (a child of `parent`) leave p, in the parent's
// coordinates, visible: the clip layers below it whose depth range takes it
// in, and its script mask.
bool unmasked(const DisplayObject& parent, const DisplayObject& child, Point inParent);
// Whether what the object's drawing methods drew covers p, in the object's
// own coordinates.
bool drawingCovers(const DisplayObject& object, Point local);
// Whether a button's hit-state parts contain p, given in its parent's coordinates.
bool buttonHit(const DisplayObject& button, Point inParent);
// Whether a path (non-zero winding) contains p; both in the same coordinates.
bool pathContains(const Path& path, Point p);

} // namespace lumbra::movie
