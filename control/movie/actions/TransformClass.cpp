// flash.geom.Transform: the matrix and colour transform of one clip, read as
// fresh copies and, when set, applied to the clip. clip.transform answers a
// new Transform of the clip and, when set, takes over another's matrix and
// colour transform.
#include "control/movie/Bounds.h"
#include "control/movie/Playback.h"
#include "control/movie/actions/Accessors.h"
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/GeometryValues.h"
#include "control/movie/actions/Packages.h"

#include <cmath>

namespace lumbra::movie {

namespace {

// The clip a Transform stands for: the constructor keeps it as the object's primitive.
std::shared_ptr<DisplayObject> target(NativeCall& c)
{
    ActionObject* self = c.self();
    return self ? self->primitive.toClip() : nullptr;
}

Matrix toPixels(Matrix m)
{
    m.tx /= kTwips;
    m.ty /= kTwips;
    return m;
}

bool finite(const Matrix& m)
{
    return std::isfinite(m.a) && std::isfinite(m.b) && std::isfinite(m.c) && std::isfinite(m.d) &&
           std::isfinite(m.tx) && std::isfinite(m.ty);
}

bool finite(const ColorTransform& x)
{
    for (double v : {x.rMult, x.gMult, x.bMult, x.aMult, x.rAdd, x.gAdd, x.bAdd, x.aAdd})
        if (!std::isfinite(v))
            return false;
    return true;
}

// Positions are whole twips, as _x and _y keep them; the timeline no longer moves the clip.
void setMatrix(Machine& m, DisplayObject& clip, const Value& value)
{
    auto matrix = matrixFrom(m, value);
    if (!matrix || !finite(*matrix))
        return;
    matrix->tx = std::trunc(std::clamp(matrix->tx * kTwips, -1e9, 1e9));
    matrix->ty = std::trunc(std::clamp(matrix->ty * kTwips, -1e9, 1e9));
    clip.matrix = *matrix;
    clip.scriptScale.reset();
    clip.scriptTransformed = true;
    m.playback().dirty = true;
}

void setColorTransform(Machine& m, DisplayObject& clip, const Value& value)
{
    auto cx = colorTransformFrom(m, value);
    if (!cx || !finite(*cx))
        return;
    clip.colorTransform = *cx;
    clip.scriptTransformed = true;
    m.playback().dirty = true;
}

Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    c.self()->primitive = c.arg(0).toClip() ? c.arg(0) : Value();
    return {};
}

Value matrix(NativeCall& c)
{
    auto clip = target(c);
    return clip ? matrixValue(c.machine, toPixels(clip->matrix)) : Value();
}

Value assignMatrix(NativeCall& c)
{
    if (auto clip = target(c))
        setMatrix(c.machine, *clip, c.arg(0));
    return {};
}

Value colorTransform(NativeCall& c)
{
    auto clip = target(c);
    return clip ? colorTransformValue(c.machine, clip->colorTransform) : Value();
}

Value assignColorTransform(NativeCall& c)
{
    if (auto clip = target(c))
        setColorTransform(c.machine, *clip, c.arg(0));
    return {};
}

// With every ancestor's, up to the root.
Value concatenatedMatrix(NativeCall& c)
{
    auto clip = target(c);
    return clip ? matrixValue(c.machine, toPixels(clip->worldMatrix())) : Value();
}

Value concatenatedColorTransform(NativeCall& c)
{
    auto clip = target(c);
    return clip ? colorTransformValue(c.machine, clip->worldColorTransform()) : Value();
}

// The stage area the clip covers, in pixels.
Value pixelBounds(NativeCall& c)
{
    auto clip = target(c);
    if (!clip)
        return {};
    Rect r = transformRect(clip->worldMatrix(), localBounds(*clip));
    return rectangleValue(c.machine, {r.xMin / kTwips, r.yMin / kTwips, r.xMax / kTwips, r.yMax / kTwips});
}

// --- clip.transform ----------------------------------------------------------------

Value clipTransform(NativeCall& c)
{
    auto clip = c.thisValue.toClip();
    if (!clip)
        return {};
    const Value args[] = {c.thisValue};
    return newInstance(c.machine, u"flash.geom.Transform", args);
}

Value assignClipTransform(NativeCall& c)
{
    auto clip = c.thisValue.toClip();
    Value from = c.arg(0);
    if (!clip || !from.isObject())
        return {};
    setMatrix(c.machine, *clip, c.machine.get(from, u"matrix"));
    setColorTransform(c.machine, *clip, c.machine.get(from, u"colorTransform"));
    return {};
}

} // namespace

void installTransform(Machine& m)
{
    ActionObject* proto = m.newObject();
    packageObject(m, u"flash.geom")->set(u"Transform", Value(m.newFunction(construct, proto)));
    defineAccessor(m, proto, u"matrix", matrix, assignMatrix);
    defineAccessor(m, proto, u"colorTransform", colorTransform, assignColorTransform);
    defineAccessor(m, proto, u"concatenatedMatrix", concatenatedMatrix);
    defineAccessor(m, proto, u"concatenatedColorTransform", concatenatedColorTransform);
    defineAccessor(m, proto, u"pixelBounds", pixelBounds);
    for (ActionObject* display : {m.prototypes().clip, m.prototypes().textField, m.prototypes().button})
        if (display)
            defineAccessor(m, display, u"transform", clipTransform, assignClipTransform,
                           DontEnum | DontDelete | OnlyFrom8);
}

} // namespace lumbra::movie
