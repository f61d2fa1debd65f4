// flash.geom.ColorTransform: each channel becomes channel * multiplier +
// offset (offsets in 0..255 units). The eight terms are ordinary members;
// rgb reads the offsets as one colour and, when set, makes the colour solid.
#include "control/movie/actions/Accessors.h"
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/GeometryValues.h"
#include "control/movie/actions/Packages.h"

#include <cmath>
#include <cstdint>

namespace lumbra::movie {

namespace {

constexpr const char16_t* kNames[] = {u"redMultiplier", u"greenMultiplier", u"blueMultiplier", u"alphaMultiplier",
                                      u"redOffset",     u"greenOffset",     u"blueOffset",     u"alphaOffset"};

ColorTransform self(NativeCall& c) { return colorTransformFrom(c.machine, c.thisValue).value_or(ColorTransform{}); }

void store(NativeCall& c, const ColorTransform& x)
{
    const double values[] = {x.rMult, x.gMult, x.bMult, x.aMult, x.rAdd, x.gAdd, x.bAdd, x.aAdd};
    for (std::size_t i = 0; i < 8; ++i)
        c.machine.set(c.thisValue, kNames[i], values[i]);
}

// Absent terms leave the channel as it is.
Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    for (std::size_t i = 0; i < 8; ++i)
        c.machine.set(c.thisValue, kNames[i], i < c.args.size() ? c.number(i) : i < 4 ? 1.0 : 0.0);
    return {};
}

int offsetByte(double offset) { return std::isfinite(offset) ? int(offset) & 0xFF : 0; }

Value rgb(NativeCall& c)
{
    ColorTransform x = self(c);
    return double(offsetByte(x.rAdd) << 16 | offsetByte(x.gAdd) << 8 | offsetByte(x.bAdd));
}

Value setRgb(NativeCall& c)
{
    auto color = std::uint32_t(c.machine.toInt32(c.arg(0)));
    ColorTransform x = self(c);
    x.rMult = x.gMult = x.bMult = 0;
    x.rAdd = (color >> 16) & 0xFF;
    x.gAdd = (color >> 8) & 0xFF;
    x.bAdd = color & 0xFF;
    store(c, x);
    return {};
}

// concat(second): this transform after the second.
Value concat(NativeCall& c)
{
    if (auto second = colorTransformFrom(c.machine, c.arg(0)))
        store(c, self(c) * *second);
    return {};
}

Value toString(NativeCall& c) { return membersText(c.machine, c.thisValue, kNames); }

} // namespace

void installColorTransform(Machine& m)
{
    ActionObject* proto = m.newObject();
    packageObject(m, u"flash.geom")->set(u"ColorTransform", Value(m.newFunction(construct, proto)));
    defineAccessor(m, proto, u"rgb", rgb, setRgb);
    m.method(proto, u"concat", concat);
    m.method(proto, u"toString", toString);
}

} // namespace lumbra::movie
