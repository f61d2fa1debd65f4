// flash.net.FileReference and FileReferenceList: files the user picks to
// upload or download. This player shows no file dialog: browse answers
// false and no event follows, so name, size and the dates stay undefined;
// download and upload are refused. Listeners register as with every
// broadcaster of the player.
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/Packages.h"

namespace lumbra::movie {

namespace {

// The instance hears its listeners' registration methods.
Value construct(NativeCall& c)
{
    if (!c.constructing)
        return {};
    if (ActionObject* self = c.self())
        makeBroadcaster(c.machine, self);
    return c.thisValue;
}

} // namespace

void installFileReference(Machine& m)
{
    ActionObject* net = packageObject(m, u"flash.net");

    ActionObject* file = m.newObject();
    net->set(u"FileReference", Value(m.newFunction(construct, file)));
    for (const char16_t* name : {u"browse", u"download", u"upload"})
        m.method(file, name, nativeFalse);
    m.method(file, u"cancel", nativeUndefined);

    ActionObject* list = m.newObject();
    net->set(u"FileReferenceList", Value(m.newFunction(construct, list)));
    m.method(list, u"browse", nativeFalse);
}

} // namespace lumbra::movie
