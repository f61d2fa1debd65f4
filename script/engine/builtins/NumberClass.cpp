#include "script/engine/builtins/NumberClass.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <optional>

#include "script/runtime/Conversions.h"
#include "script/runtime/NumberText.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/builtins/NumberClassFormat.h"
#include "script/engine/ClassRegistration.h"

namespace orvet {

namespace {

enum Member { MaxValue, MinValue, NotANumber, NegativeInfinity, PositiveInfinity, Format };

ScriptValue makeNumber(ScriptContext& ctx, const ScriptValue* args)
{
    return hasArgument(args, 1) ? toNumber(ctx, args[1]) : ScriptValue::ofInt(0);
}

void numberCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    *result = makeNumber(ctx, args);
}

void numberConstruct(ScriptContext& ctx, NativeClass&, ScriptValue* args, ScriptValue* result)
{
    *result = makeNumber(ctx, args);
}

// The constants answer on numbers and on the class object alike; storing
// into them is accepted and changes nothing.
int numberProperty(ScriptContext&, NativeClass& cls, void*, Atom name, int set, ScriptValue* value)
{
    const int member = MemberAtoms::of(cls).find(name);
    if (member < 0 || member == Format)
        return 0;
    if (set)
        return 1;
    switch (member) {
    case MaxValue:
        *value = ScriptValue::ofFloat(std::bit_cast<double>(std::uint64_t{0x7FEFFFFFFFFFFFFF}));
        break;
    case MinValue:
        *value = ScriptValue::ofFloat(std::bit_cast<double>(std::uint64_t{0x0010000000000000}));
        break;
    case NotANumber:
        *value = ScriptValue::nan();
        break;
    case NegativeInfinity:
        *value = ScriptValue::ofFloat(-std::numeric_limits<double>::infinity());
        break;
    default:
        *value = ScriptValue::ofFloat(std::numeric_limits<double>::infinity());
        break;
    }
    return 1;
}

std::string numberText(const ScriptValue& number, int radix)
{
    if (number.is(ValueKind::Integer))
        return integerToText(number.integer, radix);
    if (number.is(ValueKind::Float))
        return formatFloat(number.number);
    return "NaN";
}

// "format": the number through a printf format text; a format that would
// read something other than this one number gives the plain text.
std::string formattedText(const ScriptValue& number, const ScriptValue* args)
{
    if (!hasArgument(args, 1) || !args[1].is(ValueKind::String) || number.is(ValueKind::NaN))
        return numberText(number, 10);
    const std::string format = toAnsi(*args[1].string);
    const std::optional<std::string> text = number.is(ValueKind::Integer)
        ? formatNumber(format, number.integer) : formatNumber(format, number.number);
    return text ? *text : numberText(number, 10);
}

int numberMethod(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, ScriptValue* result, ScriptValue* args)
{
    const auto* receiver = static_cast<const ScriptValue*>(data); // null: the class object
    if (name == kAtomToString) {
        if (!receiver) {
            *result = staticStringValue(ctx, u"[type Function]");
        } else {
            const bool radixGiven = hasArgument(args, 1) && args[1].is(ValueKind::Integer);
            const int radix = radixGiven && args[1].integer >= 2 && args[1].integer <= 36
                ? static_cast<int>(args[1].integer) : 10;
            *result = ansiStringValue(ctx, numberText(*receiver, radix));
        }
        return 1;
    }
    if (name == kAtomValueOf) {
        *result = receiver ? *receiver : ctx.global(ctx.intern("Number"));
        return 1;
    }
    if (receiver && MemberAtoms::of(cls).find(name) == Format) {
        *result = ansiStringValue(ctx, formattedText(*receiver, args));
        return 1;
    }
    return 0;
}

} // namespace

void registerNumberClass(ScriptContext& ctx)
{
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(ctx, *cls,
                        {"MAX_VALUE", "MIN_VALUE", "NaN", "NEGATIVE_INFINITY", "POSITIVE_INFINITY", "format"});
    cls->call = numberCall;
    cls->construct = numberConstruct;
    cls->callMethod = numberMethod;
    cls->accessProperty = numberProperty;
    for (ValueKind kind : {ValueKind::Integer, ValueKind::Float, ValueKind::NaN})
        setKindClass(ctx, kind, cls);
    registerGlobalClass(ctx, "Number", cls);
}

} // namespace orvet
