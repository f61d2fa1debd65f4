#include "host/win32/DesktopToy.h"

#include "host/win32/DesktopToyMotion.h"
#include "host/win32/PlayerWindow.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/EngineCalls.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/Collector.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptString.h"

#include <memory>

namespace lumbra {

namespace {

using namespace orvet;

enum Member { kFollowCursor, kAct, kStop, kOnStop, kSpriteBounds, kSpriteInfoFrame };

struct DesktopToyClass : MemberAtoms {
    ScriptValue receiver; // the class object, "this" of onStop
    ScriptValue onStop;
    std::u16string spriteBounds, spriteInfoFrame;
    std::unique_ptr<DesktopToyMotion> motion;

    void stopped(POINT corner)
    {
        if (!onStop.is(ValueKind::Function))
            return;
        ScriptValue args[3] = {ScriptValue::ofInt(2), ScriptValue::ofInt(corner.x), ScriptValue::ofInt(corner.y)};
        // A failing handler ends only itself; the motion has stopped either way.
        ScriptContext& ctx = *engine->context;
        if (!CallValue(ctx, receiver, onStop, 3, args))
            ctx.warn(ctx.errorBuffer);
    }
};

DesktopToyClass& toyOf(NativeClass& cls) { return MemberAtoms::of<DesktopToyClass>(cls); }

// act(speed, angle, acceleration, accelerationAngle, damping [, bounce])
void act(DesktopToyClass& toy, const ScriptValue* args)
{
    double numbers[5];
    for (std::int64_t i = 1; i <= 5; ++i) {
        if (!hasArgument(args, i) || !args[i].is(ValueKind::Integer))
            return;
        numbers[i - 1] = double(args[i].integer);
    }
    const bool bounce = hasArgument(args, 6) && toBoolean(args[6]);
    toy.motion->throwWindow(numbers[0], numbers[1], numbers[2], numbers[3], numbers[4], bounce);
}

int desktopToyMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    if (name == kAtomToString) {
        *result = staticStringValue(ctx, u"[object DesktopToy]");
        return 1;
    }
    DesktopToyClass& toy = toyOf(cls);
    if (!toy.motion) // the class object was disposed of
        return 0;
    switch (toy.find(name)) {
    case kAct: act(toy, args); return 1;
    case kStop: toy.motion->stop(); return 1;
    default: return 0;
    }
}

int desktopToyProperty(ScriptContext& ctx, NativeClass& cls, void*, Atom name, int set, ScriptValue* value)
{
    DesktopToyClass& toy = toyOf(cls);
    const int member = toy.motion ? toy.find(name) : -1;
    auto text = [&](std::u16string& kept) {
        if (!set)
            *value = stringValue(ctx, kept);
        else if (value->is(ValueKind::String))
            kept = value->string->view();
    };
    switch (member) {
    case kFollowCursor:
        if (!set)
            *value = ScriptValue::ofBool(toy.motion->mode() == DesktopToyMotion::Mode::FollowCursor);
        else if (toBoolean(*value))
            toy.motion->followCursor();
        else
            toy.motion->stop();
        return 1;
    case kOnStop:
        if (set)
            toy.onStop = *value;
        else
            *value = toy.onStop;
        return 1;
    case kSpriteBounds: text(toy.spriteBounds); return 1;
    case kSpriteInfoFrame: text(toy.spriteInfoFrame); return 1;
    default: return 0;
    }
}

// The class keeps its handler and its own object; with null data the
// engine asks for the class's values.
void markDesktopToy(ScriptContext& ctx, NativeClass& cls, void*)
{
    DesktopToyClass& toy = toyOf(cls);
    markValue(ctx, toy.receiver);
    markValue(ctx, toy.onStop);
}

// The class object dies with the engine: no motion may outlive it.
void destroyDesktopToy(ScriptContext&, NativeClass& cls, void* data)
{
    if (!data)
        toyOf(cls).motion.reset();
}

} // namespace

void registerDesktopToyClass(ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = newClass(ctx);
    auto& toy = MemberAtoms::attach<DesktopToyClass>(
        engine, host, *cls, {"followCursor", "act", "stop", "onStop", "spriteBounds", "spriteInfoFrame"});
    toy.motion = std::make_unique<DesktopToyMotion>([&toy] { return playerMainWindow(toy); },
                                                    [&toy](POINT corner) { toy.stopped(corner); });
    cls->callMethod = desktopToyMethod;
    cls->accessProperty = desktopToyProperty;
    cls->markData = markDesktopToy;
    cls->destroyData = destroyDesktopToy;
    registerGlobalClass(ctx, "DesktopToy", cls);
    toy.receiver = ctx.global(ctx.intern("DesktopToy"));
}

SpriteQuery desktopToySpriteQuery(ScriptEngine& engine)
{
    ScriptContext& ctx = *engine.context;
    const Atom atom = ctx.atoms.find("DesktopToy");
    if (atom == AtomTable::kNone)
        return {};
    const ScriptValue& global = ctx.global(atom);
    if (!global.is(ValueKind::Native) || global.native->cls->callMethod != desktopToyMethod)
        return {};
    const DesktopToyClass& toy = toyOf(*global.native->cls);
    return {utf16ToAnsi(toy.spriteBounds), utf16ToAnsi(toy.spriteInfoFrame)};
}

} // namespace lumbra
