// Objects (slots, prototypes, keyed access, enumeration) and arrays.
#include <gtest/gtest.h>

#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

namespace orvet {
namespace {

class Objects : public ::testing::Test {
protected:
    Atom atom(std::string_view name) { return ctx.intern(name); }
    ScriptValue str(std::u16string_view t) { return ScriptValue::ofString(newString(ctx, t)); }
    std::vector<std::string> names(ScriptObject* o)
    {
        std::vector<std::string> out;
        ScriptValue name;
        for (int i = 0; propertyNameAt(ctx, o, i, name); ++i)
            out.push_back(toAnsi(*name.string));
        return out;
    }

    ScriptContext ctx;
};

TEST_F(Objects, SetGetAndDelete)
{
    ScriptObject* o = newObject(ctx);
    setProperty(ctx, o, atom("a"), ScriptValue::ofInt(1));
    setProperty(ctx, o, atom("a"), ScriptValue::ofInt(2));
    ScriptValue v;
    ASSERT_TRUE(getProperty(o, atom("a"), v));
    EXPECT_EQ(v.integer, 2);
    EXPECT_EQ(o->slotCount, 1u);
    deleteProperty(ctx, o, atom("a"));
    EXPECT_FALSE(getProperty(o, atom("a"), v));
    EXPECT_EQ(v.kind, ValueKind::Undefined);
    deleteProperty(ctx, o, atom("missing"));
}

TEST_F(Objects, ADeletedSlotIsReusedInPlace)
{
    ScriptObject* o = newObject(ctx);
    setProperty(ctx, o, atom("a"), ScriptValue::ofInt(1));
    setProperty(ctx, o, atom("b"), ScriptValue::ofInt(2));
    deleteProperty(ctx, o, atom("a"));
    setProperty(ctx, o, atom("c"), ScriptValue::ofInt(3));
    EXPECT_EQ(o->slotCount, 2u);
    EXPECT_EQ(getByKey(ctx, o, ScriptValue::ofInt(0)).integer, 3);
}

TEST_F(Objects, PrototypeChain)
{
    ScriptObject* proto = newObject(ctx);
    setProperty(ctx, proto, atom("x"), ScriptValue::ofInt(7));
    ScriptObject* o = newObjectWithProto(ctx, ScriptValue::ofObject(proto));
    ScriptValue v;
    ASSERT_TRUE(getProperty(o, atom("x"), v));
    EXPECT_EQ(v.integer, 7);
    // Keyed reads see own properties only.
    EXPECT_EQ(getByKey(ctx, o, str(u"x")).kind, ValueKind::Undefined);
    // obj[0] reads the "__proto__" slot.
    EXPECT_EQ(getByKey(ctx, o, ScriptValue::ofInt(0)).object, proto);
}

TEST_F(Objects, NonObjectPrototypeEndsTheChain)
{
    ScriptObject* o = newObjectWithProto(ctx, ScriptValue::ofInt(5));
    ScriptValue v;
    EXPECT_FALSE(getProperty(o, atom("x"), v));
}

TEST_F(Objects, APrototypeCycleEndsTheSearch)
{
    ScriptObject* a = newObject(ctx);
    ScriptObject* b = newObjectWithProto(ctx, ScriptValue::ofObject(a));
    setProperty(ctx, a, kAtomProto, ScriptValue::ofObject(b));
    ScriptValue v;
    EXPECT_FALSE(getProperty(a, atom("nowhere"), v));
}

TEST_F(Objects, IntegerKeysAddressSlotsAndAppendNamedSlots)
{
    ScriptObject* o = newObject(ctx);
    setByKey(ctx, o, ScriptValue::ofInt(2), ScriptValue::ofInt(9));
    EXPECT_EQ(o->slotCount, 3u);
    EXPECT_EQ(getByKey(ctx, o, ScriptValue::ofInt(2)).integer, 9);
    EXPECT_EQ(getByKey(ctx, o, str(u"2")).integer, 9);
    EXPECT_EQ(getByKey(ctx, o, ScriptValue::ofInt(7)).kind, ValueKind::Undefined);
    EXPECT_EQ(getByKey(ctx, o, ScriptValue::ofFloat(2)).kind, ValueKind::Undefined);
}

TEST_F(Objects, StringKeysUseTheNameIndex)
{
    ScriptObject* o = newObject(ctx);
    setByKey(ctx, o, str(u"name"), ScriptValue::ofInt(1));
    ScriptValue v;
    ASSERT_TRUE(getProperty(o, atom("name"), v));
    EXPECT_EQ(v.integer, 1);
    setProperty(ctx, o, atom("later"), ScriptValue::ofInt(2)); // kept in the built index
    EXPECT_EQ(getByKey(ctx, o, str(u"later")).integer, 2);
    deleteByKey(ctx, o, str(u"name"));
    EXPECT_EQ(getByKey(ctx, o, str(u"name")).kind, ValueKind::Undefined);
    EXPECT_EQ(getByKey(ctx, o, str(u"never-interned")).kind, ValueKind::Undefined);
}

TEST_F(Objects, EnumerationIsInBucketOrderAndIncludesProto)
{
    ScriptObject* o = newObjectWithProto(ctx, ScriptValue::ofObject(newObject(ctx)));
    for (const char* n : {"alpha", "beta", "gamma", "delta"})
        setProperty(ctx, o, atom(n), ScriptValue::ofInt(1));
    std::vector<std::string> got = names(o);
    ASSERT_EQ(got.size(), 5u);
    EXPECT_NE(std::find(got.begin(), got.end(), "__proto__"), got.end());
    // The order follows the name hash, not insertion.
    std::vector<std::string> sorted = got;
    std::sort(sorted.begin(), sorted.end(), [&](const std::string& x, const std::string& y) {
        return (ctx.atoms.hash(atom(x)) & 0x7F) < (ctx.atoms.hash(atom(y)) & 0x7F);
    });
    EXPECT_EQ(got.size(), sorted.size());
    for (std::size_t i = 0; i + 1 < got.size(); ++i)
        EXPECT_LE(ctx.atoms.hash(atom(got[i])) & 0x7F, ctx.atoms.hash(atom(got[i + 1])) & 0x7F);
    ScriptValue none;
    EXPECT_FALSE(propertyNameAt(ctx, o, 5, none));
    EXPECT_FALSE(propertyNameAt(ctx, o, -1, none));
}

TEST_F(Objects, ObjectLiteralsEnumerateOnlyOwnNames)
{
    ScriptObject* o = newObject(ctx);
    setProperty(ctx, o, atom("only"), ScriptValue::ofInt(1));
    EXPECT_EQ(names(o), std::vector<std::string>{"only"});
}

class Arrays : public Objects {};

TEST_F(Arrays, StoringTwiceKeepsOneElementAndDeletingLeavesNone)
{
    ScriptArray* a = newArray(ctx);
    arraySet(ctx, *a, 5, ScriptValue::ofInt(1));
    arraySet(ctx, *a, 5, ScriptValue::ofInt(2));
    EXPECT_EQ(arrayStoredCount(*a), 1u);
    EXPECT_EQ(arrayGet(*a, 5)->integer, 2);
    EXPECT_EQ(arrayGet(*a, 4), nullptr);
    EXPECT_TRUE(arrayErase(ctx, *a, 5));
    EXPECT_FALSE(arrayErase(ctx, *a, 5));
    EXPECT_EQ(arrayStoredCount(*a), 0u);
}

TEST_F(Arrays, FarIndexesStaySparse)
{
    ScriptArray* a = newArray(ctx);
    arraySet(ctx, *a, 0, ScriptValue::ofInt(0));
    arraySet(ctx, *a, 1000000000000ull, ScriptValue::ofInt(1));
    arraySet(ctx, *a, UINT64_MAX, ScriptValue::ofInt(2));
    EXPECT_LT(a->denseSize, 100u);
    EXPECT_EQ(arrayGet(*a, 1000000000000ull)->integer, 1);
    EXPECT_EQ(arrayGet(*a, UINT64_MAX)->integer, 2);
    std::uint64_t index = 0;
    std::vector<std::uint64_t> order;
    for (const ScriptValue* v = arrayNextStored(*a, 0, &index); v; v = arrayNextStored(*a, index + 1, &index)) {
        order.push_back(index);
        if (index == UINT64_MAX)
            break;
    }
    EXPECT_EQ(order, (std::vector<std::uint64_t>{0, 1000000000000ull, UINT64_MAX}));
}

TEST_F(Arrays, FillingBackwardsBecomesDense)
{
    ScriptArray* a = newArray(ctx);
    for (std::uint64_t i = 1000; i-- > 0;)
        arraySet(ctx, *a, i, ScriptValue::ofInt(static_cast<std::int64_t>(i)));
    EXPECT_EQ(a->denseSize, 1000u);
    EXPECT_EQ(a->sparseCount, 0u);
    for (std::uint64_t i = 0; i < 1000; ++i)
        ASSERT_EQ(arrayGet(*a, i)->integer, static_cast<std::int64_t>(i));
}

TEST_F(Arrays, ShiftMovesStoredElements)
{
    ScriptArray* a = newArray(ctx);
    arraySet(ctx, *a, 0, ScriptValue::ofInt(10));
    arraySet(ctx, *a, 2, ScriptValue::ofInt(30));
    arraySet(ctx, *a, 5000, ScriptValue::ofInt(50));
    arrayShift(ctx, *a, 1, 3);
    EXPECT_EQ(arrayGet(*a, 0)->integer, 10);
    EXPECT_EQ(arrayGet(*a, 2), nullptr);
    EXPECT_EQ(arrayGet(*a, 5)->integer, 30);
    EXPECT_EQ(arrayGet(*a, 5003)->integer, 50);
    arrayShift(ctx, *a, 5, -4);
    EXPECT_EQ(arrayGet(*a, 1)->integer, 30);
    EXPECT_EQ(arrayGet(*a, 4999)->integer, 50);
    EXPECT_EQ(arrayStoredCount(*a), 3u);
}

TEST_F(Arrays, TruncateDropsElementsAtAndAboveTheLength)
{
    ScriptArray* a = newArray(ctx);
    for (std::uint64_t i : {0ull, 3ull, 7ull, 100000ull})
        arraySet(ctx, *a, i, ScriptValue::ofInt(1));
    arrayTruncate(ctx, *a, 4);
    EXPECT_EQ(a->length, 4u);
    EXPECT_EQ(arrayStoredCount(*a), 2u);
    EXPECT_EQ(arrayGet(*a, 7), nullptr);
    arraySet(ctx, *a, 7, ScriptValue::ofInt(2)); // no stale element comes back
    EXPECT_EQ(arrayStoredCount(*a), 3u);
}

} // namespace
} // namespace orvet
