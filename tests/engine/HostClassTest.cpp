// A host class written from docs/host-classes.md alone: "Keeper" keeps script
// values in its own storage only (per instance and class-wide), reaches its
// host through the registration's pointer, and reports its cleanups there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/runtime/Collector.h"
#include "script/runtime/ScriptArray.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/EngineCalls.h"
#include "script/engine/EngineRun.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/ScriptString.h"

namespace orvet {
namespace {

// What the test host sees of the class.
struct KeeperHost {
    int instancesDestroyed = 0;
    int classCleanups = 0;
};

struct KeeperData : MemberAtoms {
    std::vector<ScriptValue> held; // Keeper.hold(v): class-wide
};

struct Keeper {
    std::vector<ScriptValue> kept; // k.keep(v)
    ScriptValue handler;           // k.onFire
};

enum Member { Hold, Held, All, Keep, Kept, Fire, OnFire };

KeeperHost& hostOf(NativeClass& cls)
{
    return *static_cast<KeeperHost*>(MemberAtoms::of<KeeperData>(cls).host);
}

void keeperConstruct(ScriptContext& ctx, NativeClass& cls, ScriptValue*, ScriptValue* result)
{
    *result = newInstance(ctx, &cls, new Keeper);
}

// The value at args[1] of a list, or Undefined.
ScriptValue at(const std::vector<ScriptValue>& list, const ScriptValue* args)
{
    if (!hasArgument(args, 1) || !args[1].is(ValueKind::Integer) || args[1].integer < 0
        || static_cast<std::size_t>(args[1].integer) >= list.size())
        return ScriptValue::undefined();
    return list[static_cast<std::size_t>(args[1].integer)];
}

int keeperMethod(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, ScriptValue* result,
                 ScriptValue* args)
{
    if (name == kAtomToString) {
        *result = staticStringValue(ctx, u"[object Keeper]");
        return 1;
    }
    KeeperData& classData = MemberAtoms::of<KeeperData>(cls);
    auto* keeper = static_cast<Keeper*>(data);
    switch (classData.find(name)) {
    case Hold:
        if (hasArgument(args, 1))
            classData.held.push_back(args[1]);
        return 1;
    case Held:
        *result = at(classData.held, args);
        return 1;
    case All: {
        ScriptArray* all = newArray(ctx);
        for (const ScriptValue& v : classData.held)
            arrayAppend(ctx, *all, v);
        *result = ScriptValue::ofArray(all);
        return 1;
    }
    case Keep:
        if (keeper && hasArgument(args, 1))
            keeper->kept.push_back(args[1]);
        return 1;
    case Kept:
        if (keeper)
            *result = at(keeper->kept, args);
        return 1;
    default:
        return 0;
    }
}

int keeperProperty(ScriptContext&, NativeClass& cls, void* data, Atom name, int set, ScriptValue* value)
{
    auto* keeper = static_cast<Keeper*>(data);
    if (!keeper || MemberAtoms::of(cls).find(name) != OnFire)
        return 0;
    if (set)
        keeper->handler = *value;
    else
        *value = keeper->handler;
    return 1;
}

void keeperMark(ScriptContext& ctx, NativeClass& cls, void* data)
{
    if (!data) {
        for (const ScriptValue& v : MemberAtoms::of<KeeperData>(cls).held)
            markValue(ctx, v);
        return;
    }
    const auto& keeper = *static_cast<Keeper*>(data);
    for (const ScriptValue& v : keeper.kept)
        markValue(ctx, v);
    markValue(ctx, keeper.handler);
}

void keeperDestroy(ScriptContext&, NativeClass& cls, void* data)
{
    if (!data) {
        MemberAtoms::of<KeeperData>(cls).held.clear();
        ++hostOf(cls).classCleanups;
        return;
    }
    delete static_cast<Keeper*>(data);
    ++hostOf(cls).instancesDestroyed;
}

void registerKeeperClass(ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach<KeeperData>(engine, host, *cls, {"hold", "held", "all", "keep", "kept", "fire", "onFire"});
    cls->construct = keeperConstruct;
    cls->callMethod = keeperMethod;
    cls->accessProperty = keeperProperty;
    cls->markData = keeperMark;
    cls->destroyData = keeperDestroy;
    defineConstant(ctx, "$KEEPER_LIMIT", 3);
    registerGlobalClass(ctx, "Keeper", cls);
}

class HostClass : public ::testing::Test {
protected:
    HostClass()
    {
        HostClasses classes;
        classes.host = &host;
        classes.dataFile = registerKeeperClass;
        engine = CreateEngine({}, classes);
    }

    ScriptContext& ctx() { return *engine->context; }

    std::string text(const char* program)
    {
        EXPECT_EQ(RunSourceText(*engine, program), 1) << program << "\n" << ctx().errorBuffer;
        return ctx().result.is(ValueKind::String) ? toAnsi(*ctx().result.string) : "<not a string>";
    }

    KeeperHost host;
    EnginePtr engine;
};

TEST_F(HostClass, ValuesKeptOnlyByTheClassSurviveAMillionAllocations)
{
    ASSERT_TRUE(engine);
    ASSERT_EQ(RunSourceText(*engine,
                            "Keeper.hold({name: 'class', list: [1, 2, 3]});"
                            "Keeper.hold('s' + $KEEPER_LIMIT);"
                            "var k = new Keeper();"
                            "k.keep({name: 'instance'});"
                            "k.onFire = function () { return 'fired ' + this.kept(0).name; };"
                            "k = null;"),
              1)
        << ctx().errorBuffer;
    // The instance is held by the class, the class's values by nothing a
    // script can see; the class object itself is dropped from the globals.
    ASSERT_EQ(RunSourceText(*engine, "var kk = new Keeper(); kk.keep(1); Keeper.hold(kk); kk = null;"
                                     "var K = Keeper; Keeper = null;"),
              1);
    ASSERT_EQ(RunSourceText(*engine, "for (var i = 0; i < 1000000; i++) junk = {n: i, s: 'x' + i};"), 1)
        << ctx().errorBuffer;
    EXPECT_GT(ctx().heap.collections(), 5u);
    EXPECT_EQ(text("var c = K.held(0); c.name + c.list.join('+')"), "class1+2+3");
    EXPECT_EQ(text("K.held(1)"), "s3");
    EXPECT_EQ(text("K.held(2).kept(0) + ''"), "1");
    EXPECT_EQ(text("var all = K.all(); all.length + ':' + all[1]"), "3:s3");
}

TEST_F(HostClass, HandlersKeptByAnInstanceAreCalledFromHostCode)
{
    ASSERT_TRUE(engine);
    ASSERT_EQ(RunSourceText(*engine, "var k = new Keeper(); k.keep({name: 'kept'});"
                                     "k.onFire = function (n) { return 'fired ' + this.kept(0).name + n; };"
                                     "Keeper.hold(k); k = null;"
                                     "for (var i = 0; i < 200000; i++) junk = [i];"),
              1);
    ASSERT_EQ(RunSourceText(*engine, "Keeper.held(0)"), 1);
    const ScriptValue keeper = ctx().result;
    ASSERT_TRUE(keeper.is(ValueKind::Native));
    ScriptValue handler;
    ASSERT_EQ(Protected(*engine, [&](ScriptContext& c) {
                  keeper.native->cls->accessProperty(c, *keeper.native->cls, keeper.native->data,
                                                     c.intern("onFire"), 0, &handler);
              }),
              1);
    // As a window procedure would: CallValue never throws, a failure is an answer.
    ScriptValue args[2] = {ScriptValue::ofInt(1), ScriptValue::ofInt(7)};
    ASSERT_EQ(CallValue(ctx(), keeper, handler, 2, args), 1) << ctx().errorBuffer;
    EXPECT_EQ(toAnsi(*ctx().result.string), "fired kept7");
    EXPECT_EQ(CallValue(ctx(), keeper, ScriptValue::ofInt(3), 2, args), 0);
}

TEST_F(HostClass, EngineDestructionCleansUpOnce)
{
    ASSERT_TRUE(engine);
    ASSERT_EQ(RunSourceText(*engine, "var a = new Keeper(); var b = new Keeper(); var c = new Keeper();"
                                     "delete a; Keeper.hold(b);"),
              1);
    EXPECT_EQ(host.instancesDestroyed, 1); // the deleted one, at once
    ASSERT_EQ(RunSourceText(*engine, "new Keeper(); new Keeper();"), 1);
    // The first is unreachable at the end of the run; the second is the
    // run's result, which stays until the next run.
    EXPECT_EQ(host.instancesDestroyed, 2);
    EXPECT_EQ(host.classCleanups, 0);
    DestroyEngine(std::move(engine));
    EXPECT_EQ(host.instancesDestroyed, 5);
    EXPECT_EQ(host.classCleanups, 1);
}

} // namespace
} // namespace orvet
