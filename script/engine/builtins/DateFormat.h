// The two text forms of a date.
#pragma once

#include <string>

namespace orvet {

// "Mon Dec 25 13:30:00 GMT+100 1995": local time, with the zone written as
// the offset east of Greenwich in hours and minutes run together.
std::u16string formatLocalDate(double t, double localTZA);

// "Mon, 25 Dec 1995 12:30:00 GMT".
std::u16string formatUtcDate(double t);

}  // namespace orvet
