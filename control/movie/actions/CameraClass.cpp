// Camera: the video inputs of the machine. This player captures nothing:
// Camera.get() answers null and Camera.names is empty; the setters of an
// instance a script makes anyway are accepted and do nothing.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

Value construct(NativeCall& c) { return c.constructing ? c.thisValue : Value(); }
Value none(NativeCall&) { return Value::null(); }
Value nothing(NativeCall&) { return {}; }

} // namespace

void installCamera(Machine& m)
{
    ActionObject* proto = m.newObject();
    ActionObject* camera = m.defineClass(u"Camera", construct, proto);
    m.global()->findAny(u"Camera")->flags |= OnlyFrom6;
    m.method(camera, u"get", none);
    camera->set(u"names", Value(m.newArray()), DontEnum | DontDelete);
    for (const char16_t* name : {u"setMode", u"setMotionLevel", u"setQuality", u"setKeyFrameInterval", u"setLoopback"})
        m.method(proto, name, nothing);
}

} // namespace lumbra::movie
