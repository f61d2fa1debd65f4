// flash.external.ExternalInterface: calls between the movie and the program
// that hosts the control. Available only inside a container that listens
// (the control's FlashCall event and CallFunction method); played headless,
// `available` is false, call answers null and addCallback false.
#include "control/movie/Playback.h"
#include "control/movie/actions/ExternalValues.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/Packages.h"

namespace lumbra::movie {

namespace {

bool available(Machine& m) { return bool(m.playback().hooks().externalCall); }

// call(name, args...): the container's answer, null when nobody answers.
Value call(NativeCall& c)
{
    Machine& m = c.machine;
    if (!available(m) || c.args.empty() || c.arg(0).isNullish())
        return Value::null();
    std::u16string request = encodeInvoke(m, c.string(0), c.args.subspan(1));
    std::u16string answer = m.playback().hooks().externalCall(request);
    return answer.empty() ? Value::null() : decodeExternal(m, answer);
}

// addCallback(name, instance, method): the container may then call
// instance.method by name; a later registration of the name replaces it.
Value addCallback(NativeCall& c)
{
    Machine& m = c.machine;
    if (!available(m) || c.args.size() < 3 || c.arg(0).isNullish() || !c.arg(2).isObject())
        return false;
    m.externalCallbacks()[c.string(0)] = {c.arg(1), c.arg(2)};
    return true;
}

} // namespace

void installExternalInterface(Machine& m)
{
    ActionObject* proto = m.newObject();
    ActionObject* constructor = m.newFunction(constructInstance, proto);
    packageObject(m, u"flash.external")->set(u"ExternalInterface", Value(constructor));
    constructor->set(u"available", available(m), DontEnum | DontDelete | ReadOnly);
    m.method(constructor, u"call", call);
    m.method(constructor, u"addCallback", addCallback);
}

} // namespace lumbra::movie
