// Draws a display tree through a Canvas.
#pragma once

#include "control/movie/Canvas.h"
#include "control/movie/DisplayObject.h"
#include "control/movie/Playback.h"

#include <memory>

namespace lumbra::movie {

// view: root twips to canvas pixels.
void renderTree(Playback& playback, const Matrix& view, Canvas& canvas);

// Draws an object's content and children as if it stood untransformed:
// `toPixels` maps its own twips to canvas pixels.
void renderContent(const DisplayObject& object, const Matrix& toPixels, const ColorTransform& color, Canvas& canvas);

// MovieClip.setMask: `mask` (null to undo) limits what `object` shows and is
// no longer drawn itself.
void setMask(DisplayObject& object, const std::shared_ptr<DisplayObject>& mask);

} // namespace lumbra::movie
