// The conversions between value kinds that every part of the runtime uses.
// Conversions of objects call their "toString"/"valueOf" methods (running
// script code), so callers inside the interpreter save the stack pointer
// first and keep the operands on the stack.
#pragma once

#include <cstdint>

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;
struct ScriptString;

enum class PrimitiveHint { None, Number, String };

bool toBoolean(const ScriptValue& value);
// An Integer, Float or NaN.
ScriptValue toNumber(ScriptContext& ctx, const ScriptValue& value);
ScriptString* toString(ScriptContext& ctx, const ScriptValue& value);
// Raises "Can't convert to primitive type" where no conversion exists.
ScriptValue toPrimitive(ScriptContext& ctx, const ScriptValue& value, PrimitiveHint hint);
// Raises "Can't convert to object" for Undefined, Null and internal kinds.
ScriptValue toObject(ScriptContext& ctx, const ScriptValue& value);
std::int64_t toInteger64(ScriptContext& ctx, const ScriptValue& value);
std::int32_t toInteger32(ScriptContext& ctx, const ScriptValue& value);
// A finite double truncated toward zero; out-of-range values give INT64_MIN
// as the x86 conversion does.
std::int64_t truncateToInt64(double d);

} // namespace orvet
