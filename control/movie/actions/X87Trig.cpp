#include "control/movie/actions/X87Trig.h"

#include <cmath>

namespace lumbra::movie {

#if (defined(__i386__) || defined(__x86_64__)) && defined(__GNUC__)

namespace {

// The unit refuses arguments of 2^63 and beyond (it leaves them in place);
// they are first brought within one turn by the partial remainder of 2*pi,
// as the unit's manual advises, repeated while the remainder is partial.
long double withinReach(double x)
{
    long double value = x;
    if (std::fabs(x) < 0x1p63)
        return value;
    long double turn = 0;
    __asm__("fldpi\n\tfadd %%st(0), %%st(0)" : "=t"(turn));
    unsigned short status = 0;
    do {
        __asm__("fprem1\n\tfnstsw %%ax" : "+t"(value), "=a"(status) : "u"(turn));
    } while (status & 0x0400); // C2: the reduction is incomplete
    return value;
}

} // namespace

double x87Sin(double x)
{
    if (!std::isfinite(x))
        return NAN;
    long double value = withinReach(x);
    __asm__("fsin" : "+t"(value));
    return double(value);
}

double x87Cos(double x)
{
    if (!std::isfinite(x))
        return NAN;
    long double value = withinReach(x);
    __asm__("fcos" : "+t"(value));
    return double(value);
}

double x87Tan(double x)
{
    if (!std::isfinite(x))
        return NAN;
    long double one = 0, value = 0;
    // fptan leaves the tangent below a pushed 1.
    __asm__("fptan" : "=t"(one), "=u"(value) : "0"(withinReach(x)));
    return double(value);
}

#else

double x87Sin(double x) { return std::sin(x); }
double x87Cos(double x) { return std::cos(x); }
double x87Tan(double x) { return std::tan(x); }

#endif

} // namespace lumbra::movie
