// MovieClipLoader: loadMovie with news. Its listeners (the loader itself
// first, as the reference player sets it up) hear onLoadStart,
// onLoadProgress, onLoadComplete and onLoadInit, the last after the loaded
// movie's first frame has run; or onLoadError(target, "URLNotFound").
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

Value construct(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!c.constructing || !self)
        return {};
    self->set(u"_listeners", Value(c.machine.newArray({c.thisValue})), DontEnum);
    return c.thisValue;
}

DisplayObject& caller(NativeCall& c) { return c.clip ? *c.clip : c.machine.playback().root(); }

// loadClip(url, target): the target is a clip, a path, "_levelN" or a level number.
Value loadClip(NativeCall& c)
{
    Playback& playback = c.machine.playback();
    auto target = c.args.size() >= 2 ? playback.loadTarget(caller(c), c.arg(1)) : std::nullopt;
    std::u16string url = c.string(0);
    if (!target || url.empty() || !c.self())
        return false;
    return playback.requestLoad(caller(c), *target, std::move(url), c.thisValue);
}

Value unloadClip(NativeCall& c)
{
    Playback& playback = c.machine.playback();
    auto target = playback.loadTarget(caller(c), c.arg(0));
    return target && playback.requestLoad(caller(c), *target, u"");
}

// getProgress(target): {bytesLoaded, bytesTotal}; a loaded movie is there whole.
Value getProgress(NativeCall& c)
{
    Playback& playback = c.machine.playback();
    auto target = playback.loadTarget(caller(c), c.arg(0));
    auto clip = !target ? nullptr : target->level >= 0 ? playback.level(target->level) : target->clip.lock();
    if (!clip)
        return {};
    double bytes = playback.movieOf(*clip).info.fileLength;
    ActionObject* progress = c.machine.newObject();
    progress->set(u"bytesLoaded", bytes);
    progress->set(u"bytesTotal", bytes);
    return Value(progress);
}

} // namespace

void installMovieClipLoader(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"MovieClipLoader", construct, proto);
    if (ActionObject* broadcaster = m.get(Value(m.global()), u"AsBroadcaster").toObject())
        for (const char16_t* name : {u"addListener", u"removeListener", u"broadcastMessage"})
            proto->set(name, m.get(Value(broadcaster), name), DontEnum);
    m.method(proto, u"loadClip", loadClip);
    m.method(proto, u"unloadClip", unloadClip);
    m.method(proto, u"getProgress", getProgress);
}

} // namespace lumbra::movie
