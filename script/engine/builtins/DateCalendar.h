// Calendar arithmetic on time values: milliseconds since 1970-01-01 00:00:00
// UTC held in doubles, with floor division throughout so that instants before
// the epoch fall into the right day, year and hour.
#pragma once

namespace orvet {

inline constexpr double kMsPerSecond = 1000.0;
inline constexpr double kMsPerMinute = 60000.0;
inline constexpr double kMsPerHour = 3600000.0;
inline constexpr double kMsPerDay = 86400000.0;
// A date never holds a value beyond 100 million days either side of the epoch.
inline constexpr double kMaxTimeValue = 8.64e15;

// Whether t may be stored in a date (false for NaN and infinities too).
bool isValidTime(double t);

double dayOf(double t);
double timeWithinDay(double t);
int daysInYear(double year);
double dayFromYear(double year);
double yearFromTime(double t);
int monthFromTime(double t);  // 0-11
int dateFromTime(double t);   // 1-31
int weekDay(double t);        // 0 = Sunday
int hourFromTime(double t);
int minFromTime(double t);
int secFromTime(double t);
int msFromTime(double t);

// Day number of the given date; the month may lie outside 0-11 and carries
// into the year.
double makeDay(double year, double month, double date);
double makeDate(double year, double month, double date, double hours, double minutes,
                double seconds, double ms);

}  // namespace orvet
