// A stroked polyline as areas to fill: one quadrilateral per segment, a join
// piece at every corner and a cap at each open end, all turned the same way
// round, so that filling them by the non-zero rule paints their union.
#pragma once

#include "control/movie/Canvas.h"

namespace lumbra::movie {

// `width` in pixels (at least one); a contour whose last point repeats its
// first is closed and gets a join there instead of caps.
Path strokeOutline(const Path& lines, const Stroke& stroke);

} // namespace lumbra::movie
