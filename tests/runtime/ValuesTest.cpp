// Conversions between value kinds and the number parser and formatter.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "script/runtime/Conversions.h"
#include "script/runtime/NumberText.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

namespace orvet {
namespace {

class Conversions : public ::testing::Test {
protected:
    std::string str(const ScriptValue& v) { return toAnsi(*toString(ctx, v)); }
    ScriptValue num(std::u16string_view text) { return toNumber(ctx, ScriptValue::ofString(newString(ctx, text))); }

    ScriptContext ctx;
};

TEST_F(Conversions, ToStringOfPrimitives)
{
    EXPECT_EQ(str(ScriptValue::null()), "undefined");
    EXPECT_EQ(str(ScriptValue::undefined()), "undefined");
    EXPECT_EQ(str(ScriptValue::ofBool(true)), "true");
    EXPECT_EQ(str(ScriptValue::ofInt(-42)), "-42");
    EXPECT_EQ(str(ScriptValue::ofFloat(1.0 / 3)), "0.333333");
    EXPECT_EQ(str(ScriptValue::ofFloat(1e21)), "1e+021");
    EXPECT_EQ(str(ScriptValue::ofFloat(1.5e-7)), "1.5e-007");
    EXPECT_EQ(str(ScriptValue::ofFloat(2.0)), "2");
    EXPECT_EQ(str(ScriptValue::ofFloat(std::numeric_limits<double>::infinity())), "1.#INF");
    EXPECT_EQ(str(ScriptValue::nan()), "NaN");
    EXPECT_EQ(str(ScriptValue::ofName(ctx.intern("abc"))), "abc");
}

TEST_F(Conversions, ToStringOfAnObjectWithoutToStringIsObject)
{
    EXPECT_EQ(str(ScriptValue::ofObject(newObject(ctx))), "object");
}

TEST_F(Conversions, ToNumberOfStrings)
{
    ScriptValue v = num(u"  -0x1A");
    ASSERT_EQ(v.kind, ValueKind::Integer);
    EXPECT_EQ(v.integer, -26);
    v = num(u"1e3");
    ASSERT_EQ(v.kind, ValueKind::Float);
    EXPECT_EQ(v.number, 1000.0);
    EXPECT_EQ(num(u"abc").kind, ValueKind::NaN);
    v = num(u"");
    EXPECT_EQ(v.kind, ValueKind::Integer);
    EXPECT_EQ(v.integer, 0);
    EXPECT_EQ(num(u"12abc").integer, 12);
    EXPECT_EQ(num(u"010").integer, 8);
    EXPECT_EQ(num(u"0x1F").integer, 31);
    v = num(u"2.5d2");
    ASSERT_EQ(v.kind, ValueKind::Float);
    EXPECT_EQ(v.number, 250.0);
    v = num(u"-.5");
    ASSERT_EQ(v.kind, ValueKind::Float);
    EXPECT_EQ(v.number, -0.5);
}

TEST_F(Conversions, OverflowingIntegersBecomeFloats)
{
    ScriptValue v = num(u"99999999999999999999");
    ASSERT_EQ(v.kind, ValueKind::Float);
    EXPECT_EQ(v.number, 1e20);
    // 2^64 + 1 in hexadecimal rounds to 2^64.
    v = num(u"0x10000000000000001");
    ASSERT_EQ(v.kind, ValueKind::Float);
    EXPECT_EQ(v.number, 18446744073709551616.0);
    EXPECT_EQ(num(u"9223372036854775807").integer, INT64_MAX);
    v = num(u"1e400");
    EXPECT_TRUE(std::isinf(v.number));
    EXPECT_EQ(num(u"1e-400").number, 0.0);
}

TEST(NumberText, ParseIntegerPrefixWithRadix)
{
    EXPECT_EQ(parseIntegerPrefix(u"1012", 2).value.integer, 5);
    EXPECT_EQ(parseIntegerPrefix(u"017", 0).value.integer, 15);
    EXPECT_EQ(parseIntegerPrefix(u"0x1A", 0).value.integer, 26);
    EXPECT_EQ(parseIntegerPrefix(u"0x1A", 16).value.integer, 26);
    EXPECT_FALSE(parseIntegerPrefix(u"z", 10).ok);
    EXPECT_FALSE(parseIntegerPrefix(u"1", 37).ok);
    // Octal digits beyond 64 bits are converted exactly, then rounded to even.
    ParsedInteger p = parseIntegerPrefix(u"-1000000000000000000001", 8); // -(2^63 + 1)
    ASSERT_EQ(p.value.kind, ValueKind::Float);
    EXPECT_EQ(p.value.number, -9223372036854775808.0);
}

TEST_F(Conversions, ToBoolean)
{
    EXPECT_FALSE(toBoolean(ScriptValue::undefined()));
    EXPECT_FALSE(toBoolean(ScriptValue::nan()));
    EXPECT_FALSE(toBoolean(ScriptValue::ofInt(0)));
    EXPECT_TRUE(toBoolean(ScriptValue::ofFloat(std::nan(""))));
    EXPECT_FALSE(toBoolean(ScriptValue::ofString(newString(ctx, u""))));
    EXPECT_TRUE(toBoolean(ScriptValue::ofString(newString(ctx, u"0"))));
    EXPECT_TRUE(toBoolean(ScriptValue::ofObject(newObject(ctx))));
}

TEST_F(Conversions, ToObjectOfNullIsAnError)
{
    int ok = protectedCall(ctx, [&] { toObject(ctx, ScriptValue::null()); });
    EXPECT_EQ(ok, 0);
    EXPECT_STREQ(ctx.errorBuffer, "Runtime error: Can't convert to object");
}

TEST_F(Conversions, ToObjectOfAStringCopiesIt)
{
    ScriptString* s = newStaticString(ctx, u"abc");
    ScriptValue o = toObject(ctx, ScriptValue::ofString(s));
    ASSERT_EQ(o.kind, ValueKind::String);
    EXPECT_NE(o.string, s);
    EXPECT_FALSE(o.string->isStatic());
    EXPECT_EQ(toAnsi(*o.string), "abc");
}

TEST_F(Conversions, ToInteger)
{
    EXPECT_EQ(toInteger64(ctx, ScriptValue::ofFloat(-3.9)), -3);
    EXPECT_EQ(toInteger64(ctx, ScriptValue::ofFloat(std::numeric_limits<double>::infinity())), 0);
    EXPECT_EQ(toInteger64(ctx, ScriptValue::nan()), 0);
    EXPECT_EQ(toInteger32(ctx, ScriptValue::ofInt(0x100000005)), 5);
    EXPECT_EQ(toInteger64(ctx, ScriptValue::ofString(newString(ctx, u"77"))), 77);
}

TEST_F(Conversions, StringsCompareByCodeUnits)
{
    auto s = [&](std::u16string_view t) { return newString(ctx, t); };
    EXPECT_LT(compareStrings(*s(u"ab"), *s(u"abc")), 0);
    EXPECT_GT(compareStrings(*s(u"b"), *s(u"abc")), 0);
    EXPECT_EQ(compareStrings(*s(u"abc"), *s(u"abc")), 0);
    EXPECT_GT(compareStrings(*s(u"\xE9"), *s(u"z")), 0);
}

} // namespace
} // namespace orvet
