// Microphone: the sound inputs of the machine. This player records nothing:
// Microphone.get() answers null and Microphone.names is empty.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

void installMicrophone(Machine& m)
{
    ActionObject* proto = m.newObject();
    ActionObject* microphone = m.defineClass(u"Microphone", constructInstance, proto);
    m.global()->findAny(u"Microphone")->flags |= OnlyFrom6;
    m.method(microphone, u"get", nativeNull);
    microphone->set(u"names", Value(m.newArray()), DontEnum | DontDelete);
    for (const char16_t* name : {u"setGain", u"setRate", u"setSilenceLevel", u"setUseEchoSuppression"})
        m.method(proto, name, nativeUndefined);
}

} // namespace lumbra::movie
