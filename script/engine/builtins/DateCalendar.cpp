#include "script/engine/builtins/DateCalendar.h"

#include <cmath>

namespace orvet {

namespace {

// Day of the year on which each month starts, in common and in leap years.
constexpr int kMonthStart[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

// x modulo m with the sign of m (m > 0).
double positiveModulo(double x, double m) {
  double r = std::fmod(x, m);
  return r < 0 ? r + m : r;
}

bool isLeapYear(double year) { return daysInYear(year) == 366; }

int dayWithinYear(double t) {
  return static_cast<int>(dayOf(t) - dayFromYear(yearFromTime(t)));
}

}  // namespace

bool isValidTime(double t) { return std::fabs(t) <= kMaxTimeValue; }

double dayOf(double t) { return std::floor(t / kMsPerDay); }

double timeWithinDay(double t) { return positiveModulo(t, kMsPerDay); }

int daysInYear(double year) {
  if (std::fmod(year, 4) != 0) return 365;
  if (std::fmod(year, 100) != 0) return 366;
  return std::fmod(year, 400) == 0 ? 366 : 365;
}

double dayFromYear(double year) {
  return 365 * (year - 1970) + std::floor((year - 1969) / 4) -
         std::floor((year - 1901) / 100) + std::floor((year - 1601) / 400);
}

double yearFromTime(double t) {
  // The estimate from the mean year length is off by at most one.
  double year = std::floor(t / (kMsPerDay * 365.2425)) + 1970;
  if (t < dayFromYear(year) * kMsPerDay) return year - 1;
  if (t >= (dayFromYear(year) + daysInYear(year)) * kMsPerDay) return year + 1;
  return year;
}

int monthFromTime(double t) {
  const int* starts = kMonthStart[isLeapYear(yearFromTime(t))];
  int day = dayWithinYear(t);
  int month = 0;
  while (month < 11 && day >= starts[month + 1]) ++month;
  return month;
}

int dateFromTime(double t) {
  const int* starts = kMonthStart[isLeapYear(yearFromTime(t))];
  return dayWithinYear(t) - starts[monthFromTime(t)] + 1;
}

int weekDay(double t) { return static_cast<int>(positiveModulo(dayOf(t) + 4, 7)); }

int hourFromTime(double t) {
  return static_cast<int>(positiveModulo(std::floor(t / kMsPerHour), 24));
}

int minFromTime(double t) {
  return static_cast<int>(positiveModulo(std::floor(t / kMsPerMinute), 60));
}

int secFromTime(double t) {
  return static_cast<int>(positiveModulo(std::floor(t / kMsPerSecond), 60));
}

int msFromTime(double t) { return static_cast<int>(positiveModulo(t, kMsPerSecond)); }

double makeDay(double year, double month, double date) {
  double y = year + std::floor(month / 12);
  double m = positiveModulo(month, 12);
  if (!std::isfinite(y) || !std::isfinite(m)) return NAN;
  return dayFromYear(y) + kMonthStart[isLeapYear(y)][static_cast<int>(m)] + date - 1;
}

double makeDate(double year, double month, double date, double hours, double minutes,
                double seconds, double ms) {
  return makeDay(year, month, date) * kMsPerDay +
         ((hours * 60 + minutes) * 60 + seconds) * kMsPerSecond + ms;
}

}  // namespace orvet
