// MovieClip.startDrag / stopDrag: a clip made to follow the mouse.
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

#include <cmath>

namespace lumbra::movie {

namespace {

// startDrag(lockCenter, left, top, right, bottom): the rectangle, in pixels of
// the clip's parent, only when all four are given.
Value startDrag(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    if (!self || !self->isClip())
        return {};
    std::optional<Rect> bounds;
    if (c.args.size() >= 5) {
        double edge[4];
        for (std::size_t i = 0; i < 4; ++i) {
            edge[i] = c.number(i + 1);
            if (std::isnan(edge[i]))
                edge[i] = 0;
        }
        bounds = Rect{edge[0] * 20, edge[1] * 20, edge[2] * 20, edge[3] * 20};
    }
    c.machine.playback().startDrag(*self, c.machine.toBoolean(c.arg(0)), bounds);
    return {};
}

Value stopDrag(NativeCall& c)
{
    c.machine.playback().stopDrag();
    return {};
}

} // namespace

void installClipDrag(Machine& m)
{
    ActionObject* proto = m.prototypes().clip;
    if (!proto)
        return;
    m.method(proto, u"startDrag", startDrag);
    m.method(proto, u"stopDrag", stopDrag);
}

} // namespace lumbra::movie
