// Math: its constants and functions on numbers.
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/X87Trig.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace lumbra::movie {

namespace {

template <double (*F)(double)> Value unary(NativeCall& c) { return F(c.number(0)); }

double absolute(double x) { return std::fabs(x); }
double ceiling(double x) { return std::ceil(x); }
double floor(double x) { return std::floor(x); }
// Halves go up: round(-2.5) is -2.
double round(double x) { return std::floor(x + 0.5); }

Value atan2(NativeCall& c) { return std::atan2(c.number(0), c.number(1)); }
Value pow(NativeCall& c) { return std::pow(c.number(0), c.number(1)); }

// max and min compare their first two arguments only; with one they give
// NaN, with none the infinity that loses every comparison.
template <bool Greatest> Value extreme(NativeCall& c)
{
    if (c.args.empty())
        return Greatest ? -INFINITY : INFINITY;
    if (c.args.size() < 2)
        return NAN;
    double x = c.number(0), y = c.number(1);
    if (std::isnan(x) || std::isnan(y))
        return NAN;
    return Greatest ? std::max(x, y) : std::min(x, y);
}

Value random(NativeCall& c) { return c.machine.playback().random(2147483647.0) / 2147483647.0; }

} // namespace

void installMath(Machine& m)
{
    ActionObject* math = m.newObject();
    m.global()->set(u"Math", Value(math), DontEnum);
    const std::pair<const char16_t*, double> constants[] = {
        {u"E", std::numbers::e}, {u"LN10", std::numbers::ln10}, {u"LN2", std::numbers::ln2},
        {u"LOG10E", std::numbers::log10e}, {u"LOG2E", std::numbers::log2e}, {u"PI", std::numbers::pi},
        {u"SQRT1_2", std::numbers::sqrt2 / 2}, {u"SQRT2", std::numbers::sqrt2}};
    for (auto [name, value] : constants)
        math->set(name, value, DontEnum | DontDelete | ReadOnly);
    m.method(math, u"abs", unary<absolute>);
    m.method(math, u"acos", unary<static_cast<double (*)(double)>(std::acos)>);
    m.method(math, u"asin", unary<static_cast<double (*)(double)>(std::asin)>);
    m.method(math, u"atan", unary<static_cast<double (*)(double)>(std::atan)>);
    m.method(math, u"ceil", unary<ceiling>);
    m.method(math, u"cos", unary<x87Cos>);
    m.method(math, u"exp", unary<static_cast<double (*)(double)>(std::exp)>);
    m.method(math, u"floor", unary<floor>);
    m.method(math, u"log", unary<static_cast<double (*)(double)>(std::log)>);
    m.method(math, u"round", unary<round>);
    m.method(math, u"sin", unary<x87Sin>);
    m.method(math, u"sqrt", unary<static_cast<double (*)(double)>(std::sqrt)>);
    m.method(math, u"tan", unary<x87Tan>);
    m.method(math, u"atan2", atan2);
    m.method(math, u"pow", pow);
    m.method(math, u"max", extreme<true>);
    m.method(math, u"min", extreme<false>);
    m.method(math, u"random", random);
}

} // namespace lumbra::movie
