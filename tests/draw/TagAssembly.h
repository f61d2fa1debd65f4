// Tags assembled by hand from the format's bit layouts, for forms the movie
// writer never emits: styled shapes, placements with colour transforms and
// clip depths.
#pragma once

#include "control/movie/BitWriter.h"
#include "control/movie/MovieWriter.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace lumbra::movie::test {

using Bytes = std::vector<std::uint8_t>;
using Write = std::function<void(BitWriter&)>;

// A SHAPE (index bits, then records) of one rectangle in pixels, filled with
// fill style 1.
Bytes rectangleRecords(const Rect& pixels);
// DefineShape3's body: one rectangle (in pixels) filled with the one fill
// style that `fillStyle` writes.
Bytes shapeBody(std::uint16_t id, const Rect& pixels, const Write& fillStyle);
// A DefineShape3 of one rectangle in one RGBA colour.
void solidShape(TimelineWriter& t, std::uint16_t id, const Rect& pixels, Argb color);
// PlaceObject2 at the identity matrix, with the colour transform `cx` writes
// and a clip depth when given.
void place(TimelineWriter& t, std::uint16_t id, int depth, const Write& cx = {}, int clipDepth = 0);

} // namespace lumbra::movie::test
