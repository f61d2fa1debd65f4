#include "control/movie/actions/StatusEvents.h"

namespace lumbra::movie {

namespace {

// The arrival of a later call: the method's name, then its arguments.
Value callArrived(NativeCall& c)
{
    if (c.args.empty())
        return {};
    c.machine.callMethod(c.thisValue, c.string(0), c.args.subspan(1));
    return {};
}

} // namespace

void callLater(Machine& m, const Value& target, std::u16string_view method, std::vector<Value> args)
{
    args.insert(args.begin(), Value(std::u16string(method)));
    m.scheduleArrival({Value(m.newFunction(callArrived)), target, std::move(args)});
}

Value statusInfo(Machine& m, std::u16string_view level, std::u16string_view code)
{
    ActionObject* info = m.newObject();
    if (!code.empty())
        info->set(u"code", Value(std::u16string(code)));
    info->set(u"level", Value(std::u16string(level)));
    return Value(info);
}

} // namespace lumbra::movie
