#include "script/engine/builtins/DateClock.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "script/engine/builtins/DateCalendar.h"

namespace orvet {
namespace {

TEST(DateClock, CurrentTimeIsAfterThisCodeWasWritten) {
  double now = currentTimeValue();
  EXPECT_GT(now, makeDate(2024, 0, 1, 0, 0, 0, 0));
  EXPECT_TRUE(isValidTime(now));
}

// The zone comes from the system: natively TZ is set here; a Windows build
// reads the zone the test runner gives the process (TZ=CET-1 under Wine).
TEST(DateClock, ZoneWithoutDaylightSavingAtUtcPlusOne) {
#ifdef _WIN32
  const char* tz = std::getenv("TZ");
  if (!tz || std::string(tz) != "CET-1") GTEST_SKIP() << "run with TZ=CET-1";
#else
  const char* old = std::getenv("TZ");
  std::string saved = old ? old : "";
  setenv("TZ", "CET-1", 1);
#endif
  EXPECT_EQ(systemLocalTimeAdjustment(), -60 * kMsPerMinute);
#ifndef _WIN32
  setenv("TZ", "EST5", 1);
  EXPECT_EQ(systemLocalTimeAdjustment(), 300 * kMsPerMinute);
  if (old) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
#endif
}

}  // namespace
}  // namespace orvet
