// PrintJob: printing from a movie. With no printer to ask, start() answers
// false, as when the user cancels the print dialog; addPage and send then
// have nothing to add to and the page sizes stay undefined.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

void installPrintJob(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"PrintJob", constructInstance, proto);
    m.global()->findAny(u"PrintJob")->flags |= OnlyFrom7;
    m.method(proto, u"start", nativeFalse);
    m.method(proto, u"addPage", nativeFalse);
    m.method(proto, u"send", nativeUndefined);
}

} // namespace lumbra::movie
