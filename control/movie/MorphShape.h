// Morph shapes (DefineMorphShape, DefineMorphShape2): a start and an end shape
// whose styles and edges pair up one to one; a placed morph shows the shape
// between them at its ratio.
#pragma once

#include "control/movie/BitReader.h"
#include "control/movie/Character.h"
#include "control/movie/ShapeParser.h"

namespace lumbra::movie {

// The tag body after the id; `second` for DefineMorphShape2. Throws FormatError.
MorphShapeDef parseMorphShape(BitReader& in, bool second, const BitmapTable* bitmaps);
// The shape at ratio 0 (start) .. 1 (end).
ShapeDef morphShapeAt(const MorphShapeDef& morph, double ratio);

} // namespace lumbra::movie
