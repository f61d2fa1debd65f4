// DefineShape (versions 1 to 4) into fill and line outlines.
#pragma once

#include "control/movie/BitReader.h"
#include "control/movie/Character.h"

#include <cstdint>
#include <memory>
#include <unordered_map>

namespace lumbra::movie {

// The pictures defined so far, by character id, for bitmap fills.
using BitmapTable = std::unordered_map<std::uint16_t, std::shared_ptr<const PixelBuffer>>;

// Reads the shape record after its id; shapeVersion is 1 to 4. Throws FormatError.
ShapeDef parseShape(BitReader& in, int shapeVersion, const BitmapTable* bitmaps = nullptr);

// Shape records (fill and line index bits, then the records) drawn with
// styles given beforehand, as morph shapes produce them. Throws FormatError.
ShapeDef parseShapeRecords(BitReader& in, std::vector<FillStyle> fills, std::vector<LineStyle> lines);

// A font's glyph: a shape without style arrays whose one fill is implied.
// The outline comes in the font's own units. Throws FormatError.
Path parseGlyph(BitReader& in);

} // namespace lumbra::movie
