// Date: constructor forms, the calendar (leap years, days before 1970),
// getters, setters that roll over or take NaN, Date.UTC and the text form.
// Local time is UTC, so every expected text is independent of the machine.
#include "ScriptPhrases.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

using namespace phrase;

Expr Utc(std::vector<Expr> parts) { return Method(Var("Date"), "UTC", std::move(parts)); }

TEST(BuiltinDates, ConstructorsCalendarAndText)
{
    Asm a;
    assign(a, "d", New("Date", {Utc({N(2001), N(0), N(2), N(3), N(4), N(5), N(6)})}));
    for (const char* getter : {"toString", "getMilliseconds", "getDay", "getUTCHours", "getYear", "getTimezoneOffset",
                               "getTime"})
        trace(a, Method(Var("d"), getter));
    trace(a, New("Date", {N(2026), N(11), N(7), N(18)}));
    trace(a, Method(New("Date", {N(99), N(0), N(1)}), "getFullYear"));
    trace(a, New("Date", {N(0)}));
    trace(a, New("Date", {N(-1)}));
    trace(a, Method(New("Date", {N(2000), N(1), N(29)}), "getDate"));
    trace(a, Method(New("Date", {N(1900), N(1), N(29)}), "getMonth"));
    trace(a, Method(New("Date", {N(2001), N(1), N(29)}), "getDate"));
    trace(a, Method(New("Date", {N(1.9)}), "getTime"));
    trace(a, New("Date", {N(8.64e15 + 1)}));
    trace(a, Method(New("Date", {N(8.64e15 + 1)}), "getDate"));
    trace(a, Call("isNaN", {Method(New("Date"), "getTime")}));
    trace(a, Utc({N(2000), N(0)}));
    trace(a, Utc({N(70), N(0)}));
    trace(a, Utc({N(2000)}));
    EXPECT_EQ(run(a), lines({"Tue Jan 2 03:04:05 GMT+0000 2001", "6", "2", "3", "101", "0", "978404645006",
                             "Mon Dec 7 18:00:00 GMT+0000 2026", "1999", "Thu Jan 1 00:00:00 GMT+0000 1970",
                             "Wed Dec 31 23:59:59 GMT+0000 1969", "29", "2", "1", "1", "Invalid Date", "NaN", "false",
                             "946684800000", "0", "NaN"}));
}

TEST(BuiltinDates, SettersRollOverAndInvalidDates)
{
    Asm a;
    assign(a, "d", New("Date", {N(2001), N(0), N(31)}));
    discard(a, Method(Var("d"), "setMonth", {N(13)})); // Feb 31 of 2002: March 3
    trace(a, Var("d"));
    trace(a, Method(Var("d"), "setDate", {N(0)})); // the last day of February
    trace(a, Var("d"));
    discard(a, Method(Var("d"), "setHours", {N(25), N(-1)}));
    trace(a, Var("d"));
    discard(a, Method(Var("d"), "setUTCSeconds", {N(61), N(1500)}));
    trace(a, Var("d"));
    discard(a, Method(Var("d"), "setYear", {N(95)}));
    trace(a, Method(Var("d"), "getFullYear"));
    trace(a, Method(Var("d"), "setHours", {Div(N(0), N(0))}));
    trace(a, Method(Var("d"), "getHours"));
    trace(a, Method(Var("d"), "setMonth", {N(1)}));
    discard(a, Method(Var("d"), "setFullYear", {N(2000)}));
    trace(a, Var("d"));
    trace(a, Method(Var("d"), "setTime", {N(86400000)}));
    trace(a, Var("d"));
    EXPECT_EQ(run(a), lines({"Sun Mar 3 00:00:00 GMT+0000 2002", "1014854400000", "Thu Feb 28 00:00:00 GMT+0000 2002",
                             "Fri Mar 1 00:59:00 GMT+0000 2002", "Fri Mar 1 01:00:02 GMT+0000 2002", "1995", "NaN",
                             "NaN", "NaN", "Sat Jan 1 00:00:00 GMT+0000 2000", "86400000",
                             "Fri Jan 2 00:00:00 GMT+0000 1970"}));
}

} // namespace
} // namespace lumbra::movie::test
