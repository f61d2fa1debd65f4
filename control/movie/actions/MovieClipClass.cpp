// MovieClip: the methods clips answer; `this` is the clip.
#include "control/movie/Bounds.h"
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

#include <cmath>

namespace lumbra::movie {

namespace {

// Depths scripts may use; the timeline's own lie below 0.
constexpr double kMinDepth = -16384, kMaxDepth = 2130706428;

std::shared_ptr<DisplayObject> clip(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    return self && self->isClip() ? self : nullptr;
}

// A frame number (from 1) or label, 0-based; nothing when there is no such frame.
std::optional<int> frameOf(NativeCall& c, DisplayObject& target, const Value& v)
{
    if (v.isString()) {
        double n = parseNumber(v.toString());
        if (std::isnan(n))
            return target.timeline()->findLabel(v.toString());
        return int(std::clamp(n, 0.0, 65535.0)) - 1;
    }
    double n = c.machine.toNumber(v);
    if (std::isnan(n))
        return std::nullopt;
    return int(std::clamp(n, 0.0, 65535.0)) - 1;
}

template <bool Play> Value gotoAnd(NativeCall& c)
{
    if (auto self = clip(c))
        if (auto frame = frameOf(c, *self, c.arg(0)))
            c.machine.playback().gotoFrame(*self, *frame, Play);
    return {};
}

template <bool Play> Value playOrStop(NativeCall& c)
{
    if (auto self = clip(c))
        self->playing = Play;
    return {};
}

template <int Delta> Value step(NativeCall& c)
{
    if (auto self = clip(c))
        c.machine.playback().gotoFrame(*self, self->frame + Delta, false);
    return {};
}

Value getDepth(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    return self ? Value(double(self->depth)) : Value();
}

std::optional<int> depthArgument(NativeCall& c, std::size_t i)
{
    double d = c.number(i);
    if (std::isnan(d) || d < kMinDepth || d > kMaxDepth)
        return std::nullopt;
    return int(d);
}

Value createEmptyMovieClip(NativeCall& c)
{
    auto self = clip(c);
    auto depth = depthArgument(c, 1);
    if (!self || !depth)
        return {};
    auto created = c.machine.playback().createEmptyClip(*self, c.string(0), *depth);
    return created ? Value(created) : Value();
}

Value duplicateMovieClip(NativeCall& c)
{
    auto self = clip(c);
    auto depth = depthArgument(c, 1);
    if (!self || !depth || !self->parent())
        return {};
    std::u16string name = c.string(0);
    if (!c.machine.playback().cloneClip(*self, name, *depth))
        return {};
    auto copy = self->parent()->children().find(*depth);
    if (copy == self->parent()->children().end())
        return {};
    if (ActionObject* init = c.arg(2).toObject())
        for (const auto& property : init->names())
            c.machine.set(Value(copy->second), property, c.machine.get(c.arg(2), property));
    return Value(copy->second);
}

Value removeMovieClip(NativeCall& c)
{
    if (auto self = clip(c); self && self->depth >= 0)
        c.machine.playback().removeClip(*self);
    return {};
}

Value swapDepths(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    if (!self || !self->parent())
        return {};
    std::optional<int> depth;
    if (auto other = c.arg(0).toClip(); other && other->parent() == self->parent())
        depth = other->depth;
    else if (!c.arg(0).isReference())
        depth = depthArgument(c, 0);
    if (depth)
        c.machine.playback().swapDepth(*self, *depth);
    return {};
}

Value getNextHighestDepth(NativeCall& c)
{
    auto self = clip(c);
    if (!self)
        return {};
    int top = self->children().empty() ? -1 : self->children().rbegin()->first;
    return double(std::max(0, top + 1));
}

Value getInstanceAtDepth(NativeCall& c)
{
    auto self = clip(c);
    auto depth = depthArgument(c, 0);
    if (!self || !depth)
        return {};
    auto it = self->children().find(*depth);
    return it == self->children().end() ? Value() : Value(it->second);
}

// The bounds in the coordinates of another clip (the clip's own by default), in pixels.
Value getBounds(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    if (!self)
        return {};
    Rect r = localBounds(*self);
    ActionObject* out = c.machine.newObject();
    if (r.empty()) {
        for (const char16_t* name : {u"xMin", u"xMax", u"yMin", u"yMax"})
            out->set(name, 6710886.35);
        return Value(out);
    }
    Matrix m;
    auto space = c.arg(0).toClip();
    if (space && space.get() != self.get())
        m = space->worldMatrix().inverse() * self->worldMatrix();
    Rect t = transformRect(m, r);
    out->set(u"xMin", t.xMin / 20);
    out->set(u"xMax", t.xMax / 20);
    out->set(u"yMin", t.yMin / 20);
    out->set(u"yMax", t.yMax / 20);
    return Value(out);
}

Value bytesOfMovie(NativeCall& c) { return double(c.machine.playback().movie().info.fileLength); }

} // namespace

void installMovieClip(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, m.prototypes().object);
    m.prototypes().clip = proto;
    m.defineClass(u"MovieClip", [](NativeCall& c) { return c.thisValue; }, proto);
    m.method(proto, u"play", playOrStop<true>);
    m.method(proto, u"stop", playOrStop<false>);
    m.method(proto, u"gotoAndPlay", gotoAnd<true>);
    m.method(proto, u"gotoAndStop", gotoAnd<false>);
    m.method(proto, u"nextFrame", step<1>);
    m.method(proto, u"prevFrame", step<-1>);
    m.method(proto, u"getDepth", getDepth);
    m.method(proto, u"createEmptyMovieClip", createEmptyMovieClip);
    m.method(proto, u"duplicateMovieClip", duplicateMovieClip);
    m.method(proto, u"removeMovieClip", removeMovieClip);
    m.method(proto, u"swapDepths", swapDepths);
    m.method(proto, u"getNextHighestDepth", getNextHighestDepth);
    m.method(proto, u"getInstanceAtDepth", getInstanceAtDepth);
    m.method(proto, u"getBounds", getBounds);
    m.method(proto, u"getBytesLoaded", bytesOfMovie);
    m.method(proto, u"getBytesTotal", bytesOfMovie);
    installClipDrawing(m, proto);
}

} // namespace lumbra::movie
