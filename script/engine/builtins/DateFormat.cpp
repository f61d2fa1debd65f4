#include "script/engine/builtins/DateFormat.h"

#include <cmath>
#include <cstdio>

#include "script/engine/builtins/DateCalendar.h"

namespace orvet {

namespace {

constexpr const char* kWeekDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// Years up to 0 are written as years before Christ: 0 is 1 B.C.
struct Era {
  int year;
  const char* suffix;
};

Era eraOf(double year) {
  return year <= 0 ? Era{static_cast<int>(1 - year), " B.C."} : Era{static_cast<int>(year), ""};
}

// The forms are pure ASCII, so widening each byte is the conversion.
std::u16string widen(const char* text, int length) {
  return std::u16string(text, text + length);
}

}  // namespace

std::u16string formatLocalDate(double t, double localTZA) {
  const double local = t - localTZA;
  const int bias = static_cast<int>(std::floor(localTZA / kMsPerMinute));
  const int zone = -(bias % 60) - (bias / 60) * 100;
  const Era era = eraOf(yearFromTime(local));
  char text[128];
  int length = std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d GMT%+04d %04d%s",
                             kWeekDays[weekDay(local)], kMonths[monthFromTime(local)],
                             dateFromTime(local), hourFromTime(local), minFromTime(local),
                             secFromTime(local), zone, era.year, era.suffix);
  return widen(text, length);
}

std::u16string formatUtcDate(double t) {
  const Era era = eraOf(yearFromTime(t));
  char text[128];
  int length = std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d GMT%s",
                             kWeekDays[weekDay(t)], dateFromTime(t), kMonths[monthFromTime(t)],
                             era.year, hourFromTime(t), minFromTime(t), secFromTime(t),
                             era.suffix);
  return widen(text, length);
}

}  // namespace orvet
