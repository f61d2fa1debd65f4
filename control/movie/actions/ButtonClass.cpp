// Button (version 6 on): named button instances are script objects whose
// prototype is Button.prototype. Their display properties (_x, _alpha,
// _name, _target ...) are the ones every display object answers; this
// prototype adds what buttons have of their own. The button input calls
// onPress, onRelease and the other handlers a script gives a button.
#include "control/movie/Playback.h"
#include "control/movie/actions/Accessors.h"

namespace lumbra::movie {

namespace {

std::shared_ptr<DisplayObject> button(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    return self && self->button() ? self : nullptr;
}

// What the button's definition says until a script sets it.
Value trackAsMenu(NativeCall& c)
{
    auto self = button(c);
    return self ? Value(self->button()->trackAsMenu) : Value();
}

// The value a script gives is kept on the instance, which the input reads.
Value setTrackAsMenu(NativeCall& c)
{
    if (auto self = button(c))
        self->setVariable(u"trackAsMenu", c.machine.toBoolean(c.arg(0)));
    return {};
}

// A button cannot be made by script: `new Button()` is an empty object.
Value construct(NativeCall&) { return {}; }

} // namespace

void installButton(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.prototypes().button = proto;
    m.global()->set(u"Button", Value(m.newFunction(construct, proto)), DontEnum | OnlyFrom6);
    proto->set(u"enabled", true, DontEnum);
    proto->set(u"useHandCursor", true, DontEnum);
    defineAccessor(m, proto, u"trackAsMenu", trackAsMenu, setTrackAsMenu);
    // The clips' own getDepth answers for any display object.
    if (ActionObject* clip = m.prototypes().clip)
        if (const auto* getDepth = clip->find(u"getDepth"))
            proto->set(u"getDepth", getDepth->value, DontEnum | DontDelete);
}

} // namespace lumbra::movie
