// The allocator, the collector's roots and finalizers.
#include <cstring>

#include <gtest/gtest.h>

#include "script/runtime/Collector.h"
#include "script/runtime/NativeClass.h"
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

} // namespace
} // namespace orvet
