// Mouse: show and hide (the host owns the cursor) and listeners of mouse events.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

Value show(NativeCall&) { return 1.0; }

} // namespace

void installMouse(Machine& m)
{
    ActionObject* mouse = m.newObject();
    m.global()->set(u"Mouse", Value(mouse), DontEnum);
    makeBroadcaster(m, mouse);
    m.method(mouse, u"show", show);
    m.method(mouse, u"hide", show);
}

} // namespace lumbra::movie
