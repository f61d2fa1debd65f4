// The filter list and blend mode of PlaceObject3 and of button records.
#pragma once

#include "control/movie/BitReader.h"
#include "control/movie/Filters.h"

namespace lumbra::movie {

// A FILTERLIST: a count, then each filter by its id. Throws FormatError on an
// unknown id, as nothing after it could be found.
std::vector<Filter> parseFilterList(BitReader& in);
// 0 and 1 are both the normal mode; values past HardLight read as normal.
BlendMode blendModeFrom(unsigned raw);

} // namespace lumbra::movie
