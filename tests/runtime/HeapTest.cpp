// The allocator, the collector's roots and finalizers.
#include <cstring>

#include <gtest/gtest.h>

#include "script/runtime/Collector.h"
#include "script/runtime/NativeClass.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptObject.h"
#include "script/runtime/ScriptString.h"

namespace orvet {
namespace {

TEST(ScriptHeap, RoundsToPowersOfTwoAndReusesFreedBlocks)
{
    ScriptContext ctx;
    void* a = ctx.heap.allocate(20);
    EXPECT_EQ(ScriptHeap::blockSize(a), 32u);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(a) % 8, 0u);
    ctx.heap.free(a);
    EXPECT_EQ(ctx.heap.allocate(32), a);
}

TEST(ScriptHeap, ResizeKeepsLargeEnoughBlocksAndCopiesOthers)
{
    ScriptContext ctx;
    auto* block = static_cast<char*>(ctx.heap.allocate(16));
    std::memcpy(block, "0123456789abcde", 16);
    EXPECT_EQ(ctx.heap.resize(block, 12), block);
    auto* moved = static_cast<char*>(ctx.heap.resize(block, 100));
    EXPECT_NE(moved, block);
    EXPECT_STREQ(moved, "0123456789abcde");
}

TEST(ScriptHeap, BlocksLargerThanAChunkGetTheirOwnChunk)
{
    ScriptContext ctx;
    std::size_t before = ctx.heap.totalBytes();
    void* big = ctx.heap.allocate(300000);
    EXPECT_GE(ScriptHeap::blockSize(big), 300000u);
    EXPECT_GE(ctx.heap.totalBytes(), before + 300000);
}

TEST(ScriptHeap, LargeBlocksGrowKeepingTheirBytesAndGoBackToTheSystem)
{
    ScriptContext ctx;
    const std::size_t before = ctx.heap.totalBytes();
    auto* block = static_cast<unsigned char*>(ctx.heap.allocate(1000000));
    EXPECT_GE(ScriptHeap::blockSize(block), 1000000u);
    EXPECT_LT(ScriptHeap::blockSize(block), 1000000u + 4096); // not rounded to 2^20
    for (std::size_t i = 0; i < 1000000; ++i)
        block[i] = static_cast<unsigned char>(i * 7);
    block = static_cast<unsigned char*>(ctx.heap.resize(block, 3000000));
    EXPECT_GE(ScriptHeap::blockSize(block), 3000000u);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < 1000000; ++i)
        wrong += block[i] != static_cast<unsigned char>(i * 7);
    EXPECT_EQ(wrong, 0u);
    EXPECT_GE(ctx.heap.totalBytes(), before + 3000000);
    ctx.heap.free(block);
    EXPECT_EQ(ctx.heap.totalBytes(), before);
}

TEST(Collector, ALargeArrayLivesWhileReachableAndItsStorageIsReturnedAfter)
{
    ScriptContext ctx;
    const std::size_t before = ctx.heap.totalBytes();
    ScriptArray* a = newArray(ctx);
    for (std::int64_t i = 0; i < 200000; ++i)
        arrayPut(ctx, *a, static_cast<std::uint64_t>(i), ScriptValue::ofInt(i * 3));
    ctx.global(ctx.intern("big")) = ScriptValue::ofArray(a);
    collect(ctx);
    std::int64_t wrong = 0;
    for (std::int64_t i = 0; i < 200000; ++i) {
        const ScriptValue* v = arrayGet(*a, static_cast<std::uint64_t>(i));
        wrong += !v || v->integer != i * 3;
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_GE(ctx.heap.totalBytes(), before + 200000 * sizeof(ScriptValue));

    ctx.global(ctx.intern("big")) = ScriptValue::undefined();
    collect(ctx);
    EXPECT_LT(ctx.heap.totalBytes(), before + 200000 * sizeof(ScriptValue));
}

int finalized = 0;
void countFinalizer(ScriptContext&, void*) { ++finalized; }

TEST(Collector, FinalizersRunExactlyOnce)
{
    finalized = 0;
    {
        ScriptContext ctx;
        ctx.heap.allocateWithFinalizer(24, countFinalizer);
        collect(ctx);
        EXPECT_EQ(finalized, 1);
        collect(ctx);
        EXPECT_EQ(finalized, 1);
    }
    EXPECT_EQ(finalized, 1);
}

TEST(Collector, DestroyingTheContextFinalizesLiveBlocks)
{
    finalized = 0;
    {
        ScriptContext ctx;
        ctx.heap.allocateWithFinalizer(24, countFinalizer);
        ctx.heap.allocateWithFinalizer(24, countFinalizer);
    }
    EXPECT_EQ(finalized, 2);
}

TEST(Collector, KeepsWhatGlobalsReachAndFreesTheRest)
{
    ScriptContext ctx;
    ScriptObject* kept = newObject(ctx);
    setProperty(ctx, kept, ctx.intern("s"), ScriptValue::ofString(newString(ctx, u"kept")));
    ctx.global(ctx.intern("root")) = ScriptValue::ofObject(kept);
    ScriptObject* dropped = newObject(ctx);
    collect(ctx);
    EXPECT_FALSE(ScriptHeap::isMarked(kept)); // marks are cleared by the sweep
    ScriptValue s;
    ASSERT_TRUE(getProperty(kept, ctx.intern("s"), s));
    EXPECT_EQ(toAnsi(*s.string), "kept");
    // The dropped object's block went back to a free list: allocating the
    // same size again may reuse it, and the heap counts it as free.
    EXPECT_GT(ctx.heap.freeBytes(), 0u);
    (void)dropped;
}

TEST(Collector, AMillionObjectChainIsMarkedWithoutRecursion)
{
    ScriptContext ctx;
    Atom next = ctx.intern("next");
    ScriptObject* head = newObject(ctx);
    ScriptObject* tail = head;
    for (int i = 0; i < 1000000; ++i) {
        ScriptObject* o = newObject(ctx);
        setProperty(ctx, tail, next, ScriptValue::ofObject(o));
        tail = o;
    }
    ctx.global(ctx.intern("head")) = ScriptValue::ofObject(head);
    collect(ctx);
    std::size_t liveFree = ctx.heap.freeBytes();
    // Walk the chain: every object survived.
    int length = 0;
    ScriptValue v = ScriptValue::ofObject(head);
    while (getProperty(v.object, next, v))
        ++length;
    EXPECT_EQ(length, 1000000);

    ctx.global(ctx.intern("head")) = ScriptValue::undefined();
    collect(ctx);
    EXPECT_GT(ctx.heap.freeBytes(), liveFree + 1000000 * 32);
}

struct Tracked {
    int* destroyed;
};
int classFinalizedAfterData = 0;

TEST(Collector, NativeDataDiesBeforeItsClass)
{
    int destroyed = 0;
    classFinalizedAfterData = 0;
    {
        ScriptContext ctx;
        NativeClass* cls = newClass(ctx);
        cls->userData = &destroyed;
        cls->destroyData = [](ScriptContext&, NativeClass& c, void* data) {
            ++*static_cast<int*>(c.userData);
            delete static_cast<Tracked*>(data);
        };
        cls->finalize = [](void* userData) { classFinalizedAfterData = *static_cast<int*>(userData); };
        newInstance(ctx, cls, new Tracked{&destroyed});
        newInstance(ctx, cls, new Tracked{&destroyed});
    }
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(classFinalizedAfterData, 2);
}

TEST(Collector, NativeMarkCallbackKeepsValuesAlive)
{
    ScriptContext ctx;
    NativeClass* cls = newClass(ctx);
    auto* held = new ScriptValue(ScriptValue::ofString(newString(ctx, u"held")));
    cls->markData = [](ScriptContext& c, NativeClass&, void* data) {
        if (data)
            markValue(c, *static_cast<ScriptValue*>(data));
    };
    cls->destroyData = [](ScriptContext&, NativeClass&, void* data) { delete static_cast<ScriptValue*>(data); };
    ctx.global(ctx.intern("n")) = newInstance(ctx, cls, held);
    collect(ctx);
    // A new string of the same size must not land on the held one.
    ScriptString* other = newString(ctx, u"xxxx");
    EXPECT_NE(other, held->string);
    EXPECT_EQ(toAnsi(*held->string), "held");
}

// A class with no instance at all still has its null-data markData called in
// every collection: what the class keeps in its own storage stays.
TEST(Collector, EveryClassMarksWhatItKeepsEvenWithoutInstances)
{
    ScriptContext ctx;
    NativeClass* cls = newClass(ctx);
    ScriptValue kept = ScriptValue::ofString(newString(ctx, u"kept by the class"));
    cls->userData = &kept;
    cls->markData = [](ScriptContext& c, NativeClass& self, void* data) {
        if (!data)
            markValue(c, *static_cast<ScriptValue*>(self.userData));
    };
    collect(ctx);
    collect(ctx);
    ScriptString* other = newString(ctx, u"xxxxxxxxxxxxxxxxx");
    EXPECT_NE(other, kept.string);
    EXPECT_EQ(toAnsi(*kept.string), "kept by the class");
}

} // namespace
} // namespace orvet
