// The operating system's clock and time zone as the Date class sees them.
#pragma once

namespace orvet {

// The current time value (UTC), to the millisecond.
double currentTimeValue();

// LocalTZA: UTC minus local time in milliseconds (positive west of
// Greenwich), including the daylight-saving shift in force right now.
double systemLocalTimeAdjustment();

}  // namespace orvet
