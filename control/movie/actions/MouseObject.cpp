// Mouse: show and hide (the host hides its cursor over the movie) and
// listeners of mouse events.
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

// Both answer 1 when the cursor was showing before the call, 0 when hidden.
template <bool Hide>
Value showOrHide(NativeCall& c)
{
    Playback& pb = c.machine.playback();
    bool wasShown = !pb.cursorHidden;
    pb.cursorHidden = Hide;
    return wasShown ? 1.0 : 0.0;
}

} // namespace

void installMouse(Machine& m)
{
    ActionObject* mouse = m.newObject();
    m.global()->set(u"Mouse", Value(mouse), DontEnum);
    makeBroadcaster(m, mouse);
    m.method(mouse, u"show", showOrHide<false>);
    m.method(mouse, u"hide", showOrHide<true>);
}

} // namespace lumbra::movie
