// The arithmetic, comparison and equality operators on script values (the
// general cases; the interpreter handles two Integers inline).
#pragma once

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;

enum class ArithOp { Add, Sub, Mul, Div, Mod };
enum class BitOp { And, Or, Xor, Shl, Shr, Ushr };
enum class CompareOp { Lt, Le, Gt, Ge };

// May run script code (conversions of objects), so the operands must be
// rooted, e.g. stack slots. A string addition replaces them by their string
// conversions, which keeps the first conversion alive while the second runs.
ScriptValue arithmetic(ScriptContext& ctx, ArithOp op, ScriptValue& a, ScriptValue& b);
ScriptValue bitwise(ScriptContext& ctx, BitOp op, const ScriptValue& a, const ScriptValue& b);
ScriptValue negate(ScriptContext& ctx, const ScriptValue& a);
// Boolean, or Undefined when either side is NaN.
ScriptValue compare(ScriptContext& ctx, CompareOp op, const ScriptValue& a, const ScriptValue& b);
bool strictEquals(const ScriptValue& a, const ScriptValue& b);
bool looseEquals(ScriptContext& ctx, const ScriptValue& a, const ScriptValue& b);
// The text of typeof.
ScriptValue typeOf(ScriptContext& ctx, const ScriptValue& v);

// Integer shifts with the count's low byte; 64 or more shifts everything out.
std::int64_t shiftLeft(std::int64_t value, std::int64_t count);
std::int64_t shiftRight(std::int64_t value, std::int64_t count);
std::int64_t shiftRightUnsigned(std::int64_t value, std::int64_t count);

} // namespace orvet
