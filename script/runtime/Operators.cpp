#include "script/runtime/Operators.h"

#include <cmath>

#include "script/runtime/Conversions.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptString.h"

namespace orvet {

namespace {

double asDouble(const ScriptValue& v)
{
    return v.kind == ValueKind::Integer ? static_cast<double>(v.integer) : v.number;
}

ScriptValue numeric(ScriptContext& ctx, const ScriptValue& v)
{
    return v.isNumeric() ? v : toNumber(ctx, v);
}

std::int64_t wrap(std::uint64_t v)
{
    return static_cast<std::int64_t>(v);
}

ScriptValue divide(double x, double y)
{
    if ((std::isinf(x) && std::isinf(y)) || (x == 0 && y == 0))
        return ScriptValue::nan();
    if (std::isinf(x) && y == 0)
        return ScriptValue::ofFloat(x);
    return ScriptValue::ofFloat(x / y);
}

ScriptValue remainder(double x, double y)
{
    if (std::isinf(x) || y == 0)
        return ScriptValue::nan();
    if (std::isinf(y) || x == 0)
        return ScriptValue::ofFloat(x);
    return ScriptValue::ofFloat(x - std::trunc(x / y) * y);
}

bool isEqualityPrimitive(ValueKind k)
{
    return k == ValueKind::String || k == ValueKind::Boolean || k == ValueKind::Integer || k == ValueKind::Float ||
           k == ValueKind::NaN;
}

} // namespace

std::int64_t shiftLeft(std::int64_t value, std::int64_t count)
{
    unsigned n = static_cast<unsigned>(count) & 0xFF;
    return n >= 64 ? 0 : wrap(static_cast<std::uint64_t>(value) << n);
}

std::int64_t shiftRight(std::int64_t value, std::int64_t count)
{
    unsigned n = static_cast<unsigned>(count) & 0xFF;
    return n >= 64 ? (value < 0 ? -1 : 0) : value >> n;
}

std::int64_t shiftRightUnsigned(std::int64_t value, std::int64_t count)
{
    unsigned n = static_cast<unsigned>(count) & 0xFF;
    return n >= 64 ? 0 : wrap(static_cast<std::uint64_t>(value) >> n);
}

ScriptValue arithmetic(ScriptContext& ctx, ArithOp op, ScriptValue& a0, ScriptValue& b0)
{
    if (op == ArithOp::Add && (a0.kind == ValueKind::String || b0.kind == ValueKind::String)) {
        a0 = ScriptValue::ofString(toString(ctx, a0));
        b0 = ScriptValue::ofString(toString(ctx, b0));
        return ScriptValue::ofString(concatStrings(ctx, *a0.string, *b0.string));
    }
    ScriptValue a = numeric(ctx, a0);
    ScriptValue b = numeric(ctx, b0);
    if (a.kind == ValueKind::NaN || b.kind == ValueKind::NaN)
        return ScriptValue::nan();
    if (a.kind == ValueKind::Integer && b.kind == ValueKind::Integer) {
        auto x = static_cast<std::uint64_t>(a.integer), y = static_cast<std::uint64_t>(b.integer);
        switch (op) {
        case ArithOp::Add: return ScriptValue::ofInt(wrap(x + y));
        case ArithOp::Sub: return ScriptValue::ofInt(wrap(x - y));
        case ArithOp::Mul: return ScriptValue::ofInt(wrap(x * y));
        case ArithOp::Div: return divide(static_cast<double>(a.integer), static_cast<double>(b.integer));
        case ArithOp::Mod:
            if (b.integer == 0)
                return ScriptValue::nan();
            if (b.integer == -1) // INT64_MIN % -1 traps on x86
                return ScriptValue::ofInt(0);
            return ScriptValue::ofInt(a.integer % b.integer);
        }
    }
    double x = asDouble(a), y = asDouble(b);
    switch (op) {
    case ArithOp::Add: return ScriptValue::ofFloat(x + y);
    case ArithOp::Sub: return ScriptValue::ofFloat(x - y);
    case ArithOp::Mul:
        if ((x == 0 && std::isinf(y)) || (std::isinf(x) && y == 0))
            return ScriptValue::nan();
        return ScriptValue::ofFloat(x * y);
    case ArithOp::Div: return divide(x, y);
    case ArithOp::Mod: return remainder(x, y);
    }
    return ScriptValue::nan();
}

ScriptValue bitwise(ScriptContext& ctx, BitOp op, const ScriptValue& a, const ScriptValue& b)
{
    bool shift = op == BitOp::Shl || op == BitOp::Shr || op == BitOp::Ushr;
    std::int64_t x = toInteger64(ctx, a);
    std::int64_t y = shift && b.kind != ValueKind::Integer ? toInteger32(ctx, b) : toInteger64(ctx, b);
    switch (op) {
    case BitOp::And: return ScriptValue::ofInt(x & y);
    case BitOp::Or: return ScriptValue::ofInt(x | y);
    case BitOp::Xor: return ScriptValue::ofInt(x ^ y);
    case BitOp::Shl: return ScriptValue::ofInt(shiftLeft(x, y));
    case BitOp::Shr: return ScriptValue::ofInt(shiftRight(x, y));
    case BitOp::Ushr: return ScriptValue::ofInt(shiftRightUnsigned(x, y));
    }
    return ScriptValue::ofInt(0);
}

ScriptValue negate(ScriptContext& ctx, const ScriptValue& a0)
{
    ScriptValue a = numeric(ctx, a0);
    if (a.kind == ValueKind::Integer)
        return ScriptValue::ofInt(wrap(0 - static_cast<std::uint64_t>(a.integer)));
    if (a.kind == ValueKind::Float)
        return ScriptValue::ofFloat(-a.number);
    return a;
}

ScriptValue compare(ScriptContext& ctx, CompareOp op, const ScriptValue& a0, const ScriptValue& b0)
{
    int order;
    if (a0.kind == ValueKind::String && b0.kind == ValueKind::String) {
        order = compareStrings(*a0.string, *b0.string);
    } else {
        ScriptValue a = numeric(ctx, a0);
        ScriptValue b = numeric(ctx, b0);
        if (a.kind == ValueKind::NaN || b.kind == ValueKind::NaN)
            return ScriptValue::undefined();
        if (a.kind == ValueKind::Integer && b.kind == ValueKind::Integer) {
            order = a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
        } else {
            double x = asDouble(a), y = asDouble(b);
            if (std::isnan(x) || std::isnan(y))
                return ScriptValue::ofBool(false);
            order = x < y ? -1 : x > y ? 1 : 0;
        }
    }
    switch (op) {
    case CompareOp::Lt: return ScriptValue::ofBool(order < 0);
    case CompareOp::Le: return ScriptValue::ofBool(order <= 0);
    case CompareOp::Gt: return ScriptValue::ofBool(order > 0);
    case CompareOp::Ge: return ScriptValue::ofBool(order >= 0);
    }
    return ScriptValue::undefined();
}

bool strictEquals(const ScriptValue& a, const ScriptValue& b)
{
    if (a.kind != b.kind) {
        if (a.kind == ValueKind::Integer && b.kind == ValueKind::Float)
            return static_cast<double>(a.integer) == b.number;
        if (a.kind == ValueKind::Float && b.kind == ValueKind::Integer)
            return a.number == static_cast<double>(b.integer);
        return false;
    }
    switch (a.kind) {
    case ValueKind::Undefined:
    case ValueKind::Null: return true;
    case ValueKind::Boolean: return a.boolean == b.boolean;
    case ValueKind::Integer: return a.integer == b.integer;
    case ValueKind::Float: return a.number == b.number;
    case ValueKind::String: return a.string == b.string || compareStrings(*a.string, *b.string) == 0;
    case ValueKind::Array: return a.array == b.array;
    case ValueKind::Object: return a.object == b.object;
    case ValueKind::Function: return a.closure == b.closure;
    case ValueKind::Native: return a.native->cls == b.native->cls && a.native->data == b.native->data;
    default: return false;
    }
}

bool looseEquals(ScriptContext& ctx, const ScriptValue& a0, const ScriptValue& b0)
{
    ScriptValue a = a0, b = b0;
    for (int round = 0; round < 4 && a.kind != b.kind; ++round) {
        auto nullish = [](ValueKind k) { return k == ValueKind::Undefined || k == ValueKind::Null; };
        if (nullish(a.kind) && nullish(b.kind))
            return true;
        if (a.isNumeric() && b.isNumeric()) {
            if (a.kind == ValueKind::NaN || b.kind == ValueKind::NaN)
                return false;
            return asDouble(a) == asDouble(b);
        }
        if (isEqualityPrimitive(a.kind) && isEqualityPrimitive(b.kind)) {
            a = toNumber(ctx, a);
            b = toNumber(ctx, b);
            if (a.kind == ValueKind::NaN || b.kind == ValueKind::NaN)
                return false;
            if (a.kind == ValueKind::Integer && b.kind == ValueKind::Integer)
                return a.integer == b.integer;
            return asDouble(a) == asDouble(b);
        }
        if (a.kind == ValueKind::Object && isEqualityPrimitive(b.kind))
            a = toPrimitive(ctx, a, PrimitiveHint::None);
        else if (b.kind == ValueKind::Object && isEqualityPrimitive(a.kind))
            b = toPrimitive(ctx, b, PrimitiveHint::None);
        else
            return false;
    }
    return a.kind == b.kind && strictEquals(a, b);
}

ScriptValue typeOf(ScriptContext& ctx, const ScriptValue& v)
{
    std::u16string_view text;
    switch (v.kind) {
    case ValueKind::Undefined: text = u"undefined"; break;
    case ValueKind::Null:
    case ValueKind::Array:
    case ValueKind::Object:
    case ValueKind::Native: text = u"object"; break;
    case ValueKind::Boolean: text = u"boolean"; break;
    case ValueKind::Integer:
    case ValueKind::Float:
    case ValueKind::NaN: text = u"number"; break;
    case ValueKind::String: text = u"string"; break;
    case ValueKind::Function: text = u"function"; break;
    default: text = u""; break;
    }
    return ScriptValue::ofString(newStaticString(ctx, text));
}

} // namespace orvet
