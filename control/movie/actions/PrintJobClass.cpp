// PrintJob: printing from a movie. With no printer to ask, start() answers
// false, as when the user cancels the print dialog; addPage and send then
// have nothing to add to and the page sizes stay undefined.
#include "control/movie/actions/Machine.h"

namespace lumbra::movie {

namespace {

Value construct(NativeCall& c) { return c.constructing ? c.thisValue : Value(); }
Value no(NativeCall&) { return false; }
Value nothing(NativeCall&) { return {}; }

} // namespace

void installPrintJob(Machine& m)
{
    ActionObject* proto = m.newObject();
    m.defineClass(u"PrintJob", construct, proto);
    m.global()->findAny(u"PrintJob")->flags |= OnlyFrom7;
    m.method(proto, u"start", no);
    m.method(proto, u"addPage", no);
    m.method(proto, u"send", nothing);
}

} // namespace lumbra::movie
