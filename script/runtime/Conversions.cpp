#include "script/runtime/Conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "script/runtime/Calls.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/NumberText.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptString.h"

namespace orvet {

namespace {

bool isPrimitive(const ScriptValue& v)
{
    return static_cast<std::uint32_t>(v.kind) <= 5 || v.kind == ValueKind::NaN;
}

ScriptString* staticText(ScriptContext& ctx, std::u16string_view text)
{
    return newStaticString(ctx, text);
}

// Calls a method with no arguments through the method-call entry; the
// result, when the call succeeded. An error that ends the run goes on up.
bool callNoArgs(ScriptContext& ctx, const ScriptValue& value, Atom name, ScriptValue& out)
{
    ScriptValue args[1] = {ScriptValue::ofInt(0)};
    if (!callMethod(ctx, value, name, 1, args)) {
        if (lastErrorEndsRun(ctx))
            raiseLastErrorAgain(ctx);
        return false;
    }
    out = ctx.result;
    return true;
}

// Asks a native class's method callback directly.
bool askNative(ScriptContext& ctx, NativeClass* cls, void* data, Atom name, ScriptValue& out)
{
    if (!cls || !cls->callMethod)
        return false;
    ScriptValue args[1] = {ScriptValue::ofInt(0)};
    out = ScriptValue::undefined();
    return cls->callMethod(ctx, *cls, data, name, &out, args) != 0;
}

// The decimal digits of an integer, written straight into a new string:
// scripts that build text from numbers convert integers more than anything
// else, and the way through 8-bit text cost two temporary copies.
ScriptString* integerText(ScriptContext& ctx, std::int64_t value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    char16_t text[24];
    std::copy(digits, end, text);
    return newString(ctx, std::u16string_view(text, static_cast<std::size_t>(end - digits)));
}

} // namespace

bool toBoolean(const ScriptValue& v)
{
    switch (v.kind) {
    case ValueKind::Boolean: return v.boolean != 0;
    case ValueKind::Integer: return v.integer != 0;
    case ValueKind::Float: return !(v.number == 0.0);
    case ValueKind::String: return v.string->length > 0;
    case ValueKind::Array:
    case ValueKind::Object:
    case ValueKind::Native:
    case ValueKind::Function: return true;
    default: return false;
    }
}

ScriptValue toNumber(ScriptContext& ctx, const ScriptValue& v)
{
    switch (v.kind) {
    case ValueKind::Undefined: return ScriptValue::nan();
    case ValueKind::Null: return ScriptValue::ofInt(0);
    case ValueKind::Boolean: return ScriptValue::ofInt(v.boolean ? 1 : 0);
    case ValueKind::Integer:
    case ValueKind::Float:
    case ValueKind::NaN: return v;
    case ValueKind::String: return stringToNumber(v.string->view());
    case ValueKind::Array:
    case ValueKind::Object:
    case ValueKind::Native:
    case ValueKind::Function: {
        ScriptValue p = toPrimitive(ctx, v, PrimitiveHint::Number);
        return toNumber(ctx, p);
    }
    default: return ScriptValue::nan();
    }
}

ScriptString* toString(ScriptContext& ctx, const ScriptValue& v)
{
    switch (v.kind) {
    case ValueKind::Undefined:
    case ValueKind::Null: return staticText(ctx, u"undefined");
    case ValueKind::Boolean: return staticText(ctx, v.boolean ? u"true" : u"false");
    case ValueKind::Integer: return integerText(ctx, v.integer);
    case ValueKind::Float: return newStringFromAnsi(ctx, formatFloat(v.number));
    case ValueKind::NaN: return staticText(ctx, u"NaN");
    case ValueKind::String: return v.string;
    case ValueKind::Name: return newStringFromAnsi(ctx, ctx.nameOf(v.atom));
    case ValueKind::Object: {
        ScriptValue out;
        if (callNoArgs(ctx, v, kAtomToString, out) && out.kind == ValueKind::String)
            return out.string;
        return staticText(ctx, u"object");
    }
    case ValueKind::Native: {
        ScriptValue out;
        if (askNative(ctx, v.native->cls, v.native->data, kAtomToString, out) && out.kind == ValueKind::String)
            return out.string;
        return staticText(ctx, u"object");
    }
    case ValueKind::Array:
    case ValueKind::Function: {
        // The Array and Function classes answer for their values.
        ScriptValue self = v;
        ScriptValue out;
        if (askNative(ctx, kindClass(ctx, v.kind), &self, kAtomToString, out) && out.kind == ValueKind::String)
            return out.string;
        return staticText(ctx, v.kind == ValueKind::Function ? u"[object Function]" : u"object");
    }
    default: return staticText(ctx, u"unknown");
    }
}

ScriptValue toPrimitive(ScriptContext& ctx, const ScriptValue& v, PrimitiveHint hint)
{
    if (isPrimitive(v))
        return v;
    ScriptValue out;
    switch (v.kind) {
    case ValueKind::Object:
        if (hint == PrimitiveHint::String) {
            if (callNoArgs(ctx, v, kAtomToString, out) && isPrimitive(out))
                return out;
            if (callNoArgs(ctx, v, kAtomValueOf, out) && isPrimitive(out))
                return out;
            raiseError(ctx, kErrToPrimitive);
        }
        if (callNoArgs(ctx, v, kAtomValueOf, out) && isPrimitive(out))
            return out;
        return ScriptValue::ofString(toString(ctx, v));
    case ValueKind::Native: {
        NativeClass* cls = v.native->cls;
        if (!cls->callMethod)
            raiseError(ctx, kErrToPrimitive);
        if (hint == PrimitiveHint::String) {
            if (askNative(ctx, cls, v.native->data, kAtomToString, out) ||
                askNative(ctx, cls, v.native->data, kAtomValueOf, out))
                return out;
            raiseError(ctx, kErrToPrimitive);
        }
        if (askNative(ctx, cls, v.native->data, kAtomValueOf, out))
            return out;
        return ScriptValue::ofString(toString(ctx, v));
    }
    case ValueKind::Array:
    case ValueKind::Function: return ScriptValue::ofString(toString(ctx, v));
    default: raiseError(ctx, kErrToPrimitive);
    }
}

ScriptValue toObject(ScriptContext& ctx, const ScriptValue& v)
{
    switch (v.kind) {
    case ValueKind::Boolean:
    case ValueKind::Integer:
    case ValueKind::Float:
    case ValueKind::Array:
    case ValueKind::Object:
    case ValueKind::Native:
    case ValueKind::Function:
    case ValueKind::NaN: return v;
    case ValueKind::String: return ScriptValue::ofString(newString(ctx, v.string->view()));
    default: raiseError(ctx, kErrToObject);
    }
}

std::int64_t truncateToInt64(double d)
{
    if (!(d > -9223372036854775808.0 && d < 9223372036854775808.0))
        return INT64_MIN;
    return static_cast<std::int64_t>(d);
}

std::int64_t toInteger64(ScriptContext& ctx, const ScriptValue& v)
{
    ScriptValue n = v.kind == ValueKind::Integer ? v : toNumber(ctx, v);
    if (n.kind == ValueKind::Integer)
        return n.integer;
    if (n.kind == ValueKind::Float && std::isfinite(n.number))
        return truncateToInt64(n.number);
    return 0;
}

std::int32_t toInteger32(ScriptContext& ctx, const ScriptValue& v)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(toInteger64(ctx, v)));
}

} // namespace orvet
