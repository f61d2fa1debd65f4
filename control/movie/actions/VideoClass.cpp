// Video: the class of the video objects a movie places on the stage. This
// player decodes no video: attachVideo accepts a stream or camera and clear
// empties a picture that stays empty; the size of the decoded picture
// (width, height) is 0, and smoothing and deblocking read back as set.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

void installVideo(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"Video", constructInstance, proto);
    m.prototypes().video = proto;
    m.global()->findAny(u"Video")->flags |= OnlyFrom6;
    m.method(proto, u"attachVideo", nativeUndefined);
    m.method(proto, u"clear", nativeUndefined);
    proto->set(u"width", 0.0, DontEnum);
    proto->set(u"height", 0.0, DontEnum);
    proto->set(u"smoothing", false, DontEnum);
    proto->set(u"deblocking", 0.0, DontEnum);
}

} // namespace lumbra::movie
