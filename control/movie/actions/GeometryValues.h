// flash.geom values as native code reads and makes them: Point, Rectangle,
// Matrix and ColorTransform objects of the movie's scripts, carried to and
// from the movie model's own types. Lengths stay in pixels, as scripts give
// them (the display tree keeps twips: callers scale by 20 where they need).
//
// Reading takes any object with the members the class has (scripts pass
// plain objects too), and is empty for a value that is not an object. A
// missing or non-numeric member reads as NaN, which callers check.
#pragma once

#include "control/movie/ColorTransform.h"
#include "control/movie/Geometry.h"
#include "control/movie/actions/Machine.h"

#include <optional>
#include <span>
#include <string>

namespace lumbra::movie {

std::optional<Point> pointFrom(Machine& m, const Value& value);
Value pointValue(Machine& m, Point p);

// x, y, width, height.
std::optional<Rect> rectangleFrom(Machine& m, const Value& value);
Value rectangleValue(Machine& m, const Rect& r);

// a, b, c, d, tx, ty.
std::optional<Matrix> matrixFrom(Machine& m, const Value& value);
Value matrixValue(Machine& m, const Matrix& matrix);

// redMultiplier ... alphaOffset; offsets in 0..255 units of a channel.
std::optional<ColorTransform> colorTransformFrom(Machine& m, const Value& value);
Value colorTransformValue(Machine& m, const ColorTransform& cx);

// How the geometry classes print themselves: "(a=1, b=0, ...)", each label
// with the text of its member of `object`. Labels default to the member names.
std::u16string membersText(Machine& m, const Value& object, std::span<const char16_t* const> members,
                           std::span<const char16_t* const> labels = {});

} // namespace lumbra::movie
