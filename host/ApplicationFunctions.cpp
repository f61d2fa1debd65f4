#include "host/ApplicationFunctions.h"

#include <algorithm>

#include "host/CachedWindowObject.h"
#include "host/HostArguments.h"
#include "host/HostPlayer.h"
#include "host/UriFunctions.h"
#include "package/ProjectSettings.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptArray.h"

namespace lumbra::host {

using orvet::NativeClass;
using orvet::ScriptContext;
using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

using Function = void (*)(ScriptContext& ctx, HostPlayer& player, const Arguments& a, ScriptValue* result);

// One "Window" object for the main window, kept in "$_LUMBRA_MAIN_WINDOW_".
void getMainWnd(ScriptContext& ctx, HostPlayer& player, const Arguments&, ScriptValue* result)
{
    *result = cachedWindowObject(ctx, player, "$_LUMBRA_MAIN_WINDOW_", player.mainWindow());
}

void getAppDir(ScriptContext& ctx, HostPlayer& player, const Arguments&, ScriptValue* result)
{
    std::string path = player.exePath();
    const std::size_t slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return;
    path.resize(slash);
    *result = orvet::ansiStringValue(ctx, path + "\\");
}

void getExeName(ScriptContext& ctx, HostPlayer& player, const Arguments&, ScriptValue* result)
{
    const std::string path = player.exePath();
    if (!path.empty())
        *result = orvet::ansiStringValue(ctx, path);
}

void getMovies(ScriptContext& ctx, HostPlayer& player, const Arguments&, ScriptValue* result)
{
    orvet::ScriptArray* movies = orvet::newArray(ctx);
    *result = ScriptValue::ofArray(movies);
    for (const std::string& path : player.moviePaths())
        orvet::arrayAppend(ctx, *movies, orvet::ansiStringValue(ctx, path));
}

void getAdditionalFile(ScriptContext& ctx, HostPlayer& player, const Arguments& a, ScriptValue* result)
{
    *result = ScriptValue::null();
    if (a.count() < 1)
        return;
    std::string name = orvet::toAnsi(*orvet::toString(ctx, *a.get(1)));
    std::replace(name.begin(), name.end(), '/', '\\');
    const std::string path = player.additionalFile(name);
    if (!path.empty())
        *result = orvet::ansiStringValue(ctx, path);
}

void setWindowless(ScriptContext&, HostPlayer& player, const Arguments& a, ScriptValue*)
{
    ProjectSettings& s = player.settings();
    if (auto mask = a.text(1)) {
        s.shapeMaskFile.assign(*mask);
        s.windowShape = 2;
    } else {
        s.windowShape = a.count() >= 1 && orvet::toBoolean(*a.get(1)) ? 1 : 0;
    }
    player.reapply(HostPlayer::Reapply::Shape);
}

void readProfile(ScriptContext& ctx, HostPlayer& player, const Arguments& a, ScriptValue* result)
{
    auto section = a.text(1), entry = a.text(2);
    if (!section || !entry)
        return;
    const std::optional<std::string> value = player.readProfile(*section, *entry);
    if (value && !value->empty())
        *result = orvet::ansiStringValue(ctx, *value);
}

void writeProfile(ScriptContext& ctx, HostPlayer& player, const Arguments& a, ScriptValue*)
{
    auto section = a.text(1), entry = a.text(2);
    if (!section || !entry || a.count() < 3)
        return;
    player.writeProfile(*section, *entry, orvet::toAnsi(*orvet::toString(ctx, *a.get(3))));
}

void processMsg(ScriptContext&, HostPlayer& player, const Arguments&, ScriptValue* result)
{
    *result = ScriptValue::ofBool(player.processMessages());
}

void invoke(ScriptContext&, HostPlayer& player, const Arguments& a, ScriptValue*)
{
    if (auto name = a.text(1))
        player.invokeScript(*name);
}

// Each global function is a class with only `call`, whose class data holds
// the function and the player.
struct FunctionData : HostClassData {
    Function function = nullptr;
};

void callFunction(ScriptContext& ctx, NativeClass& cls, void*, ScriptValue* result, ScriptValue* args)
{
    const auto& data = orvet::MemberAtoms::of<FunctionData>(cls);
    data.function(ctx, playerOf(cls), Arguments(args), result);
}

} // namespace

void registerApplicationFunctions(orvet::ScriptEngine& engine, void* host)
{
    const std::pair<std::string_view, Function> functions[] = {
        {"getMainWnd", getMainWnd},   {"getAppDir", getAppDir},     {"getExeName", getExeName},       {"getMovies", getMovies},
        {"getAdditionalFile", getAdditionalFile}, {"setWindowless", setWindowless}, {"readProfile", readProfile},
        {"writeProfile", writeProfile}, {"processMsg", processMsg},     {"invoke", invoke},
    };
    ScriptContext& ctx = *engine.context;
    for (const auto& [name, function] : functions) {
        NativeClass* cls = orvet::defineGlobalFunction(ctx, name, callFunction);
        attachHostData<FunctionData>(engine, host, *cls, {}).function = function;
    }
    registerUriFunctions(ctx);
}

} // namespace lumbra::host
