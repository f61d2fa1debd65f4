#include "script/engine/builtins/DateClass.h"

#include <cmath>
#include <cstdlib>

#include "script/engine/builtins/DateCalendar.h"
#include "script/engine/builtins/DateClock.h"
#include "tests/strings/ClassHarness.h"

namespace orvet {
namespace {

constexpr double kUtcPlusOne = -60 * kMsPerMinute;

class DateClassTest : public ::testing::Test, protected test::ClassHarness {
 protected:
  void SetUp() override { registerDateClass(ctx, kUtcPlusOne); }

  NativeClass& cls() { return classOf("Date"); }

  ScriptValue make(std::initializer_list<ScriptValue> args) { return construct(cls(), args); }
  ScriptValue on(const ScriptValue& date, std::string_view name,
                 std::initializer_list<ScriptValue> args = {}) {
    return method(cls(), date.native->data, name, args);
  }
  std::int64_t get(const ScriptValue& date, std::string_view name) {
    ScriptValue v = on(date, name);
    EXPECT_EQ(v.kind, ValueKind::Integer) << name;
    return v.integer;
  }
  static std::int64_t utc(double y, double m, double d, double h = 0, double min = 0) {
    return static_cast<std::int64_t>(makeDate(y, m, d, h, min, 0, 0));
  }
};

TEST_F(DateClassTest, EpochIsAThursdayIn1970) {
  ScriptValue d = make({num(0)});
  EXPECT_EQ(get(d, "getUTCFullYear"), 1970);
  EXPECT_EQ(get(d, "getUTCDay"), 4);
  EXPECT_EQ(get(d, "getTime"), 0);
  EXPECT_EQ(get(d, "getHours"), 1);  // local time is an hour ahead
}

TEST_F(DateClassTest, ParsedTexts) {
  EXPECT_EQ(get(make({str(u"Dec 25, 1995 13:30:00 GMT+0100")}), "getTime"), utc(1995, 11, 25, 12, 30));
  EXPECT_EQ(get(make({str(u"12/25/1995")}), "getTime"), utc(1995, 11, 24, 23));
  const double before = currentTimeValue();
  const std::int64_t t = get(make({str(u"1995")}), "getTime");
  EXPECT_GE(t, static_cast<std::int64_t>(before));
  EXPECT_LE(t, static_cast<std::int64_t>(currentTimeValue()));
}

TEST_F(DateClassTest, ConstructorFieldsAreLocalTime) {
  ScriptValue d = make({num(1995), num(11), num(25), num(13), num(30)});
  EXPECT_EQ(get(d, "getTime"), utc(1995, 11, 25, 12, 30));
  EXPECT_EQ(get(make({num(1995), num(11)}), "getTime"), utc(1995, 11, 1) - 3600000);
  EXPECT_EQ(get(make({num(95), num(0)}), "getFullYear"), 95);  // years are not mapped
}

TEST_F(DateClassTest, OutOfRangeValuesBecomeZero) {
  EXPECT_EQ(get(make({real(9e15)}), "getTime"), 0);
  EXPECT_EQ(get(make({real(NAN)}), "getTime"), 0);
  EXPECT_EQ(get(make({num(300000), num(0)}), "getTime"), -3600000);  // 0 plus the zone
  EXPECT_EQ(method(cls(), nullptr, "UTC", {num(300000)}).integer, 0);
}

TEST_F(DateClassTest, TextFormsAtUtcPlusOne) {
  ScriptValue d = make({num(1995), num(11), num(25), num(13), num(30)});
  EXPECT_EQ(text(on(d, "toString")), u"Mon Dec 25 13:30:00 GMT+100 1995");
  EXPECT_EQ(text(on(d, "toLocaleString")), u"Mon Dec 25 13:30:00 GMT+100 1995");
  EXPECT_EQ(text(on(d, "toGMTString")), u"Mon, 25 Dec 1995 12:30:00 GMT");
  EXPECT_EQ(get(d, "getTimezoneOffset"), -60);
}

TEST_F(DateClassTest, YearsBeforeChrist) {
  ScriptValue d = make({num(-1), num(5), num(1)});
  EXPECT_EQ(text(on(d, "toString")), u"Tue Jun 01 00:00:00 GMT+100 0002 B.C.");
  EXPECT_EQ(get(d, "getFullYear"), -1);
}

TEST_F(DateClassTest, YearAndShortYear) {
  ScriptValue d = make({num(2005), num(6), num(4)});
  EXPECT_EQ(get(d, "getYear"), 2005);
  on(d, "setYear", {num(95)});
  EXPECT_EQ(get(d, "getFullYear"), 1995);
  EXPECT_EQ(get(d, "getMonth"), 6);
  EXPECT_EQ(get(d, "getDate"), 4);
  on(d, "setYear", {num(1999)});
  EXPECT_EQ(get(d, "getYear"), 99);
  on(d, "setYear", {real(100.7)});
  EXPECT_EQ(get(d, "getYear"), 100);
}

TEST_F(DateClassTest, SettersReplaceFieldsAndKeepTheRest) {
  ScriptValue d = make({num(1995), num(11), num(25), num(13), num(30)});
  EXPECT_EQ(on(d, "setHours", {num(8), num(5)}).integer, utc(1995, 11, 25, 7, 5));
  EXPECT_EQ(on(d, "setMonth", {num(0), real(2.9)}).integer, utc(1995, 0, 2, 7, 5));
  EXPECT_EQ(on(d, "setUTCHours", {num(23)}).integer, utc(1995, 0, 2, 23, 5));
  EXPECT_EQ(get(d, "getDate"), 3);  // local time passed midnight
  on(d, "setUTCFullYear", {num(2000), num(1), num(29)});
  EXPECT_EQ(get(d, "getUTCMonth"), 1);
  EXPECT_EQ(get(d, "getUTCDate"), 29);
  on(d, "setMilliseconds", {num(1234)});
  EXPECT_EQ(get(d, "getMilliseconds"), 234);
  EXPECT_EQ(get(d, "getUTCSeconds"), 1);
  EXPECT_EQ(get(d, "getMonth"), 2);  // 23:05 UTC on 29 February is 1 March locally
  on(d, "setDate", {num(0)});
  EXPECT_EQ(get(d, "getMonth"), 1);
  EXPECT_EQ(get(d, "getDate"), 29);
  on(d, "setSeconds", {num(5), str(u"x")});  // a later argument of another kind is missing
  EXPECT_EQ(get(d, "getSeconds"), 5);
  EXPECT_EQ(get(d, "getMilliseconds"), 234);
}

TEST_F(DateClassTest, SettersWithWrongArgumentsLeaveTheDate) {
  ScriptValue d = make({num(1000)});
  EXPECT_EQ(on(d, "setMonth", {str(u"3")}).integer, 1000);
  EXPECT_EQ(on(d, "setHours").integer, 1000);
  EXPECT_EQ(on(d, "setTime", {ScriptValue::null()}).integer, 1000);
  EXPECT_EQ(on(d, "setUTCFullYear", {num(300000)}).integer, 1000);  // out of range
  EXPECT_EQ(on(d, "setTime", {real(9e15)}).integer, 1000);
  EXPECT_EQ(on(d, "setTime", {num(-5)}).integer, -5);
  EXPECT_EQ(get(d, "getUTCMilliseconds"), 995);
  EXPECT_EQ(on(d, "setUTCMinutes", {real(INFINITY)}).integer, -5);
}

TEST_F(DateClassTest, ClassObjectMethods) {
  EXPECT_EQ(method(cls(), nullptr, "UTC", {num(1995), num(11), num(25)}).integer, utc(1995, 11, 25));
  EXPECT_EQ(method(cls(), nullptr, "UTC").integer, 0);
  EXPECT_EQ(method(cls(), nullptr, "parse", {str(u"Dec 25 1995 GMT")}).integer, utc(1995, 11, 25));
  EXPECT_EQ(method(cls(), nullptr, "parse").integer, 0);
  EXPECT_EQ(text(method(cls(), nullptr, "toString")), u"[object Date]");
  EXPECT_TRUE(declines(cls(), nullptr, "getTime"));
  EXPECT_TRUE(declines(cls(), make({num(0)}).native->data, "toUTCString"));
  EXPECT_EQ(on(make({num(0)}), "parse", {num(7)}).integer, 7);
}

TEST_F(DateClassTest, CalledAsAFunctionGivesTheTimeAsText) {
  std::u16string now = text(callClass(cls(), {}));
  EXPECT_NE(now.find(u" GMT+100 "), std::u16string::npos);
}

TEST(DateClassZone, SystemZoneAtRegistration) {
#ifdef _WIN32
  const char* tz = std::getenv("TZ");
  if (!tz || std::string(tz) != "CET-1") GTEST_SKIP() << "run with TZ=CET-1";
#else
  setenv("TZ", "CET-1", 1);
#endif
  test::ClassHarness h;
  registerDateClass(h.ctx);
  NativeClass& cls = h.classOf("Date");
  ScriptValue d = h.construct(cls, {test::ClassHarness::num(0)});
  EXPECT_EQ(h.method(cls, d.native->data, "getTimezoneOffset").integer, -60);
  EXPECT_EQ(test::ClassHarness::text(h.method(cls, d.native->data, "toString")),
            u"Thu Jan 01 01:00:00 GMT+100 1970");
}

}  // namespace
}  // namespace orvet
