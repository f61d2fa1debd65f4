// CustomActions: extensions of the authoring tool's actions panel. A
// standalone player has no authoring tool: nothing installs, and list and
// get answer undefined.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

Value no(NativeCall&) { return false; }
Value nothing(NativeCall&) { return {}; }

} // namespace

void installCustomActions(Machine& m)
{
    ActionObject* actions = m.newObject();
    m.global()->set(u"CustomActions", Value(actions), DontEnum | OnlyFrom6);
    m.method(actions, u"install", no);
    m.method(actions, u"uninstall", no);
    m.method(actions, u"list", nothing);
    m.method(actions, u"get", nothing);
}

} // namespace lumbra::movie
