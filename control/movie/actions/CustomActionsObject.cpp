// CustomActions: extensions of the authoring tool's actions panel. A
// standalone player has no authoring tool: nothing installs, and list and
// get answer undefined.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

void installCustomActions(Machine& m)
{
    ActionObject* actions = m.newObject();
    m.global()->set(u"CustomActions", Value(actions), DontEnum | OnlyFrom6);
    m.method(actions, u"install", nativeFalse);
    m.method(actions, u"uninstall", nativeFalse);
    m.method(actions, u"list", nativeUndefined);
    m.method(actions, u"get", nativeUndefined);
}

} // namespace lumbra::movie
