#include "host/ApplicationClass.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>

#include "host/CommandLineItems.h"
#include "host/HostArguments.h"
#include "host/HostPlayer.h"
#include "host/ScriptTimers.h"
#include "host/SettingsObjects.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/EngineCalls.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/Collector.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptArray.h"
#include "script/runtime/ScriptObject.h"

namespace lumbra::host {

using orvet::Atom;
using orvet::NativeClass;
using orvet::ScriptContext;
using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

// Member names, in the order of the enumeration below.
enum Member {
    ToString, GetBasePath, SetBasePath, Associate, SetInterval, ClearInterval, TraceToFile, SendMessage,
    SetDragRegion, About,
    Appearance, SizeAndPos, Interaction, Behaviour, SysTray, CmdLine, CmdItems, Cursor, TraceWnd,
    CaptureMouse, SetFocus, IsScr, IsPreview, OnGetMovie, OnGetFlashPlayer, OnMovieLoaded,
};

constexpr int kHookCount = 3; // OnGetMovie, OnGetFlashPlayer, OnMovieLoaded

struct ApplicationData : HostClassData {
    std::unique_ptr<ScriptTimers> timers;
    ScriptValue hooks[kHookCount]; // Null or a Function each
};

ApplicationData& dataOf(const NativeClass& cls)
{
    return orvet::MemberAtoms::of<ApplicationData>(cls);
}

void newApplicationValue(ScriptContext& ctx, NativeClass& cls, ScriptValue* result)
{
    *result = orvet::newInstance(ctx, &cls, nullptr);
}

void applicationCall(ScriptContext& ctx, NativeClass& cls, void*, ScriptValue* result, ScriptValue*)
{
    newApplicationValue(ctx, cls, result);
}

void applicationConstruct(ScriptContext& ctx, NativeClass& cls, ScriptValue*, ScriptValue* result)
{
    newApplicationValue(ctx, cls, result);
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool isFolder(const std::string& path)
{
    std::error_code error;
    return !path.empty() && std::filesystem::is_directory(std::filesystem::path(path), error);
}

bool equalNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

// The folder that "setBasePath" names, or none.
std::optional<std::string> baseFolder(HostPlayer& player, const std::optional<std::string>& choice)
{
    if (!choice) {
        std::string folder = folderOf(player.exePath());
        return folder.empty() ? std::nullopt : std::optional(folder);
    }
    if (equalNoCase(*choice, "movies")) {
        const std::vector<std::string> movies = player.moviePaths();
        if (movies.empty())
            return std::nullopt;
        std::string folder = folderOf(movies.front());
        return folder.empty() ? std::nullopt : std::optional(folder);
    }
    if (equalNoCase(*choice, "attachments"))
        return player.attachmentsFolder();
    return isFolder(*choice) ? choice : std::nullopt;
}

// The base URL of a folder: forward slashes, one at the end, "file:///" in front.
std::string baseUrl(std::string folder)
{
    std::replace(folder.begin(), folder.end(), '\\', '/');
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return "file:///" + folder;
}

void setBasePath(HostPlayer& player, const Arguments& a)
{
    if (a.count() >= 1 && !a.is(1, ValueKind::String))
        return;
    FlashControl* control = player.flashControl();
    if (!control)
        return;
    if (auto folder = baseFolder(player, a.text(1)))
        control->put(u"Base", orvet::ansiToUtf16(baseUrl(*folder)));
}

bool associate(HostPlayer& player, const std::string& extension, const std::string& typeName)
{
    const std::string program = player.exePath();
    if (!player.writeClassesRootDefault(typeName + "\\DefaultIcon", program + ",1"))
        return false;
    if (!player.writeClassesRootDefault(typeName + "\\shell\\open\\command", program + " \"%1\""))
        return false;
    const std::optional<std::string> current = player.readClassesRootDefault(extension);
    if (current && !current->empty() && *current == typeName)
        return true;
    return player.writeClassesRootDefault(extension, typeName);
}

// setInterval(function, ms, args...) or setInterval(target, "method", ms, args...).
ScriptValue setInterval(ScriptContext& ctx, ApplicationData& data, const Arguments& a)
{
    int firstExtra;
    std::string method;
    std::int64_t interval;
    if (a.count() >= 2 && a.is(1, ValueKind::Function) && a.integer(2)) {
        interval = *a.integer(2);
        firstExtra = 3;
    } else if (a.count() >= 3 && a.is(2, ValueKind::String) && a.integer(3)) {
        method = *a.text(2);
        interval = *a.integer(3);
        firstExtra = 4;
    } else {
        return ScriptValue::ofInt(0);
    }
    if (interval < 0 || interval > 0x7fffffff)
        return ScriptValue::ofInt(0);
    std::vector<ScriptValue> extra;
    for (int i = firstExtra; i <= a.count(); ++i)
        extra.push_back(*a.get(i));
    const unsigned id = data.timers->start(*a.get(1), std::move(method), static_cast<unsigned>(interval), std::move(extra));
    return ScriptValue::ofInt(id);
}

// A mask file of the working folder: a u32 byte count, then that many bytes
// of RGNDATA. None when the file is missing or shorter than it says.
std::optional<std::vector<std::uint8_t>> readMask(HostPlayer& player, const std::string& name)
{
    std::ifstream in(player.workingFolder() + name + ".msk", std::ios::binary);
    std::uint8_t count[4];
    if (!in.read(reinterpret_cast<char*>(count), 4))
        return std::nullopt;
    const std::uint32_t n = count[0] | count[1] << 8 | count[2] << 16 | static_cast<std::uint32_t>(count[3]) << 24;
    constexpr std::uint32_t kHeader = 32, kLimit = 64u << 20;
    if (n < kHeader || n > kLimit)
        return std::nullopt;
    std::vector<std::uint8_t> bytes(n);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), n))
        return std::nullopt;
    return bytes;
}

void setDragRegion(ScriptContext& ctx, HostPlayer& player, const Arguments& a)
{
    HostPlayer::DragRegion region;
    if (a.count() >= 4) {
        int v[4];
        for (int i = 0; i < 4; ++i) {
            const ScriptValue& arg = *a.get(i + 1);
            const ScriptValue number = arg.isNumeric() ? arg : orvet::toNumber(ctx, arg);
            v[i] = number.is(ValueKind::Integer) ? static_cast<int>(number.integer)
                   : number.is(ValueKind::Float) ? static_cast<int>(orvet::truncateToInt64(number.number))
                                                  : 0;
        }
        region = PixelRect{v[0], v[1], v[0] + v[2], v[1] + v[3]};
    } else if (auto name = a.text(1)) {
        if (auto mask = readMask(player, *name))
            region = std::move(*mask);
    }
    player.setDragRegion(region);
}

ScriptValue commandItems(ScriptContext& ctx, HostPlayer& player)
{
    orvet::ScriptArray* items = orvet::newArray(ctx);
    const ScriptValue result = ScriptValue::ofArray(items);
    for (const std::string& item : commandLineItems(player.commandLine()))
        orvet::arrayAppend(ctx, *items, orvet::ansiStringValue(ctx, item));
    return result;
}

void setCursor(HostPlayer& player, const ScriptValue& value)
{
    if (value.is(ValueKind::Null)) {
        player.clearCustomCursor();
        return;
    }
    if (!value.is(ValueKind::String))
        return;
    const std::string name = orvet::toAnsi(*value.string);
    if (equalNoCase(name, "hide")) {
        player.showCursor(false);
        return;
    }
    player.showCursor(true);
    if (!player.setCustomCursor(name)) {
        const std::string extracted = player.additionalFile(name);
        if (!extracted.empty())
            player.setCustomCursor(extracted);
    }
}

int applicationMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    ApplicationData& data = dataOf(cls);
    HostPlayer& player = playerOf(cls);
    const Arguments a(args);
    switch (data.find(name)) {
    case ToString:
        *result = orvet::staticStringValue(ctx, u"[object Application]");
        return 1;
    case GetBasePath: {
        *result = ScriptValue::null();
        FlashControl* control = player.flashControl();
        if (!control)
            return 1;
        const std::optional<ControlValue> base = control->get(u"Base");
        if (base && std::holds_alternative<std::u16string>(*base) && !std::get<std::u16string>(*base).empty())
            *result = orvet::stringValue(ctx, std::get<std::u16string>(*base));
        return 1;
    }
    case SetBasePath:
        setBasePath(player, a);
        return 1;
    case Associate:
        if (auto extension = a.text(1))
            if (auto typeName = a.text(2))
                *result = ScriptValue::ofBool(associate(player, *extension, *typeName));
        return 1;
    case SetInterval:
        *result = setInterval(ctx, data, a);
        return 1;
    case ClearInterval:
        if (auto id = a.integer(1))
            if (*id > 0 && *id <= 0xffffffff)
                data.timers->stop(static_cast<unsigned>(*id));
        return 1;
    case TraceToFile:
        if (auto path = a.text(1))
            player.openTraceFile(*path);
        else
            player.closeTraceFile();
        return 1;
    case SendMessage: {
        auto window = a.integer(1), message = a.integer(2);
        if (!window || !message)
            return 1;
        const std::intptr_t answer =
            player.sendMessage(static_cast<std::intptr_t>(*window), static_cast<unsigned>(*message),
                               static_cast<std::intptr_t>(a.integer(3).value_or(0)),
                               static_cast<std::intptr_t>(a.integer(4).value_or(0)));
        *result = ScriptValue::ofInt(answer);
        return 1;
    }
    case SetDragRegion:
        setDragRegion(ctx, player, a);
        return 1;
    case About:
        player.showAbout();
        return 1;
    default:
        return 0;
    }
}

const char* const kSettingsGlobals[] = {"_Appearance_", "_SizeAndPos_", "_Interaction_", "_Behaviour_", "_Tray_"};

int applicationProperty(ScriptContext& ctx, NativeClass& cls, void*, Atom name, int set, ScriptValue* value)
{
    ApplicationData& data = dataOf(cls);
    HostPlayer& player = playerOf(cls);
    const int member = data.find(name);
    if (member < Appearance)
        return 0;
    if (member >= OnGetMovie) {
        ScriptValue& hook = data.hooks[member - OnGetMovie];
        if (!set)
            *value = hook.is(ValueKind::Function) ? hook : ScriptValue::undefined();
        else if (value->is(ValueKind::Function))
            hook = *value;
        return 1;
    }
    if (set) {
        switch (member) {
        case Cursor:
            setCursor(player, *value);
            break;
        case CaptureMouse:
            player.setMouseCapture(orvet::toBoolean(*value));
            break;
        case SetFocus:
            if (orvet::toBoolean(*value))
                player.takeFocus();
            break;
        default: // read-only
            break;
        }
        return 1;
    }
    switch (member) {
    case Appearance:
    case SizeAndPos:
    case Interaction:
    case Behaviour:
    case SysTray:
        *value = ctx.global(ctx.intern(kSettingsGlobals[member - Appearance]));
        break;
    case CmdLine:
        *value = orvet::ansiStringValue(ctx, player.commandLine());
        break;
    case CmdItems:
        *value = commandItems(ctx, player);
        break;
    case TraceWnd:
        *value = ScriptValue::null();
        break;
    case CaptureMouse:
        *value = ScriptValue::ofBool(player.hasMouseCapture());
        break;
    case SetFocus:
        *value = ScriptValue::ofBool(player.hasFocus());
        break;
    case IsScr:
    case IsPreview:
        *value = ScriptValue::ofBool(false);
        break;
    default: // Cursor reads as Undefined
        *value = ScriptValue::undefined();
        break;
    }
    return 1;
}

void applicationMark(ScriptContext& ctx, NativeClass& cls, void* data)
{
    if (data)
        return;
    ApplicationData& app = dataOf(cls);
    if (app.timers)
        app.timers->mark();
    for (const ScriptValue& hook : app.hooks)
        orvet::markValue(ctx, hook);
}

// The class object dies with the engine: its timers stop with it.
void applicationDestroy(ScriptContext&, NativeClass& cls, void* data)
{
    if (!data && dataOf(cls).timers)
        dataOf(cls).timers->clear();
}

// The Application class of an engine, or null when a script replaced the global.
ApplicationData* applicationOf(orvet::ScriptEngine& engine)
{
    ScriptContext& ctx = *engine.context;
    const Atom atom = ctx.atoms.find("Application");
    if (atom == orvet::AtomTable::kNone)
        return nullptr;
    const ScriptValue& global = ctx.global(atom);
    if (!global.is(ValueKind::Native) || global.native->cls->callMethod != applicationMethod)
        return nullptr;
    return &dataOf(*global.native->cls);
}

} // namespace

void registerApplication(orvet::ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = orvet::newClass(ctx);
    ApplicationData& data = attachHostData<ApplicationData>(
        engine, host, *cls,
        {"toString", "getBasePath", "setBasePath", "associate", "setInterval", "clearInterval", "traceToFile",
         "sendMessage", "setDragRegion", "about", "Appearance", "SizeAndPos", "Interaction", "Behaviour", "SysTray",
         "cmdLine", "cmdItems", "cursor", "traceWnd", "captureMouse", "setFocus", "isScr", "isPreview", "onGetMovie",
         "onGetFlashPlayer", "onMovieLoaded"});
    data.timers = std::make_unique<ScriptTimers>(ctx, *data.player);
    for (ScriptValue& hook : data.hooks)
        hook = ScriptValue::null();
    cls->call = applicationCall;
    cls->construct = applicationConstruct;
    cls->callMethod = applicationMethod;
    cls->accessProperty = applicationProperty;
    cls->markData = applicationMark;
    cls->destroyData = applicationDestroy;
    orvet::registerGlobalClass(ctx, "Application", cls);
    registerSettingsObjects(engine, host);
}

std::optional<std::string> askChoiceHook(orvet::ScriptEngine& engine, ChoiceHook hook)
{
    ApplicationData* data = applicationOf(engine);
    if (!data)
        return std::nullopt;
    const ScriptValue function = data->hooks[hook == ChoiceHook::Movie ? 0 : 1];
    if (!function.is(ValueKind::Function))
        return std::nullopt;
    ScriptContext& ctx = *engine.context;
    ScriptValue args[2] = {ScriptValue::ofInt(1)};
    if (!orvet::Protected(engine, [&](ScriptContext& c) { args[1] = ScriptValue::ofObject(orvet::newObject(c)); }))
        return std::nullopt;
    // The object is rooted by the call while it runs; afterwards only the
    // local holds it, and nothing collects before it is read.
    if (!orvet::CallFunction(ctx, nullptr, function, 2, args) || !orvet::toBoolean(ctx.result))
        return std::nullopt;
    ScriptValue chosen;
    const Atom valueAtom = ctx.atoms.find("value");
    if (valueAtom == orvet::AtomTable::kNone || !orvet::getProperty(args[1].object, valueAtom, chosen) ||
        !chosen.is(ValueKind::String))
        return std::nullopt;
    return orvet::toAnsi(*chosen.string);
}

void notifyMovieLoaded(orvet::ScriptEngine& engine, std::string_view path)
{
    ApplicationData* data = applicationOf(engine);
    if (!data || !data->hooks[2].is(ValueKind::Function))
        return;
    ScriptContext& ctx = *engine.context;
    const ScriptValue function = data->hooks[2];
    ScriptValue args[2] = {ScriptValue::ofInt(1)};
    if (orvet::Protected(engine, [&](ScriptContext& c) { args[1] = orvet::ansiStringValue(c, path); }))
        orvet::CallFunction(ctx, nullptr, function, 2, args);
}

} // namespace lumbra::host
