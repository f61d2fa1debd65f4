// Stage: the movie's size and how it is shown, and listeners of onResize.
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

Value width(NativeCall& c) { return c.machine.playback().movie().info.frame.width() / 20; }
Value height(NativeCall& c) { return c.machine.playback().movie().info.frame.height() / 20; }

} // namespace

void installStage(Machine& m)
{
    ActionObject* stage = m.newObject();
    m.global()->set(u"Stage", Value(stage), DontEnum);
    makeBroadcaster(m, stage);
    // Read-only sizes are accessors so they follow the movie.
    stage->set(u"width", Value(m.newArray({Value(m.newFunction(width)), Value(m.newFunction(nativeUndefined))})),
               Accessor | DontEnum | DontDelete);
    stage->set(u"height", Value(m.newArray({Value(m.newFunction(height)), Value(m.newFunction(nativeUndefined))})),
               Accessor | DontEnum | DontDelete);
    stage->set(u"scaleMode", u"showAll", DontEnum);
    stage->set(u"align", u"", DontEnum);
    stage->set(u"showMenu", true, DontEnum);
}

} // namespace lumbra::movie
