// DefineShape (versions 1 to 4) into fill and line outlines.
#pragma once

#include "control/movie/BitReader.h"
#include "control/movie/Character.h"

namespace lumbra::movie {

// Reads the shape record after its id; shapeVersion is 1 to 4. Throws FormatError.
ShapeDef parseShape(BitReader& in, int shapeVersion);

} // namespace lumbra::movie
