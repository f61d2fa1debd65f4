// Color (version 5 on): the colour transform of one clip or button, in the
// units of the authoring tool's advanced colour panel: multipliers in
// percent (ra, ga, ba, aa) and offsets (rb, gb, bb, ab). The target, a clip or
// a path, is found again at every call, so a Color of a clip that has left
// the stage does nothing and one made from a path follows whatever the path
// names now.
#include "control/movie/Playback.h"
#include "control/movie/Properties.h"
#include "control/movie/actions/Construction.h"

#include <cmath>

namespace lumbra::movie {

namespace {

// The members of a transform object, multiplier and offset of each channel.
constexpr const char16_t* kTerms[] = {u"ra", u"rb", u"ga", u"gb", u"ba", u"bb", u"aa", u"ab"};

// Whether every ancestor still holds the object: a removed clip that a
// script still refers to is no longer drawn, and colouring it would be lost.
bool onStage(Playback& playback, DisplayObject& object)
{
    DisplayObject* o = &object;
    for (; o->parent(); o = o->parent()) {
        auto it = o->parent()->children().find(o->depth);
        if (it == o->parent()->children().end() || it->second.get() != o)
            return false;
    }
    return playback.level(o->level).get() == o;
}

// The object the Color stands for now; the constructor keeps its argument as
// the Color's primitive.
std::shared_ptr<DisplayObject> target(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self)
        return nullptr;
    Playback& playback = c.machine.playback();
    const Value& named = self->primitive;
    std::shared_ptr<DisplayObject> object;
    if (named.isString())
        object = playback.resolveTarget(c.clip ? *c.clip : playback.root(), named.toString());
    else
        object = named.toClip();
    return object && onStage(playback, *object) ? object : nullptr;
}

// Offsets are whole numbers in 16 bits, as the file keeps them.
double offsetTerm(double n)
{
    return std::isfinite(n) ? std::trunc(std::clamp(n, -32768.0, 32767.0)) : 0;
}

void changed(NativeCall& c, DisplayObject& object)
{
    object.scriptTransformed = true;
    c.machine.playback().dirty = true;
}

Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    Value named = c.arg(0);
    c.self()->primitive = named.isString() || named.toClip() ? named : Value();
    return {};
}

// setRGB(0xRRGGBB): the colour replaces the channels; alpha stays.
Value setRgb(NativeCall& c)
{
    auto object = target(c);
    if (!object || c.args.empty())
        return {};
    auto rgb = std::uint32_t(c.machine.toInt32(c.arg(0)));
    ColorTransform& x = object->colorTransform;
    x.rMult = x.gMult = x.bMult = 0;
    x.rAdd = (rgb >> 16) & 0xFF;
    x.gAdd = (rgb >> 8) & 0xFF;
    x.bAdd = rgb & 0xFF;
    changed(c, *object);
    return {};
}

// The offsets as one colour: what setRGB set.
Value getRgb(NativeCall& c)
{
    auto object = target(c);
    if (!object)
        return {};
    const ColorTransform& x = object->colorTransform;
    auto byte = [](double offset) { return std::uint32_t(std::int32_t(offset)) & 0xFF; };
    return double(byte(x.rAdd) << 16 | byte(x.gAdd) << 8 | byte(x.bAdd));
}

// A new object with the eight terms, multipliers in percent.
Value getTransform(NativeCall& c)
{
    auto object = target(c);
    if (!object)
        return {};
    const ColorTransform& x = object->colorTransform;
    const double values[] = {x.rMult * 100, x.rAdd, x.gMult * 100, x.gAdd,
                             x.bMult * 100, x.bAdd, x.aMult * 100, x.aAdd};
    ActionObject* out = c.machine.newObject();
    for (std::size_t i = 0; i < std::size(kTerms); ++i)
        out->set(kTerms[i], values[i]);
    return Value(out);
}

// setTransform(object): the terms the object has change; the others stay.
Value setTransform(NativeCall& c)
{
    auto object = target(c);
    Value from = c.arg(0);
    if (!object || !from.isReference())
        return {};
    ColorTransform& x = object->colorTransform;
    double* multipliers[] = {&x.rMult, &x.gMult, &x.bMult, &x.aMult};
    double* offsets[] = {&x.rAdd, &x.gAdd, &x.bAdd, &x.aAdd};
    for (std::size_t channel = 0; channel < 4; ++channel) {
        if (c.machine.has(from, kTerms[2 * channel]))
            *multipliers[channel] = multiplierFromPercent(c.machine.toNumber(c.machine.get(from, kTerms[2 * channel])));
        if (c.machine.has(from, kTerms[2 * channel + 1]))
            *offsets[channel] = offsetTerm(c.machine.toNumber(c.machine.get(from, kTerms[2 * channel + 1])));
    }
    changed(c, *object);
    return {};
}

} // namespace

void installColor(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.global()->set(u"Color", Value(m.newFunction(construct, proto)), DontEnum);
    m.method(proto, u"setRGB", setRgb);
    m.method(proto, u"getRGB", getRgb);
    m.method(proto, u"setTransform", setTransform);
    m.method(proto, u"getTransform", getTransform);
}

} // namespace lumbra::movie
