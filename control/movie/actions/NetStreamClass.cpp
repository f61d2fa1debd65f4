// NetStream: a video stream played through a NetConnection. This player
// reads a local FLV file's header and script data but decodes no pictures or
// sound: play() of a file that is there reports "NetStream.Play.Start",
// calls onMetaData (and the other calls of its script tags) and reports
// "NetStream.Buffer.Full" on the next frame, with the byte counts set; a file
// that is missing reports "NetStream.Play.StreamNotFound" and one that is no
// FLV "NetStream.Play.Failed". The play head stays where seek puts it.
#include "control/movie/Playback.h"
#include "control/movie/actions/FlvMetadata.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/StatusEvents.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// The numbers a script reads off a stream.
void setNumber(ActionObject* self, std::u16string_view name, double value)
{
    self->set(name, value, DontEnum);
}

Value construct(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!c.constructing || !self)
        return {};
    for (const char16_t* name : {u"bufferLength", u"bytesLoaded", u"bytesTotal", u"currentFps", u"time"})
        setNumber(self, name, 0);
    setNumber(self, u"bufferTime", 0.1);
    return c.thisValue;
}

void status(NativeCall& c, std::u16string_view level, std::u16string_view code)
{
    callLater(c.machine, c.thisValue, u"onStatus", {statusInfo(c.machine, level, code)});
}

Value play(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self || c.args.empty())
        return {};
    Machine& m = c.machine;
    const HostHooks& hooks = m.playback().hooks();
    std::u16string url = c.string(0);
    auto bytes = url.empty() || !hooks.readFile ? std::nullopt : hooks.readFile(url);
    if (!bytes) {
        status(c, u"error", u"NetStream.Play.StreamNotFound");
        return {};
    }
    auto file = readFlv(m, *bytes);
    if (!file) {
        status(c, u"error", u"NetStream.Play.Failed");
        return {};
    }
    setNumber(self, u"bytesLoaded", double(bytes->size()));
    setNumber(self, u"bytesTotal", double(bytes->size()));
    setNumber(self, u"time", 0);
    status(c, u"status", u"NetStream.Play.Start");
    for (auto& call : file->calls)
        callLater(m, c.thisValue, call.name, std::move(call.args));
    status(c, u"status", u"NetStream.Buffer.Full");
    return {};
}

// seek(seconds): the play head moves to a whole second, never before the start.
Value seek(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!self)
        return {};
    double to = c.number(0);
    if (!std::isfinite(to) || to < 0)
        to = 0;
    setNumber(self, u"time", std::floor(to));
    status(c, u"status", u"NetStream.Seek.Notify");
    return {};
}

Value close(NativeCall& c)
{
    if (ActionObject* self = c.self())
        setNumber(self, u"time", 0);
    return {};
}

// setBufferTime(seconds): kept for bufferTime to read back.
Value setBufferTime(NativeCall& c)
{
    ActionObject* self = c.self();
    double seconds = c.number(0);
    if (self && std::isfinite(seconds))
        setNumber(self, u"bufferTime", std::max(seconds, 0.0));
    return {};
}

} // namespace

void installNetStream(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"NetStream", construct, proto);
    m.global()->findAny(u"NetStream")->flags |= OnlyFrom6;
    m.method(proto, u"play", play);
    m.method(proto, u"seek", seek);
    m.method(proto, u"close", close);
    m.method(proto, u"setBufferTime", setBufferTime);
    for (const char16_t* name : {u"pause", u"attachAudio", u"attachVideo", u"publish", u"receiveAudio",
                                 u"receiveVideo", u"send"})
        m.method(proto, name, nativeUndefined);
}

} // namespace lumbra::movie
