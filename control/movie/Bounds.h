// The extent of a display object in its own coordinates (twips), children
// included; empty for an object that draws nothing.
#pragma once

#include "control/movie/DisplayObject.h"

namespace lumbra::movie {

Rect localBounds(const DisplayObject& object);

} // namespace lumbra::movie
