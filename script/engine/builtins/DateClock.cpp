#include "script/engine/builtins/DateClock.h"

#include "script/engine/builtins/DateCalendar.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <chrono>
#include <ctime>
#endif

namespace orvet {

#ifdef _WIN32

double currentTimeValue() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  return makeDate(now.wYear, now.wMonth - 1, now.wDay, now.wHour, now.wMinute, now.wSecond,
                  now.wMilliseconds);
}

double systemLocalTimeAdjustment() {
  TIME_ZONE_INFORMATION zone;
  LONG bias;
  switch (GetTimeZoneInformation(&zone)) {
    case TIME_ZONE_ID_STANDARD: bias = zone.Bias + zone.StandardBias; break;
    case TIME_ZONE_ID_DAYLIGHT: bias = zone.Bias + zone.DaylightBias; break;
    case TIME_ZONE_ID_UNKNOWN: bias = zone.Bias; break;
    default: bias = 0; break;  // no zone information: treat local time as UTC
  }
  return bias * kMsPerMinute;
}

#else

double currentTimeValue() {
  using namespace std::chrono;
  return static_cast<double>(
      duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

double systemLocalTimeAdjustment() {
  // The C library follows TZ; tm_gmtoff already includes daylight saving.
  tzset();
  std::time_t now = std::time(nullptr);
  std::tm local;
  if (!localtime_r(&now, &local)) return 0;
  return -static_cast<double>(local.tm_gmtoff) * kMsPerSecond;
}

#endif

}  // namespace orvet
