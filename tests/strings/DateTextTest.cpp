#include "script/engine/builtins/DateCalendar.h"
#include "script/engine/builtins/DateFormat.h"
#include "script/engine/builtins/DateParse.h"

#include <gtest/gtest.h>

namespace orvet {
namespace {

constexpr double kCentralEurope = -60 * kMsPerMinute;  // UTC+1
constexpr double kEastern = 300 * kMsPerMinute;        // UTC-5

double utc(double y, double m, double d, double h = 0, double min = 0, double s = 0) {
  return makeDate(y, m, d, h, min, s, 0);
}

std::optional<double> parse(std::string_view text, double tza = kCentralEurope) {
  return parseDateText(text, tza);
}

TEST(DateParse, ExplicitZoneOffset) {
  EXPECT_EQ(parse("Dec 25, 1995 13:30:00 GMT+0100"), utc(1995, 11, 25, 12, 30));
  EXPECT_EQ(parse("Dec 25, 1995 13:30:00 GMT-0430"), utc(1995, 11, 25, 18, 0));
  EXPECT_EQ(parse("Dec 25, 1995 13:30:00 GMT+2"), utc(1995, 11, 25, 11, 30));
  EXPECT_EQ(parse("Dec 25, 1995 13:30 GMT+1 30"), utc(1995, 11, 25, 12, 0));
}

TEST(DateParse, WithoutZoneTheTextIsLocalTime) {
  EXPECT_EQ(parse("12/25/1995"), utc(1995, 11, 24, 23));
  EXPECT_EQ(parse("12/25/1995", kEastern), utc(1995, 11, 25, 5));
  EXPECT_EQ(parse("Mon, 25 Dec 1995 13:30:00"), utc(1995, 11, 25, 12, 30));
}

TEST(DateParse, NamedZones) {
  EXPECT_EQ(parse("25 Dec 1995 13:30 UTC"), utc(1995, 11, 25, 13, 30));
  EXPECT_EQ(parse("25 Dec 1995 13:30 ut"), utc(1995, 11, 25, 13, 30));
  EXPECT_EQ(parse("25 Dec 1995 13:30 EST"), utc(1995, 11, 25, 18, 30));
  EXPECT_EQ(parse("25 Dec 1995 13:30 PDT"), utc(1995, 11, 25, 20, 30));
  EXPECT_EQ(parse("25 Dec 1995 13:30 cdt"), utc(1995, 11, 25, 18, 30));
}

TEST(DateParse, TwoDigitYearsAndSlashForms) {
  EXPECT_EQ(parse("12/25/95 GMT"), utc(1995, 11, 25));
  EXPECT_EQ(parse("1/2/05 GMT"), utc(1905, 0, 2));  // no mapping to 2005
  EXPECT_EQ(parse("Dec 25 70 GMT"), utc(1970, 11, 25));
  EXPECT_EQ(parse("Dec 25 2001 GMT"), utc(2001, 11, 25));
}

TEST(DateParse, AmAndPm) {
  EXPECT_EQ(parse("12/25/1995 1:30 pm GMT"), utc(1995, 11, 25, 13, 30));
  EXPECT_EQ(parse("12/25/1995 12:30 pm GMT"), utc(1995, 11, 25, 12, 30));
  EXPECT_EQ(parse("12/25/1995 12:30 AM GMT"), utc(1995, 11, 25, 0, 30));
  EXPECT_FALSE(parse("12/25/1995 13:30 pm"));
  EXPECT_FALSE(parse("12/25/1995 pm"));
}

TEST(DateParse, WordsArePrefixesTakenFromTheEndOfTheTable) {
  EXPECT_EQ(parse("ma 3 1995 GMT"), utc(1995, 4, 3));   // may, not march
  EXPECT_EQ(parse("mar 3 1995 GMT"), utc(1995, 2, 3));
  EXPECT_EQ(parse("JANUARY 3 1995 GMT"), utc(1995, 0, 3));
  EXPECT_EQ(parse("Tuesday, 3 Jan 1995 GMT"), utc(1995, 0, 3));
  EXPECT_FALSE(parse("m 3 1995"));         // a word of one letter
  EXPECT_FALSE(parse("Decembers 3 1995"));  // longer than any entry
  EXPECT_FALSE(parse("Jan Feb 3 1995"));    // a second month
  EXPECT_FALSE(parse("Jan 3 1995 x"));
}

TEST(DateParse, CommentsAndSkippedBytes) {
  EXPECT_EQ(parse("Dec (Christmas (day)) 25 1995 GMT"), utc(1995, 11, 25));
  EXPECT_EQ(parse("Dec\t25,\xE9 1995 GMT"), utc(1995, 11, 25));
  EXPECT_EQ(parse("Dec 25 1995 GMT (unterminated"), utc(1995, 11, 25));
}

TEST(DateParse, IncompleteOrContradictoryTextsFail) {
  EXPECT_FALSE(parse("1995"));
  EXPECT_FALSE(parse(""));
  EXPECT_FALSE(parse("Dec 1995"));
  EXPECT_FALSE(parse("Dec 25 1995 1996"));
  EXPECT_FALSE(parse("1:2:3:4 Dec 25 1995"));
  EXPECT_FALSE(parse("Dec 25 1995x"));
  EXPECT_FALSE(parse("Dec 25 26 1995"));
  EXPECT_FALSE(parse("Dec 25 1995 GMT+0100 +0200"));
  EXPECT_FALSE(parse("hello"));
  EXPECT_FALSE(parse("Dec 25 1995 ."));
}

TEST(DateParse, HugeNumbersDoNotOverflow) {
  auto t = parse("Dec 25 99999999999999999999999 GMT");
  ASSERT_TRUE(t);
  EXPECT_FALSE(isValidTime(*t));
}

TEST(DateParse, SmallOffsetsAreHours) {
  EXPECT_EQ(parse("Dec 25 1995 GMT+0001"), utc(1995, 11, 24, 23));
  EXPECT_EQ(parse("Dec 25 1995 GMT+0 1"), utc(1995, 11, 25, 0, 1));
}

TEST(DateFormat, LocalFormAtUtcPlusOne) {
  double t = utc(1995, 11, 25, 12, 30);
  EXPECT_EQ(formatLocalDate(t, kCentralEurope), u"Mon Dec 25 13:30:00 GMT+100 1995");
  EXPECT_EQ(formatUtcDate(t), u"Mon, 25 Dec 1995 12:30:00 GMT");
}

TEST(DateFormat, ZoneNumbers) {
  EXPECT_EQ(formatLocalDate(0, 0), u"Thu Jan 01 00:00:00 GMT+000 1970");
  EXPECT_EQ(formatLocalDate(0, kEastern), u"Wed Dec 31 19:00:00 GMT-500 1969");
  EXPECT_EQ(formatLocalDate(0, -330 * kMsPerMinute), u"Thu Jan 01 05:30:00 GMT+530 1970");
}

TEST(DateFormat, YearsBeforeChrist) {
  double t = utc(-1, 5, 1, 8, 5, 9);
  EXPECT_EQ(formatUtcDate(t), u"Tue, 01 Jun 0002 08:05:09 GMT B.C.");
  EXPECT_EQ(formatLocalDate(t, 0), u"Tue Jun 01 08:05:09 GMT+000 0002 B.C.");
  EXPECT_EQ(formatUtcDate(utc(0, 0, 1)), u"Sat, 01 Jan 0001 00:00:00 GMT B.C.");
}

TEST(DateFormat, RangeLimits) {
  EXPECT_EQ(formatUtcDate(8.64e15), u"Sat, 13 Sep 275760 00:00:00 GMT");
  EXPECT_EQ(formatUtcDate(-8.64e15), u"Tue, 20 Apr 271822 00:00:00 GMT B.C.");
}

}  // namespace
}  // namespace orvet
