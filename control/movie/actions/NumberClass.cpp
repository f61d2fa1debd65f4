// Number: the wrapper, its constants and toString with a radix.
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace lumbra::movie {

namespace {

Value construct(NativeCall& c)
{
    double n = c.args.empty() ? 0 : c.number(0);
    if (!c.constructing)
        return n;
    ActionObject* o = c.self();
    o->kind = ActionObject::Kind::Number;
    o->primitive = n;
    return c.thisValue;
}

double self(NativeCall& c)
{
    ActionObject* o = c.self();
    if (o && o->kind == ActionObject::Kind::Number)
        return o->primitive.toNumber(c.machine.version());
    return c.thisValue.isNumber() ? c.thisValue.toNumber(c.machine.version()) : std::nan("");
}

Value valueOf(NativeCall& c) { return self(c); }

// Integers in radix 2..36; other values and radixes as decimal.
Value toString(NativeCall& c)
{
    double n = self(c);
    double radix = c.args.empty() || c.arg(0).isUndefined() ? 10 : std::trunc(c.number(0));
    if (radix == 10 || !(radix >= 2 && radix <= 36) || !std::isfinite(n))
        return numberToString(n);
    int base = int(radix);
    // The integer part, held to the signed 32-bit range: 0xFF99CC66 reads
    // "7fffffff", not the negative its bits would make.
    auto value = std::int32_t(std::clamp(std::trunc(n), double(INT32_MIN), double(INT32_MAX)));
    bool negative = value < 0;
    std::uint64_t magnitude = negative ? std::uint64_t(-std::int64_t(value)) : std::uint64_t(value);
    std::u16string digits;
    do {
        unsigned d = unsigned(magnitude % unsigned(base));
        digits.insert(digits.begin(), char16_t(d < 10 ? u'0' + d : u'a' + d - 10));
        magnitude /= unsigned(base);
    } while (magnitude);
    return negative ? u"-" + digits : digits;
}

} // namespace

void installNumber(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, m.prototypes().object);
    m.prototypes().number = proto;
    ActionObject* ctor = m.defineClass(u"Number", construct, proto);
    const std::pair<const char16_t*, double> constants[] = {
        {u"MAX_VALUE", std::numeric_limits<double>::max()},
        {u"MIN_VALUE", std::numeric_limits<double>::denorm_min()},
        {u"NaN", std::numeric_limits<double>::quiet_NaN()},
        {u"NEGATIVE_INFINITY", -std::numeric_limits<double>::infinity()},
        {u"POSITIVE_INFINITY", std::numeric_limits<double>::infinity()}};
    for (auto [name, value] : constants)
        ctor->set(name, value, DontEnum | DontDelete | ReadOnly);
    m.method(proto, u"valueOf", valueOf);
    m.method(proto, u"toString", toString);
}

} // namespace lumbra::movie
