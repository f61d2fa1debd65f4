// Per-channel colour change of a placed object: c' = c * mult + add, clamped.
#pragma once

#include "control/movie/Color.h"

namespace lumbra::movie {

struct ColorTransform {
    double rMult = 1, gMult = 1, bMult = 1, aMult = 1;
    double rAdd = 0, gAdd = 0, bAdd = 0, aAdd = 0;

    Argb apply(Argb c) const;
    bool isIdentity() const
    {
        return rMult == 1 && gMult == 1 && bMult == 1 && aMult == 1 && rAdd == 0 && gAdd == 0 && bAdd == 0 && aAdd == 0;
    }
    // this after inner.
    ColorTransform operator*(const ColorTransform& inner) const;
};

} // namespace lumbra::movie
