#include "script/engine/builtins/Globals.h"

#include <cmath>
#include <limits>
#include <string>

#include "script/runtime/Conversions.h"
#include "script/runtime/NumberText.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/builtins/GlobalsEscape.h"
#include "script/engine/ClassRegistration.h"

namespace orvet {

namespace {

void parseIntCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    *result = ScriptValue::nan();
    if (!hasArgument(args, 1))
        return;
    const ScriptString* text = toString(ctx, args[1]);
    int radix = 0; // chosen by the text
    if (hasArgument(args, 2)) {
        const std::int64_t given = args[2].is(ValueKind::Integer) ? args[2].integer : toInteger32(ctx, args[2]);
        radix = given >= 0 && given <= 36 ? static_cast<int>(given) : -1; // -1 reads no digit
    }
    const ParsedInteger parsed = parseIntegerPrefix(text->view(), radix);
    if (parsed.ok)
        *result = parsed.value;
}

void parseFloatCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    *result = ScriptValue::nan();
    if (!hasArgument(args, 1))
        return;
    const ScriptValue number = toNumber(ctx, args[1]);
    if (number.is(ValueKind::Integer))
        *result = ScriptValue::ofFloat(static_cast<double>(number.integer));
    else
        *result = number;
}

void escapeCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    const std::u16string text = hasArgument(args, 1) ? escapeText(toString(ctx, args[1])->view()) : u"";
    *result = stringValue(ctx, text);
}

void unescapeCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    if (hasArgument(args, 1))
        *result = stringValue(ctx, unescapeText(toString(ctx, args[1])->view()));
}

// Whether a number is not a number: the NaN kind, or a Float that holds a
// NaN (which arithmetic on Floats can still produce).
bool isNotANumber(const ScriptValue& x)
{
    return x.is(ValueKind::NaN) || (x.is(ValueKind::Float) && std::isnan(x.number));
}

void isNaNCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    if (!hasArgument(args, 1))
        return;
    *result = ScriptValue::ofBool(isNotANumber(args[1].isNumeric() ? args[1] : toNumber(ctx, args[1])));
}

// Strings and objects are converted first and then judged like numbers, so
// that isFinite("1e999") is false like isFinite(1e999).
void isFiniteCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    if (!hasArgument(args, 1))
        return;
    const ScriptValue x = args[1].isNumeric() ? args[1] : toNumber(ctx, args[1]);
    bool finite = x.is(ValueKind::Integer);
    if (x.is(ValueKind::Float))
        finite = std::isfinite(x.number);
    *result = ScriptValue::ofBool(finite);
}

void traceCall(ScriptContext& ctx, NativeClass&, void*, ScriptValue* result, ScriptValue* args)
{
    std::string line;
    for (std::int64_t i = 1; i <= argumentCount(args); ++i)
        line += toAnsi(*toString(ctx, args[i]));
    ctx.trace(line);
}

} // namespace

void registerGlobals(ScriptContext& ctx)
{
    ctx.global(ctx.intern("NaN")) = ScriptValue::nan();
    ctx.global(ctx.intern("Infinity")) = ScriptValue::ofFloat(std::numeric_limits<double>::infinity());
    defineGlobalFunction(ctx, "parseInt", parseIntCall);
    defineGlobalFunction(ctx, "parseFloat", parseFloatCall);
    defineGlobalFunction(ctx, "escape", escapeCall);
    defineGlobalFunction(ctx, "unescape", unescapeCall);
    defineGlobalFunction(ctx, "isNaN", isNaNCall);
    defineGlobalFunction(ctx, "isFinite", isFiniteCall);
    defineGlobalFunction(ctx, "trace", traceCall);
}

} // namespace orvet
