#include "script/engine/builtins/DateCalendar.h"

#include <gtest/gtest.h>

#include <cmath>

namespace orvet {
namespace {

TEST(DateCalendar, EpochIsThursdayFirstOfJanuary1970) {
  EXPECT_EQ(yearFromTime(0), 1970);
  EXPECT_EQ(monthFromTime(0), 0);
  EXPECT_EQ(dateFromTime(0), 1);
  EXPECT_EQ(weekDay(0), 4);
}

TEST(DateCalendar, InstantsBeforeTheEpochFloorIntoThePreviousDay) {
  EXPECT_EQ(yearFromTime(-1), 1969);
  EXPECT_EQ(monthFromTime(-1), 11);
  EXPECT_EQ(dateFromTime(-1), 31);
  EXPECT_EQ(weekDay(-1), 3);
  EXPECT_EQ(hourFromTime(-1), 23);
  EXPECT_EQ(minFromTime(-1), 59);
  EXPECT_EQ(secFromTime(-1), 59);
  EXPECT_EQ(msFromTime(-1), 999);
  EXPECT_EQ(timeWithinDay(-1), kMsPerDay - 1);
}

TEST(DateCalendar, LeapYears) {
  EXPECT_EQ(daysInYear(1996), 366);
  EXPECT_EQ(daysInYear(1900), 365);
  EXPECT_EQ(daysInYear(2000), 366);
  EXPECT_EQ(daysInYear(1995), 365);
  EXPECT_EQ(daysInYear(0), 366);
  EXPECT_EQ(daysInYear(-4), 366);
  double feb29 = makeDate(1996, 1, 29, 0, 0, 0, 0);
  EXPECT_EQ(monthFromTime(feb29), 1);
  EXPECT_EQ(dateFromTime(feb29), 29);
  double mar1 = makeDate(1996, 2, 1, 0, 0, 0, 0);
  EXPECT_EQ(mar1 - feb29, kMsPerDay);
  EXPECT_EQ(monthFromTime(makeDate(1900, 2, 1, 0, 0, 0, 0)), 2);
}

TEST(DateCalendar, MakeDateAndBackAgree) {
  double t = makeDate(1995, 11, 25, 13, 30, 15, 250);
  EXPECT_EQ(t, 819898215250.0);
  EXPECT_EQ(yearFromTime(t), 1995);
  EXPECT_EQ(monthFromTime(t), 11);
  EXPECT_EQ(dateFromTime(t), 25);
  EXPECT_EQ(weekDay(t), 1);  // a Monday
  EXPECT_EQ(hourFromTime(t), 13);
  EXPECT_EQ(minFromTime(t), 30);
  EXPECT_EQ(secFromTime(t), 15);
  EXPECT_EQ(msFromTime(t), 250);
}

TEST(DateCalendar, MonthsOutsideTheYearCarry) {
  EXPECT_EQ(makeDay(1995, 12, 1), makeDay(1996, 0, 1));
  EXPECT_EQ(makeDay(1995, -1, 1), makeDay(1994, 11, 1));
  EXPECT_EQ(makeDay(1995, 0, 0), makeDay(1994, 11, 31));
  EXPECT_EQ(makeDay(1995, -13, 1), makeDay(1993, 11, 1));
}

TEST(DateCalendar, YearBoundariesAcrossTheRange) {
  for (double year : {-271821.0, -1.0, 0.0, 1.0, 1600.0, 1969.0, 2000.0, 2100.0, 275759.0}) {
    double start = dayFromYear(year) * kMsPerDay;
    EXPECT_EQ(yearFromTime(start), year);
    EXPECT_EQ(yearFromTime(start - 1), year - 1);
    EXPECT_EQ(monthFromTime(start - 1), 11);
    EXPECT_EQ(dateFromTime(start - 1), 31);
  }
}

TEST(DateCalendar, ValidRange) {
  EXPECT_TRUE(isValidTime(8.64e15));
  EXPECT_TRUE(isValidTime(-8.64e15));
  EXPECT_FALSE(isValidTime(8.64e15 + 1));
  EXPECT_FALSE(isValidTime(NAN));
  EXPECT_FALSE(isValidTime(INFINITY));
  EXPECT_FALSE(isValidTime(makeDate(1970, NAN, 1, 0, 0, 0, 0)));
  EXPECT_FALSE(isValidTime(makeDate(1970, INFINITY, 1, 0, 0, 0, 0)));
  EXPECT_FALSE(isValidTime(makeDate(300000, 0, 1, 0, 0, 0, 0)));
}

}  // namespace
}  // namespace orvet
