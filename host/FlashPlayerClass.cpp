#include "host/FlashPlayerClass.h"

#include <cmath>
#include <memory>
#include <vector>

#include "host/BoundNames.h"
#include "host/CachedWindowObject.h"
#include "host/FlashPlayerMembers.h"
#include "host/FlashVariables.h"
#include "host/HostArguments.h"
#include "host/MovieInfoObject.h"
#include "host/MovieToWindow.h"
#include "host/HostPlayer.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/Collector.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/ScriptObject.h"

namespace lumbra::host {

using orvet::Atom;
using orvet::NativeClass;
using orvet::ScriptContext;
using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

enum Special {
    ToString, BindData, UnbindData, UnbindAll, UpdateData, GetArray, PutArray, GetObject, PutObject, MovieToWindowMember,
    GetMovieInfo, Window, OnContextMenu,
};

struct FlashPlayerData : HostClassData {
    BoundNames bound;
    std::vector<Atom> propertyAtoms; // in the order of controlProperties()
    std::vector<Atom> methodAtoms;   // in the order of controlMethods()
    NativeClass* movieClip = nullptr;
};

struct MovieClipData : HostClassData {
    FlashPlayerData* flashPlayer = nullptr;
};

FlashPlayerData& dataOf(const NativeClass& cls)
{
    return orvet::MemberAtoms::of<FlashPlayerData>(cls);
}

int indexOf(const std::vector<Atom>& atoms, Atom atom)
{
    for (std::size_t i = 0; i < atoms.size(); ++i)
        if (atoms[i] == atom)
            return static_cast<int>(i);
    return -1;
}

std::u16string nameOf(const ScriptContext& ctx, Atom atom)
{
    return orvet::ansiToUtf16(ctx.nameOf(atom));
}

// --- Control values -----------------------------------------------------------

std::optional<std::int32_t> integerOf(const std::optional<ControlValue>& v)
{
    if (!v)
        return std::nullopt;
    if (auto* i = std::get_if<std::int32_t>(&*v))
        return *i;
    if (auto* b = std::get_if<bool>(&*v))
        return *b ? 1 : 0;
    if (auto* d = std::get_if<double>(&*v); d && std::isfinite(*d))
        return static_cast<std::int32_t>(*d);
    return std::nullopt;
}

std::optional<bool> booleanOf(const std::optional<ControlValue>& v)
{
    if (auto i = integerOf(v))
        return *i != 0;
    return std::nullopt;
}

// Text results: none when the control failed or gave an empty text.
ScriptValue textValue(ScriptContext& ctx, const std::optional<ControlValue>& v)
{
    if (!v || !std::holds_alternative<std::u16string>(*v) || std::get<std::u16string>(*v).empty())
        return ScriptValue::undefined();
    return orvet::stringValue(ctx, std::get<std::u16string>(*v));
}

// --- Properties mapped onto the control -------------------------------------

ScriptValue getControlProperty(ScriptContext& ctx, FlashControl& control, const ControlProperty& p)
{
    const std::optional<ControlValue> v = control.get(p.control);
    switch (p.kind) {
    case PropertyKind::FrameCount:
        return ScriptValue::ofInt(integerOf(v).value_or(-1));
    case PropertyKind::Integer:
        if (auto i = integerOf(v))
            return ScriptValue::ofInt(*i);
        return ScriptValue::undefined();
    case PropertyKind::Boolean:
        if (auto b = booleanOf(v))
            return ScriptValue::ofBool(*b);
        return ScriptValue::undefined();
    case PropertyKind::Text:
        return textValue(ctx, v);
    }
    return ScriptValue::undefined();
}

void setControlProperty(FlashControl& control, const ControlProperty& p, const ScriptValue& value)
{
    switch (p.kind) {
    case PropertyKind::FrameCount:
        return;
    case PropertyKind::Integer:
        if (value.is(ValueKind::Integer))
            control.put(p.control, static_cast<std::int32_t>(value.integer));
        return;
    case PropertyKind::Boolean:
        if (value.is(ValueKind::Boolean) || value.is(ValueKind::Integer))
            control.put(p.control, value.is(ValueKind::Boolean) ? value.boolean != 0 : value.integer != 0);
        return;
    case PropertyKind::Text:
        if (value.is(ValueKind::String))
            control.put(p.control, std::u16string(value.string->view()));
        return;
    }
}

// --- Methods mapped onto the control ------------------------------------------

// The arguments converted for the control, or none when a kind does not match.
std::optional<std::vector<ControlValue>> controlArguments(const ControlMethod& m, const Arguments& a)
{
    if (a.count() < static_cast<int>(m.arguments.size()))
        return std::nullopt;
    std::vector<ControlValue> out;
    for (std::size_t i = 0; i < m.arguments.size(); ++i) {
        const ScriptValue& v = *a.get(static_cast<int>(i) + 1);
        switch (m.arguments[i]) {
        case 'i':
            if (!v.is(ValueKind::Integer))
                return std::nullopt;
            out.emplace_back(static_cast<std::int32_t>(v.integer));
            break;
        case 's':
            if (!v.is(ValueKind::String))
                return std::nullopt;
            out.emplace_back(std::u16string(v.string->view()));
            break;
        default: // 'f'
            if (!v.is(ValueKind::Float))
                return std::nullopt;
            out.emplace_back(v.number);
            break;
        }
    }
    return out;
}

ScriptValue callControlMethod(ScriptContext& ctx, FlashControl& control, const ControlMethod& m, const Arguments& a)
{
    const std::optional<std::vector<ControlValue>> arguments = controlArguments(m, a);
    if (!arguments)
        return ScriptValue::undefined();
    const std::optional<ControlValue> v = control.call(m.control, *arguments);
    switch (m.result) {
    case ResultKind::Success:
        return ScriptValue::ofBool(v.has_value());
    case ResultKind::Frame:
        return ScriptValue::ofInt(integerOf(v).value_or(-1));
    case ResultKind::Integer:
        if (auto i = integerOf(v))
            return ScriptValue::ofInt(*i);
        break;
    case ResultKind::Boolean:
        if (auto b = booleanOf(v))
            return ScriptValue::ofBool(*b);
        break;
    case ResultKind::Text:
        return textValue(ctx, v);
    case ResultKind::Number:
        if (v) {
            if (auto* d = std::get_if<double>(&*v))
                return ScriptValue::ofFloat(*d);
            if (auto i = integerOf(v))
                return ScriptValue::ofFloat(*i);
        }
        break;
    }
    return ScriptValue::undefined();
}

// --- Special methods --------------------------------------------------------------

ScriptValue movieToWindow(ScriptContext& ctx, HostPlayer& player, FlashControl& control, const Arguments& a)
{
    if (a.count() < 4)
        return ScriptValue::undefined();
    double d[4];
    for (int i = 0; i < 4; ++i) {
        const ScriptValue n = orvet::toNumber(ctx, *a.get(i + 1));
        d[i] = n.is(ValueKind::Integer) ? static_cast<double>(n.integer) : n.is(ValueKind::Float) ? n.number : NAN;
    }
    const PixelSize movie = player.movieSize(), client = player.clientSize();
    const int mode = integerOf(control.get(u"ScaleMode")).value_or(0);
    const std::optional<WindowRect> r =
        host::movieToWindow({movie.width, movie.height, client.width, client.height, mode}, {d[0], d[1], d[2], d[3]});
    if (!r)
        return ScriptValue::undefined();
    orvet::ScriptObject* object = orvet::newObject(ctx);
    const ScriptValue result = ScriptValue::ofObject(object);
    const std::pair<const char*, std::int64_t> sides[] = {{"left", r->left}, {"right", r->right}, {"top", r->top}, {"bottom", r->bottom}};
    for (const auto& [name, value] : sides)
        orvet::setProperty(ctx, object, ctx.intern(name), ScriptValue::ofInt(value));
    return result;
}

// The methods that work on the binding tables and the control's variables.
void specialMethod(ScriptContext& ctx, NativeClass& cls, int member, ScriptValue* result, ScriptValue* args)
{
    const Arguments a(args);
    FlashPlayerData& data = dataOf(cls);
    HostPlayer& player = playerOf(cls);
    switch (member) {
    case ToString:
        *result = orvet::staticStringValue(ctx, u"[object FlashPlayer]");
        return;
    case BindData:
    case UnbindData:
        for (int i = 1; i <= a.count(); ++i)
            if (const orvet::ScriptString* name = a.string(i))
                member == BindData ? data.bound.bind(name->view()) : data.bound.unbind(name->view());
        return;
    case UnbindAll:
        data.bound.clear();
        return;
    case GetMovieInfo:
        if (auto path = a.text(1))
            *result = movieInfoObject(ctx, *path);
        return;
    default:
        break;
    }
    FlashControl* control = player.flashControl();
    if (!control)
        return;
    switch (member) {
    case UpdateData:
        updateBoundData(ctx, *control, data.bound, a.count() < 1 || orvet::toBoolean(*a.get(1)));
        break;
    case GetArray:
        if (const orvet::ScriptString* name = a.string(1))
            *result = getArray(ctx, *control, name->view());
        break;
    case GetObject:
        *result = getObject(ctx, *control, args);
        break;
    case PutArray:
        if (a.string(1) && a.is(2, ValueKind::Array))
            putArray(ctx, *control, a.string(1)->view(), *a.get(2)->array);
        break;
    case PutObject:
        if (a.string(1) && a.is(2, ValueKind::Object))
            putObject(ctx, *control, a.string(1)->view(), a.get(2)->object);
        break;
    case MovieToWindowMember:
        *result = movieToWindow(ctx, player, *control, a);
        break;
    default:
        break;
    }
}

int flashPlayerMethod(ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result, ScriptValue* args)
{
    FlashPlayerData& data = dataOf(cls);
    if (const int member = data.find(name); member >= ToString && member <= GetMovieInfo) {
        specialMethod(ctx, cls, member, result, args);
        return 1;
    }
    const int method = indexOf(data.methodAtoms, name);
    if (method < 0)
        return 0;
    if (FlashControl* control = playerOf(cls).flashControl())
        *result = callControlMethod(ctx, *control, controlMethods()[static_cast<std::size_t>(method)], Arguments(args));
    return 1;
}

// A name that is bound gives its box, a clip path a new MovieClip; else none.
int boundProperty(ScriptContext& ctx, FlashPlayerData& data, const std::u16string& name, int set, ScriptValue* value)
{
    if (ScriptValue* box = data.bound.box(name)) {
        if (set)
            *box = *value;
        else
            *value = *box;
        return 1;
    }
    if (!set && data.bound.isClip(name) && data.movieClip) {
        // The instance owns its path from here on (movieClipDestroy).
        *value = orvet::newInstance(ctx, data.movieClip, std::make_unique<std::u16string>(name).release());
        return 1;
    }
    return 0;
}

// The Flash player window as one "Window" object, and the right-button
// handler kept in that window's routing record (so the object, held by its
// global, keeps the handler alive).
int playerWindowProperty(ScriptContext& ctx, HostPlayer& player, int member, int set, ScriptValue* value)
{
    if (!set && member == OnContextMenu) {
        *value = ScriptValue::undefined();
        return 1;
    }
    if (set && member == Window)
        return 1;
    const ScriptValue window =
        cachedWindowObject(ctx, player, "$_LUMBRA_FLASHPLAYER_WINDOW_", player.flashWindow());
    if (!set)
        *value = window;
    else
        player.setRightButtonHandler(window, *value);
    return 1;
}

int flashPlayerProperty(ScriptContext& ctx, NativeClass& cls, void*, Atom name, int set, ScriptValue* value)
{
    FlashPlayerData& data = dataOf(cls);
    HostPlayer& player = playerOf(cls);
    const int member = data.find(name);
    if (member == Window || member == OnContextMenu)
        return playerWindowProperty(ctx, player, member, set, value);
    if (const int p = indexOf(data.propertyAtoms, name); p >= 0) {
        const ControlProperty& property = controlProperties()[static_cast<std::size_t>(p)];
        FlashControl* control = player.flashControl();
        if (!control) {
            if (!set)
                *value = ScriptValue::undefined();
        } else if (set) {
            setControlProperty(*control, property, *value);
        } else {
            *value = getControlProperty(ctx, *control, property);
        }
        return 1;
    }
    if (member >= 0)
        return 0; // a method read as a property
    if (boundProperty(ctx, data, nameOf(ctx, name), set, value))
        return 1;
    return set ? 1 : 0; // other names cannot be set
}

void flashPlayerMark(ScriptContext& ctx, NativeClass& cls, void* data)
{
    if (data)
        return;
    dataOf(cls).bound.forEach([&](BoundNames::Bound& entry) { orvet::markValue(ctx, entry.box); });
}

// --- MovieClip --------------------------------------------------------------------

int movieClipMethod(ScriptContext& ctx, NativeClass&, void*, Atom name, ScriptValue* result, ScriptValue*)
{
    if (name != orvet::kAtomToString)
        return 0;
    *result = orvet::staticStringValue(ctx, u"[object MovieClip]");
    return 1;
}

int movieClipProperty(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, int set, ScriptValue* value)
{
    FlashPlayerData* flashPlayer = orvet::MemberAtoms::of<MovieClipData>(cls).flashPlayer;
    if (!data || !flashPlayer)
        return 0;
    std::u16string full = *static_cast<const std::u16string*>(data);
    full += u'.';
    full += nameOf(ctx, name);
    return boundProperty(ctx, *flashPlayer, full, set, value);
}

void movieClipDestroy(ScriptContext&, NativeClass&, void* data)
{
    std::unique_ptr<std::u16string>(static_cast<std::u16string*>(data));
}

} // namespace

void registerFlashPlayer(orvet::ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = orvet::newClass(ctx);
    FlashPlayerData& data = attachHostData<FlashPlayerData>(
        engine, host, *cls,
        {"toString", "bindData", "unbindData", "unbindAll", "updateData", "getArray", "putArray", "getObject",
         "putObject", "movieToWindow", "getMovieInfo", "window", "onContextMenu"});
    for (const ControlProperty& p : controlProperties())
        data.propertyAtoms.push_back(ctx.intern(p.name));
    for (const ControlMethod& m : controlMethods())
        data.methodAtoms.push_back(ctx.intern(m.name));
    cls->callMethod = flashPlayerMethod;
    cls->accessProperty = flashPlayerProperty;
    cls->markData = flashPlayerMark;
    orvet::registerGlobalClass(ctx, "FlashPlayer", cls);
}

void registerMovieClip(orvet::ScriptEngine& engine, void* host)
{
    ScriptContext& ctx = *engine.context;
    NativeClass* cls = orvet::newClass(ctx);
    MovieClipData& data = attachHostData<MovieClipData>(engine, host, *cls, {"toString"});
    const ScriptValue flashPlayer = ctx.global(ctx.intern("FlashPlayer"));
    if (flashPlayer.is(ValueKind::Native) && flashPlayer.native->cls->callMethod == flashPlayerMethod) {
        data.flashPlayer = &dataOf(*flashPlayer.native->cls);
        data.flashPlayer->movieClip = cls;
    }
    cls->callMethod = movieClipMethod;
    cls->accessProperty = movieClipProperty;
    cls->destroyData = movieClipDestroy;
    orvet::registerGlobalClass(ctx, "MovieClip", cls);
}

} // namespace lumbra::host
