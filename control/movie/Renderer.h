// Draws a display tree through a Canvas.
#pragma once

#include "control/movie/Canvas.h"
#include "control/movie/DisplayObject.h"
#include "control/movie/Playback.h"

namespace lumbra::movie {

// view: root twips to canvas pixels.
void renderTree(Playback& playback, const Matrix& view, Canvas& canvas);

} // namespace lumbra::movie
