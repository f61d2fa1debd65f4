#include "host/SettingsObjects.h"

#include "host/TrayObject.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

using orvet::NativeClass;
using orvet::ScriptContext;
using orvet::ScriptValue;

namespace {

void settingsCall(ScriptContext& ctx, NativeClass& cls, void*, ScriptValue* result, ScriptValue*)
{
    *result = orvet::newInstance(ctx, &cls, nullptr);
}

void settingsConstruct(ScriptContext& ctx, NativeClass& cls, ScriptValue*, ScriptValue* result)
{
    *result = orvet::newInstance(ctx, &cls, nullptr);
}

int settingsMethod(ScriptContext& ctx, NativeClass& cls, void* data, orvet::Atom name, ScriptValue* result,
                   ScriptValue* args)
{
    const auto& settings = orvet::MemberAtoms::of<SettingsData>(cls);
    if (name == orvet::kAtomToString) {
        *result = orvet::staticStringValue(ctx, settings.toStringText);
        return 1;
    }
    return settings.methods ? settings.methods(ctx, cls, data, name, result, args) : 0;
}

} // namespace

SettingsData& registerSettingsClass(orvet::ScriptEngine& engine, void* host, const SettingsClass& description)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = orvet::newClass(ctx);
    auto& data = attachHostData<SettingsData>(engine, host, *cls, description.members);
    data.toStringText = description.toStringText;
    data.methods = description.methods;
    data.tray = description.tray;
    cls->call = settingsCall;
    cls->construct = settingsConstruct;
    cls->callMethod = settingsMethod;
    cls->accessProperty = description.property;
    cls->markData = description.mark;
    for (const auto& [name, value] : description.constants)
        orvet::defineConstant(ctx, name, value);
    orvet::registerGlobalClass(ctx, description.global, cls);
    return data;
}

void registerSettingsObjects(orvet::ScriptEngine& engine, void* host)
{
    auto tray = std::make_shared<TrayState>();
    registerAppearance(engine, host);
    registerSizeAndPos(engine, host);
    registerInteraction(engine, host);
    registerBehaviour(engine, host, tray);
    registerTray(engine, host, tray);
}

} // namespace lumbra::host
