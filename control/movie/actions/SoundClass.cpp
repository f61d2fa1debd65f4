// Sound: the sound control of a clip. The player makes no sound, but keeps
// every setting a movie reads back and reports completions and loads as a
// silent sound would: at once, on the next frame.
#include "control/movie/Playback.h"
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/DataLoading.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace lumbra::movie {

namespace {

// The clip whose settings this Sound changes: its own target, else the root
// (a Sound made without a target controls the whole movie).
DisplayObject::SoundTransform* settings(NativeCall& c)
{
    ActionObject* o = c.self();
    if (!o)
        return nullptr;
    auto clip = o->primitive.toClip();
    return clip ? &clip->sound : &c.machine.playback().root().sound;
}

// Percent values as whole numbers; what no number is leaves the setting.
std::optional<int> percent(Machine& m, const Value& value)
{
    double n = m.toNumber(value);
    if (std::isnan(n))
        return std::nullopt;
    return int(std::clamp(n, -1e9, 1e9));
}

Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    ActionObject* o = c.self();
    Value target = c.arg(0);
    if (target.isString())
        if (auto clip = c.machine.playback().resolveTarget(c.machine.playback().root(), target.toString()))
            target = Value(clip);
    o->primitive = target.toClip() ? target : Value();
    return c.thisValue;
}

Value setVolume(NativeCall& c)
{
    auto* s = settings(c);
    if (auto v = percent(c.machine, c.arg(0)); s && v)
        s->volume = *v;
    return {};
}

Value getVolume(NativeCall& c)
{
    auto* s = settings(c);
    return s ? Value(s->volume) : Value();
}

Value setPan(NativeCall& c)
{
    auto* s = settings(c);
    auto pan = percent(c.machine, c.arg(0));
    if (!s || !pan)
        return {};
    // Panning turns one side down; nothing crosses over.
    s->ll = *pan > 0 ? 100 - *pan : 100;
    s->rr = *pan < 0 ? 100 + *pan : 100;
    s->lr = s->rl = 0;
    return {};
}

Value getPan(NativeCall& c)
{
    auto* s = settings(c);
    if (!s)
        return {};
    return s->ll == 100 ? s->rr - 100 : 100 - s->ll;
}

Value setTransform(NativeCall& c)
{
    auto* s = settings(c);
    Value from = c.arg(0);
    if (!s || !from.toObject())
        return {};
    for (auto [name, field] : {std::pair{u"ll", &s->ll}, {u"lr", &s->lr}, {u"rl", &s->rl}, {u"rr", &s->rr}}) {
        Value v = c.machine.get(from, name);
        if (!v.isUndefined())
            if (auto p = percent(c.machine, v))
                *field = *p;
    }
    return {};
}

Value getTransform(NativeCall& c)
{
    auto* s = settings(c);
    if (!s)
        return {};
    ActionObject* out = c.machine.newObject();
    out->set(u"ll", s->ll);
    out->set(u"lr", s->lr);
    out->set(u"rl", s->rl);
    out->set(u"rr", s->rr);
    return Value(out);
}

Value attachSound(NativeCall& c)
{
    ActionObject* o = c.self();
    if (!o || c.arg(0).isNullish())
        return {};
    o->set(u"duration", 0, DontEnum);
    o->set(u"position", 0, DontEnum);
    return {};
}

Value soundCompleted(NativeCall& c)
{
    c.machine.callMethod(c.thisValue, u"onSoundComplete", {});
    return {};
}

// A silent sound ends as soon as it starts.
Value start(NativeCall& c)
{
    ActionObject* o = c.self();
    if (o && o->find(u"duration"))
        c.machine.scheduleArrival({Value(c.machine.newFunction(soundCompleted)), c.thisValue, {}});
    return {};
}

Value soundLoaded(NativeCall& c)
{
    ActionObject* o = c.self();
    Value success = !c.arg(0).isUndefined();
    if (o && !c.arg(0).isUndefined()) {
        o->set(u"duration", 0, DontEnum);
        o->set(u"position", 0, DontEnum);
    }
    c.machine.callMethod(c.thisValue, u"onLoad", std::span<const Value>(&success, 1));
    return {};
}

Value loadSound(NativeCall& c)
{
    if (c.self())
        loadLater(c.machine, c.thisValue, soundLoaded, c.string(0));
    return {};
}

Value zero(NativeCall& c) { return c.self() && c.self()->find(u"duration") ? Value(0) : Value(); }

} // namespace

void installSound(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"Sound", construct, proto);
    m.method(proto, u"attachSound", attachSound);
    m.method(proto, u"start", start);
    m.method(proto, u"stop", nativeUndefined);
    m.method(proto, u"loadSound", loadSound);
    m.method(proto, u"setVolume", setVolume);
    m.method(proto, u"getVolume", getVolume);
    m.method(proto, u"setPan", setPan);
    m.method(proto, u"getPan", getPan);
    m.method(proto, u"setTransform", setTransform);
    m.method(proto, u"getTransform", getTransform);
    m.method(proto, u"getBytesLoaded", zero);
    m.method(proto, u"getBytesTotal", zero);
}

} // namespace lumbra::movie
