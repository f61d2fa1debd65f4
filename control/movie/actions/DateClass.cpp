// Date: a time in milliseconds since 1970 (UTC), read and set in parts with
// the calendar rules of the language's standard. Local time is UTC, so that
// a movie gives the same results on every machine.
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace lumbra::movie {

namespace {

constexpr double kMsPerDay = 86400000;
constexpr double kMaxTime = 8.64e15;

double day(double t) { return std::floor(t / kMsPerDay); }
double daysInYear(double y)
{
    return std::fmod(y, 4) != 0 ? 365 : std::fmod(y, 100) != 0 ? 366 : std::fmod(y, 400) != 0 ? 365 : 366;
}
double dayFromYear(double y)
{
    return 365 * (y - 1970) + std::floor((y - 1969) / 4) - std::floor((y - 1901) / 100) + std::floor((y - 1601) / 400);
}
double yearFromTime(double t)
{
    double y = std::floor(t / (kMsPerDay * 365.2425)) + 1970;
    while (dayFromYear(y) * kMsPerDay > t)
        --y;
    while (dayFromYear(y + 1) * kMsPerDay <= t)
        ++y;
    return y;
}
bool leap(double y) { return daysInYear(y) == 366; }
// First day (within the year) of each month.
double monthStart(int month, bool isLeap)
{
    static const int starts[] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};
    return starts[month] + (isLeap && month >= 2 ? 1 : 0);
}

struct Parts {
    double year, month, date, hours, minutes, seconds, ms, weekday;
};

Parts split(double t)
{
    Parts p{};
    p.year = yearFromTime(t);
    double inYear = day(t) - dayFromYear(p.year);
    int m = 0;
    while (m < 11 && inYear >= monthStart(m + 1, leap(p.year)))
        ++m;
    p.month = m;
    p.date = inYear - monthStart(m, leap(p.year)) + 1;
    double inDay = t - day(t) * kMsPerDay;
    p.hours = std::floor(inDay / 3600000);
    p.minutes = std::fmod(std::floor(inDay / 60000), 60);
    p.seconds = std::fmod(std::floor(inDay / 1000), 60);
    p.ms = std::fmod(inDay, 1000);
    p.weekday = std::fmod(std::fmod(day(t) + 4, 7) + 7, 7);
    return p;
}

double makeTime(double year, double month, double date, double h, double mi, double s, double ms)
{
    if (!std::isfinite(year) || !std::isfinite(month) || !std::isfinite(date) || !std::isfinite(h) ||
        !std::isfinite(mi) || !std::isfinite(s) || !std::isfinite(ms))
        return NAN;
    year = std::trunc(year) + std::floor(std::trunc(month) / 12);
    if (std::fabs(year) > 400000)
        return NAN;
    int m = int(std::fmod(std::fmod(std::trunc(month), 12) + 12, 12));
    double days = dayFromYear(year) + monthStart(m, leap(year)) + std::trunc(date) - 1;
    double t = days * kMsPerDay + std::trunc(h) * 3600000 + std::trunc(mi) * 60000 + std::trunc(s) * 1000 + std::trunc(ms);
    return std::fabs(t) <= kMaxTime ? t : NAN;
}

double now()
{
    using namespace std::chrono;
    return double(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
}

// Years 0 to 99 are those of the 1900s.
double fullYear(double year)
{
    double whole = std::trunc(year);
    return whole >= 0 && whole <= 99 ? whole + 1900 : year;
}

// (year, month[, date, hours, minutes, seconds, ms]) as a time.
double timeFromParts(NativeCall& c)
{
    auto part = [&](std::size_t i, double fallback) { return c.args.size() > i ? c.number(i) : fallback; };
    return makeTime(fullYear(c.number(0)), c.number(1), part(2, 1), part(3, 0), part(4, 0), part(5, 0), part(6, 0));
}

ActionObject* date(NativeCall& c)
{
    ActionObject* o = c.self();
    return o && o->kind == ActionObject::Kind::Date ? o : nullptr;
}

double timeOf(NativeCall& c)
{
    ActionObject* o = date(c);
    return o && o->primitive.isNumber() ? o->primitive.toNumber(7) : NAN;
}

Value construct(NativeCall& c)
{
    if (!c.constructing) {
        NativeCall fresh = c;
        fresh.constructing = true;
        fresh.thisValue = Value(c.machine.heap().make(ActionObject::Kind::Date, c.machine.prototypes().date));
        return construct(fresh);
    }
    ActionObject* o = c.self();
    o->kind = ActionObject::Kind::Date;
    double t;
    if (c.args.empty())
        t = now();
    else if (c.args.size() == 1)
        t = c.number(0);
    else
        t = timeFromParts(c);
    o->primitive = std::fabs(t) <= kMaxTime ? std::trunc(t) : NAN;
    return c.thisValue;
}

template <double Parts::*Field> Value getPart(NativeCall& c)
{
    double t = timeOf(c);
    return std::isnan(t) ? NAN : split(t).*Field;
}

Value getTime(NativeCall& c) { return timeOf(c); }
Value getYear(NativeCall& c)
{
    double t = timeOf(c);
    return std::isnan(t) ? NAN : split(t).year - 1900;
}
Value getTimezoneOffset(NativeCall&) { return 0.0; }

Value setTime(NativeCall& c)
{
    ActionObject* o = date(c);
    if (!o)
        return {};
    double t = c.number(0);
    o->primitive = std::fabs(t) <= kMaxTime ? std::trunc(t) : NAN;
    return o->primitive;
}

// Setters of one part and the parts after it: setHours(h, m, s, ms) and so on.
enum Field { Year, Month, Date, Hours, Minutes, Seconds, Milliseconds };
template <Field First, int Count> Value setParts(NativeCall& c)
{
    ActionObject* o = date(c);
    if (!o)
        return {};
    double t = timeOf(c);
    // An invalid date stays invalid, except that a new year starts it afresh
    // at the first moment of that year.
    if (std::isnan(t)) {
        if (First != Year)
            return NAN;
        t = 0;
    }
    Parts p = split(t);
    double* fields[] = {&p.year, &p.month, &p.date, &p.hours, &p.minutes, &p.seconds, &p.ms};
    for (int i = 0; i < Count && std::size_t(i) < c.args.size(); ++i)
        *fields[First + i] = c.number(std::size_t(i));
    double result = makeTime(p.year, p.month, p.date, p.hours, p.minutes, p.seconds, p.ms);
    o->primitive = result;
    return result;
}

Value setYear(NativeCall& c)
{
    NativeCall call = c;
    Value args[] = {fullYear(c.number(0))};
    call.args = args;
    return setParts<Year, 1>(call);
}

Value utc(NativeCall& c)
{
    return c.args.size() < 2 ? NAN : timeFromParts(c);
}

// "Tue Jan 2 03:04:05 GMT+0000 2001"
Value toString(NativeCall& c)
{
    double t = timeOf(c);
    if (std::isnan(t))
        return u"Invalid Date";
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    Parts p = split(t);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%s %s %d %02d:%02d:%02d GMT+0000 %.0f", days[int(p.weekday)],
                  months[int(p.month)], int(p.date), int(p.hours), int(p.minutes), int(p.seconds), p.year);
    return std::u16string(buffer, buffer + std::char_traits<char>::length(buffer));
}

} // namespace

void installDate(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, m.prototypes().object);
    m.prototypes().date = proto;
    ActionObject* ctor = m.defineClass(u"Date", construct, proto);
    m.method(ctor, u"UTC", utc);
    m.method(proto, u"getTime", getTime);
    m.method(proto, u"valueOf", getTime);
    m.method(proto, u"toString", toString);
    m.method(proto, u"getTimezoneOffset", getTimezoneOffset);
    m.method(proto, u"getYear", getYear);
    m.method(proto, u"getUTCYear", getYear); // local time is UTC
    m.method(proto, u"setTime", setTime);
    m.method(proto, u"setYear", setYear);
    // Local time is UTC: each getter and setter serves both names.
    struct Pair {
        const char16_t* local;
        const char16_t* universal;
        NativeFunction function;
    };
    const Pair getters[] = {
        {u"getFullYear", u"getUTCFullYear", getPart<&Parts::year>},
        {u"getMonth", u"getUTCMonth", getPart<&Parts::month>},
        {u"getDate", u"getUTCDate", getPart<&Parts::date>},
        {u"getDay", u"getUTCDay", getPart<&Parts::weekday>},
        {u"getHours", u"getUTCHours", getPart<&Parts::hours>},
        {u"getMinutes", u"getUTCMinutes", getPart<&Parts::minutes>},
        {u"getSeconds", u"getUTCSeconds", getPart<&Parts::seconds>},
        {u"getMilliseconds", u"getUTCMilliseconds", getPart<&Parts::ms>},
        {u"setFullYear", u"setUTCFullYear", setParts<Year, 3>},
        {u"setMonth", u"setUTCMonth", setParts<Month, 2>},
        {u"setDate", u"setUTCDate", setParts<Date, 1>},
        {u"setHours", u"setUTCHours", setParts<Hours, 4>},
        {u"setMinutes", u"setUTCMinutes", setParts<Minutes, 3>},
        {u"setSeconds", u"setUTCSeconds", setParts<Seconds, 2>},
        {u"setMilliseconds", u"setUTCMilliseconds", setParts<Milliseconds, 1>},
    };
    for (const auto& g : getters) {
        m.method(proto, g.local, g.function);
        m.method(proto, g.universal, g.function);
    }
}

} // namespace lumbra::movie
