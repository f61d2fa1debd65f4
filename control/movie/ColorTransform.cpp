#include "control/movie/ColorTransform.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

unsigned channel(unsigned value, double mult, double add)
{
    double v = value * mult + add;
    if (!(v > 0)) // NaN included
        return 0;
    return unsigned(std::lround(std::min(v, 255.0)));
}

} // namespace

Argb ColorTransform::apply(Argb c) const
{
    return argb(channel(alphaOf(c), aMult, aAdd), channel(redOf(c), rMult, rAdd),
                channel(greenOf(c), gMult, gAdd), channel(blueOf(c), bMult, bAdd));
}

ColorTransform ColorTransform::operator*(const ColorTransform& inner) const
{
    return {rMult * inner.rMult, gMult * inner.gMult, bMult * inner.bMult, aMult * inner.aMult,
            rMult * inner.rAdd + rAdd, gMult * inner.gAdd + gAdd, bMult * inner.bAdd + bAdd,
            aMult * inner.aAdd + aAdd};
}

} // namespace lumbra::movie
