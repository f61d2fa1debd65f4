#include "script/engine/builtins/MathClass.h"

#include <cmath>
#include <ctime>
#include <numbers>

#include "script/runtime/Conversions.h"
#include "script/engine/builtins/MathRandom.h"
#include "script/engine/ClassRegistration.h"

namespace orvet {

namespace {

enum Member {
    Abs, Acos, Asin, Atan, Atan2, Ceil, Cos, Exp, Floor, Log, Max, Min, Pow, Random, Round, Sin, Sqrt, Tan,
    E, Ln10, Ln2, Log10e, Log2e, Pi, Sqrt1_2, Sqrt2,
};

using UnaryFunction = double (*)(double);

constexpr UnaryFunction unaryFunction(int member)
{
    switch (member) {
    case Abs: return [](double x) { return std::fabs(x); };
    case Acos: return [](double x) { return std::acos(x); };
    case Asin: return [](double x) { return std::asin(x); };
    case Atan: return [](double x) { return std::atan(x); };
    case Ceil: return [](double x) { return std::ceil(x); };
    case Cos: return [](double x) { return std::cos(x); };
    case Exp: return [](double x) { return std::exp(x); };
    case Floor: return [](double x) { return std::floor(x); };
    case Log: return [](double x) { return std::log(x); };
    case Sin: return [](double x) { return std::sin(x); };
    case Sqrt: return [](double x) { return std::sqrt(x); };
    case Tan: return [](double x) { return std::tan(x); };
    default: return nullptr;
    }
}

// A double result; a NaN becomes the NaN kind, so isNaN and comparisons see it.
ScriptValue floatResult(double d)
{
    return std::isnan(d) ? ScriptValue::nan() : ScriptValue::ofFloat(d);
}

// Argument n as a double, or nothing when it is missing or not a number.
bool numberArgument(ScriptContext& ctx, const ScriptValue* args, int n, double& out)
{
    if (!hasArgument(args, n))
        return false;
    const ScriptValue x = toNumber(ctx, args[n]);
    if (x.is(ValueKind::Integer))
        out = static_cast<double>(x.integer);
    else if (x.is(ValueKind::Float))
        out = x.number;
    else
        return false;
    return !std::isnan(out);
}

ScriptValue extreme(ScriptContext& ctx, const ScriptValue* args, bool largest)
{
    double best = 0;
    for (std::int64_t i = 1; i <= argumentCount(args); ++i) {
        double x;
        if (!numberArgument(ctx, args, static_cast<int>(i), x))
            return ScriptValue::nan();
        if (i == 1 || (largest ? x > best : x < best))
            best = x;
    }
    return argumentCount(args) >= 1 ? ScriptValue::ofFloat(best) : ScriptValue::nan();
}

ScriptValue power(ScriptContext& ctx, const ScriptValue* args)
{
    double x, y;
    if (!numberArgument(ctx, args, 1, x) || !numberArgument(ctx, args, 2, y))
        return ScriptValue::nan();
    const double p = std::pow(x, y);
    // Integers in, an exact integer out; 10 ** -1 stays a Float.
    constexpr double kExactLimit = 9007199254740992.0; // 2^53
    if (args[1].is(ValueKind::Integer) && args[2].is(ValueKind::Integer) && std::fabs(p) < kExactLimit
        && p == std::trunc(p))
        return ScriptValue::ofInt(static_cast<std::int64_t>(p));
    return floatResult(p);
}

// floor(x + 0.5) kept to 32 bits and sign-extended, as the system did.
ScriptValue round(ScriptContext& ctx, const ScriptValue* args)
{
    double x;
    if (!numberArgument(ctx, args, 1, x))
        return ScriptValue::nan();
    if (std::isinf(x))
        return ScriptValue::ofFloat(x);
    const auto low = static_cast<std::uint32_t>(truncateToInt64(std::floor(x + 0.5)));
    return ScriptValue::ofInt(static_cast<std::int32_t>(low));
}

ScriptValue constant(int member)
{
    switch (member) {
    case E: return ScriptValue::ofFloat(std::numbers::e);
    case Ln10: return ScriptValue::ofFloat(std::numbers::ln10);
    case Ln2: return ScriptValue::ofFloat(std::numbers::ln2);
    case Log10e: return ScriptValue::ofFloat(std::numbers::log10e);
    case Log2e: return ScriptValue::ofFloat(std::numbers::log2e);
    case Pi: return ScriptValue::ofFloat(std::numbers::pi);
    case Sqrt1_2: return ScriptValue::ofFloat(std::numbers::sqrt2 / 2);
    default: return ScriptValue::ofFloat(std::numbers::sqrt2);
    }
}

int mathMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    if (name == kAtomToString) {
        *result = staticStringValue(ctx, u"[object Math]");
        return 1;
    }
    const int member = MemberAtoms::of(cls).find(name);
    if (const UnaryFunction f = unaryFunction(member)) {
        double x;
        *result = numberArgument(ctx, args, 1, x) ? floatResult(f(x)) : ScriptValue::nan();
        return 1;
    }
    switch (member) {
    case Atan2: {
        double y, x;
        *result = numberArgument(ctx, args, 1, y) && numberArgument(ctx, args, 2, x)
            ? floatResult(std::atan2(y, x)) : ScriptValue::nan();
        return 1;
    }
    case Max:
    case Min:
        *result = extreme(ctx, args, member == Max);
        return 1;
    case Pow:
        *result = power(ctx, args);
        return 1;
    case Random:
        *result = ScriptValue::ofFloat(nextMathRandom());
        return 1;
    case Round:
        *result = round(ctx, args);
        return 1;
    default:
        return 0;
    }
}

// The constants read as Floats; storing into them is accepted and ignored.
int mathProperty(ScriptContext&, NativeClass& cls, void*, Atom name, int set, ScriptValue* value)
{
    const int member = MemberAtoms::of(cls).find(name);
    if (member < E)
        return 0;
    if (!set)
        *value = constant(member);
    return 1;
}

} // namespace

void registerMathClass(ScriptContext& ctx)
{
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(ctx, *cls,
                        {"abs", "acos", "asin", "atan", "atan2", "ceil", "cos", "exp", "floor", "log", "max", "min",
                         "pow", "random", "round", "sin", "sqrt", "tan", "E", "LN10", "LN2", "LOG10E", "LOG2E", "PI",
                         "SQRT1_2", "SQRT2"});
    cls->callMethod = mathMethod;
    cls->accessProperty = mathProperty;
    registerGlobalClass(ctx, "Math", cls);
    seedMathRandom(static_cast<std::uint32_t>(std::time(nullptr)));
}

} // namespace orvet
