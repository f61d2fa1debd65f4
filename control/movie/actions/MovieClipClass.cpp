// MovieClip: the methods clips answer; `this` is the clip. Scripts give
// pixels; the display tree keeps twips.
#include "control/movie/Bounds.h"
#include "control/movie/HitTest.h"
#include "control/movie/Playback.h"
#include "control/movie/Renderer.h"
#include "control/movie/actions/DataLoading.h"
#include "control/movie/actions/Machine.h"

#include <cmath>

namespace lumbra::movie {

namespace {

// Depths scripts may use; the timeline's own lie below 0.
constexpr double kMinDepth = -16384, kMaxDepth = 2130706428;
// What getBounds answers for a clip with nothing in it.
constexpr double kNoBounds = 6710886.35;

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

// gotoAndPlay(frame) or gotoAndPlay(scene, frame): a movie is one scene here,
// so the frame is the last argument.
template <bool Play> Value gotoAnd(NativeCall& c)
{
    auto self = clip(c);
    if (!self || c.args.empty())
        return {};
    if (auto frame = frameOf(c, *self, c.args.back()))
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
    if (!self || !depth)
        return {};
    auto copy = c.machine.playback().cloneClip(*self, c.string(0), *depth, c.arg(2).toObject());
    return copy ? Value(copy) : Value();
}

// attachMovie(symbol, name, depth, init)
Value attachMovie(NativeCall& c)
{
    auto self = clip(c);
    auto depth = depthArgument(c, 2);
    if (!self || !depth)
        return {};
    auto attached = c.machine.playback().attach(*self, c.string(0), c.string(1), *depth, c.arg(3).toObject());
    return attached ? Value(attached) : Value();
}

Value removeMovieClip(NativeCall& c)
{
    if (auto self = clip(c))
        c.machine.playback().removeClip(*self);
    return {};
}

// swapDepths(depth) or swapDepths(clip), a sibling.
Value swapDepths(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    if (!self || !self->parent())
        return {};
    std::optional<int> depth;
    if (auto other = c.arg(0).toClip()) {
        if (other->parent() == self->parent())
            depth = other->depth;
    } else if (!c.arg(0).isReference()) {
        depth = depthArgument(c, 0);
    }
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
    if (r.xMin == 0 && r.xMax == 0 && r.yMin == 0 && r.yMax == 0) {
        for (const char16_t* name : {u"xMin", u"xMax", u"yMin", u"yMax"})
            out->set(name, kNoBounds);
        return Value(out);
    }
    Matrix m;
    auto space = c.arg(0).toClip();
    if (space && space.get() != self.get())
        m = space->worldMatrix().inverse() * self->worldMatrix();
    Rect t = transformRect(m, r);
    out->set(u"xMin", t.xMin / kTwips);
    out->set(u"xMax", t.xMax / kTwips);
    out->set(u"yMin", t.yMin / kTwips);
    out->set(u"yMax", t.yMax / kTwips);
    return Value(out);
}

// localToGlobal(point) / globalToLocal(point): the point's x and y, in pixels,
// carried between the clip's coordinates and the stage's.
template <bool ToGlobal> Value convertPoint(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    Value point = c.arg(0);
    if (!self || !point.isObject())
        return {};
    double x = c.machine.toNumber(c.machine.get(point, u"x"));
    double y = c.machine.toNumber(c.machine.get(point, u"y"));
    if (!std::isfinite(x) || !std::isfinite(y))
        return {};
    Matrix world = self->worldMatrix();
    Point p = (ToGlobal ? world : world.inverse()).apply({x * kTwips, y * kTwips});
    c.machine.set(point, u"x", p.x / kTwips);
    c.machine.set(point, u"y", p.y / kTwips);
    return {};
}

Rect worldBounds(const DisplayObject& object)
{
    return transformRect(object.worldMatrix(), localBounds(object));
}

// hitTest(x, y, shapeFlag) with a stage point, or hitTest(clip): whether the
// bounding boxes meet, or with the flag whether the clip's shapes cover the point.
Value hitTest(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    if (!self)
        return {};
    if (c.args.size() == 1) {
        auto other = c.arg(0).toClip();
        if (!other)
            return false;
        Rect a = worldBounds(*self), b = worldBounds(*other);
        if (a.empty() || b.empty())
            return false;
        return a.xMin <= b.xMax && b.xMin <= a.xMax && a.yMin <= b.yMax && b.yMin <= a.yMax;
    }
    double x = c.number(0), y = c.number(1);
    if (!std::isfinite(x) || !std::isfinite(y))
        return false;
    Point p{x * kTwips, y * kTwips};
    if (!c.machine.toBoolean(c.arg(2))) {
        Rect r = worldBounds(*self);
        return !r.empty() && r.contains(p);
    }
    // objectCovers() takes the point in the parent's coordinates.
    Point inParent = self->parent() ? self->parent()->worldMatrix().inverse().apply(p) : p;
    if (!self->visible)
        return false;
    if (self->parent() && !unmasked(*self->parent(), *self, inParent))
        return false;
    return objectCovers(*self, inParent);
}

Value setMaskMethod(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    if (!self)
        return {};
    setMask(*self, c.arg(0).toClip());
    c.machine.playback().dirty = true;
    return true;
}

// loadMovie(url) / unloadMovie(): the movie replaces the clip's content on
// the next frame, as for the global forms.
template <bool Load> Value loadInto(NativeCall& c)
{
    auto self = clip(c);
    if (!self || (Load && c.args.empty()))
        return {};
    Playback& playback = c.machine.playback();
    if (auto target = playback.loadTarget(*self, Value(self)))
        playback.requestLoad(c.clip ? *c.clip : *self, *target, Load ? c.string(0) : std::u16string());
    return {};
}

// getURL(url, window): as the global getURL, from this clip.
Value getUrlMethod(NativeCall& c)
{
    if (auto self = clip(c); self && !c.args.empty())
        c.machine.playback().getUrl(*self, c.string(0), c.args.size() > 1 ? c.string(1) : std::u16string());
    return {};
}

// loadVariables(url): the file's variables arrive on the clip on the next frame.
Value loadVariablesMethod(NativeCall& c)
{
    if (auto self = clip(c); self && !c.args.empty())
        loadVariablesInto(c.machine, self, c.string(0));
    return {};
}

// What the clip plays came whole from its file: loaded and total are the file's length.
Value bytesOfMovie(NativeCall& c)
{
    auto self = clip(c);
    return self ? double(c.machine.playback().movieOf(*self).info.fileLength) : Value();
}

Value swfVersion(NativeCall& c)
{
    auto self = clip(c);
    return double(self ? c.machine.playback().movieOf(*self).info.version : c.machine.version());
}

// Object.registerClass(symbol, constructor)
Value registerClass(NativeCall& c)
{
    if (c.args.size() < 2)
        return false;
    Playback& pb = c.machine.playback();
    return pb.registerClass(c.clip ? *c.clip : pb.root(), c.string(0), c.arg(1));
}

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
    m.method(proto, u"attachMovie", attachMovie);
    m.method(proto, u"removeMovieClip", removeMovieClip);
    m.method(proto, u"swapDepths", swapDepths);
    m.method(proto, u"getNextHighestDepth", getNextHighestDepth);
    m.method(proto, u"getInstanceAtDepth", getInstanceAtDepth);
    m.method(proto, u"getBounds", getBounds);
    m.method(proto, u"getRect", getBounds);
    m.method(proto, u"localToGlobal", convertPoint<true>);
    m.method(proto, u"globalToLocal", convertPoint<false>);
    m.method(proto, u"hitTest", hitTest);
    m.method(proto, u"setMask", setMaskMethod);
    m.method(proto, u"getBytesLoaded", bytesOfMovie);
    m.method(proto, u"getBytesTotal", bytesOfMovie);
    m.method(proto, u"getSWFVersion", swfVersion);
    m.method(proto, u"loadMovie", loadInto<true>);
    m.method(proto, u"unloadMovie", loadInto<false>);
    m.method(proto, u"loadVariables", loadVariablesMethod);
    m.method(proto, u"getURL", getUrlMethod);
    m.method(proto, u"attachAudio", nativeUndefined); // no sound input to attach
    proto->set(u"enabled", true, DontEnum);
    proto->set(u"useHandCursor", true, DontEnum);
    installClipDrawing(m, proto);
    if (ActionObject* object = m.get(Value(m.global()), u"Object").toObject())
        m.method(object, u"registerClass", registerClass);
}

} // namespace lumbra::movie
