#include "host/TrayObject.h"

#include "host/HostArguments.h"
#include "host/HostPlayer.h"
#include "host/SettingsObjects.h"
#include "script/engine/EngineCalls.h"
#include "script/engine/ScriptEngine.h"
#include "script/runtime/Collector.h"
#include "script/runtime/Conversions.h"

namespace lumbra::host {

using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

enum Member {
    ToString, Add, Remove, ShowBalloonTip, Tip, Icon, BalloonTip, BalloonTitle, BalloonTimeout, BalloonIcon,
    UseDefaultHandler, OnMouseMove, OnLClicked, OnRClicked, OnLDblClicked, OnRDblClicked,
};

// What the system takes of each text (its buffers hold one more character).
constexpr std::size_t kTipLimit = 127, kBalloonLimit = 255, kTitleLimit = 63;

std::string_view cut(const std::string& text, std::size_t limit)
{
    return std::string_view(text).substr(0, limit);
}

TrayState& stateOf(const orvet::NativeClass& cls)
{
    return *orvet::MemberAtoms::of<SettingsData>(cls).tray;
}

int balloonIconOf(const std::string& name)
{
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower == "info" ? 1 : lower == "warning" ? 2 : lower == "error" ? 3 : 0;
}

int trayMethod(orvet::ScriptContext&, orvet::NativeClass& cls, void*, orvet::Atom name, ScriptValue* result,
               ScriptValue*)
{
    HostPlayer& player = playerOf(cls);
    TrayState& tray = stateOf(cls);
    switch (orvet::MemberAtoms::of(cls).find(name)) {
    case Add:
        *result = ScriptValue::ofBool(tray.add(player));
        return 1;
    case Remove:
        *result = ScriptValue::ofBool(tray.remove(player));
        return 1;
    case ShowBalloonTip:
        *result = ScriptValue::ofBool(
            tray.shown && player.showBalloon({cut(tray.balloonTip, kBalloonLimit), cut(tray.balloonTitle, kTitleLimit),
                                              tray.balloonTimeout, tray.balloonIcon}));
        return 1;
    default:
        return 0;
    }
}

int trayProperty(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void*, orvet::Atom name, int set,
                 ScriptValue* value)
{
    HostPlayer& player = playerOf(cls);
    TrayState& tray = stateOf(cls);
    const int member = orvet::MemberAtoms::of(cls).find(name);
    switch (member) {
    case Tip:
    case BalloonTip:
    case BalloonTitle: {
        std::string& text = member == Tip ? tray.tip : member == BalloonTip ? tray.balloonTip : tray.balloonTitle;
        if (!set) {
            *value = orvet::ansiStringValue(ctx, text);
            return 1;
        }
        text = orvet::toAnsi(*orvet::toString(ctx, *value));
        if (member == Tip)
            tray.update(player);
        return 1;
    }
    case Icon:
        if (set && value->is(ValueKind::String)) {
            if (auto icon = player.loadIcon(orvet::toAnsi(*value->string))) {
                tray.icon = std::move(icon);
                tray.update(player);
            }
        }
        return 1; // set only: reads as Undefined
    case BalloonTimeout:
        if (!set)
            *value = ScriptValue::ofInt(tray.balloonTimeout);
        else if (value->is(ValueKind::Integer) && value->integer >= 0 && value->integer <= 0xffffffff)
            tray.balloonTimeout = static_cast<unsigned>(value->integer);
        else if (value->is(ValueKind::Float) && value->number >= 0 && value->number < 4294967296.0)
            tray.balloonTimeout = static_cast<unsigned>(value->number);
        return 1;
    case BalloonIcon:
        if (set && value->is(ValueKind::String))
            tray.balloonIcon = balloonIconOf(orvet::toAnsi(*value->string));
        return 1;
    case UseDefaultHandler:
        if (!set)
            *value = ScriptValue::ofBool(tray.useDefaultHandler);
        else
            tray.useDefaultHandler = orvet::toBoolean(*value);
        return 1;
    case OnMouseMove:
    case OnLClicked:
    case OnRClicked:
    case OnLDblClicked:
    case OnRDblClicked: {
        ScriptValue& handler = tray.handlers[member - OnMouseMove];
        if (!set)
            *value = handler.is(ValueKind::Function) ? handler : ScriptValue::undefined();
        else if (value->is(ValueKind::Function))
            handler = *value;
        return 1;
    }
    default:
        return 0;
    }
}

void trayMark(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void* data)
{
    if (data)
        return;
    for (const ScriptValue& handler : stateOf(cls).handlers)
        orvet::markValue(ctx, handler);
}

} // namespace

bool TrayState::add(HostPlayer& player)
{
    if (shown || !icon)
        return false;
    shown = player.addTrayIcon({icon.get(), cut(tip, kTipLimit)});
    return shown;
}

bool TrayState::remove(HostPlayer& player)
{
    if (!shown)
        return false;
    shown = false;
    return player.removeTrayIcon();
}

void TrayState::update(HostPlayer& player)
{
    if (shown && icon)
        player.modifyTrayIcon({icon.get(), cut(tip, kTipLimit)});
}

void registerTray(orvet::ScriptEngine& engine, void* host, std::shared_ptr<TrayState> tray)
{
    registerSettingsClass(
        engine, host,
        {"_Tray_", u"[object SysTray]",
         {"toString", "add", "remove", "showBalloonTip", "tip", "icon", "balloonTip", "balloonTitle", "balloonTimeout",
          "balloonIcon", "useDefaultHandler", "onMouseMove", "onLClicked", "onRClicked", "onLDblClicked",
          "onRDblClicked"},
         trayProperty,
         trayMethod,
         {},
         std::move(tray),
         trayMark});
}

bool trayMouseMessage(orvet::ScriptEngine& engine, TrayMouse message)
{
    orvet::ScriptContext& ctx = *engine.context;
    const orvet::Atom atom = ctx.atoms.find("_Tray_");
    if (atom == orvet::AtomTable::kNone)
        return false;
    const ScriptValue tray = ctx.global(atom);
    if (!tray.is(ValueKind::Native) || tray.native->cls->markData != trayMark)
        return false;
    TrayState& state = stateOf(*tray.native->cls);
    if (state.useDefaultHandler)
        return false;
    const ScriptValue handler = state.handlers[static_cast<int>(message)];
    if (handler.is(ValueKind::Function)) {
        ScriptValue args[1] = {ScriptValue::ofInt(0)};
        orvet::CallValue(ctx, tray, handler, 1, args);
    }
    return true;
}

} // namespace lumbra::host
