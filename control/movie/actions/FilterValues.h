// flash.filters objects as native code reads and makes them: the filter a
// script object describes, in the form the renderer draws (distances in
// pixels, angles in radians), and a fresh script object for a drawn filter.
#pragma once

#include "control/movie/Filters.h"
#include "control/movie/actions/Machine.h"

#include <optional>

namespace lumbra::movie {

// Empty for a value that is not one of the filter classes.
std::optional<Filter> filterFrom(Machine& m, const Value& value);
Value filterValue(Machine& m, const Filter& filter);

} // namespace lumbra::movie
