// Accessibility: the link to screen readers. No screen reader is ever
// attached to this player, so isActive() answers false and updates go nowhere.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

void installAccessibility(Machine& m)
{
    ActionObject* accessibility = m.newObject();
    m.global()->set(u"Accessibility", Value(accessibility), DontEnum | OnlyFrom6);
    m.method(accessibility, u"isActive", nativeFalse);
    m.method(accessibility, u"updateProperties", nativeUndefined);
    m.method(accessibility, u"sendEvent", nativeUndefined);
}

} // namespace lumbra::movie
