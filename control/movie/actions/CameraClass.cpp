// Camera: the video inputs of the machine. This player captures nothing:
// Camera.get() answers null and Camera.names is empty; the setters of an
// instance a script makes anyway are accepted and do nothing.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

void installCamera(Machine& m)
{
    ActionObject* proto = m.newObject();
    ActionObject* camera = m.defineClass(u"Camera", constructInstance, proto);
    m.global()->findAny(u"Camera")->flags |= OnlyFrom6;
    m.method(camera, u"get", nativeNull);
    camera->set(u"names", Value(m.newArray()), DontEnum | DontDelete);
    for (const char16_t* name : {u"setMode", u"setMotionLevel", u"setQuality", u"setKeyFrameInterval", u"setLoopback"})
        m.method(proto, name, nativeUndefined);
}

} // namespace lumbra::movie
