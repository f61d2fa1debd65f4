// "_Behaviour_": the player's menu additions, auto play, the start-up window
// state and the tray icon.
#include "host/HostArguments.h"
#include "host/HostPlayer.h"
#include "host/SettingsObjects.h"
#include "host/TrayObject.h"
#include "package/ProjectSettings.h"
#include "script/runtime/Conversions.h"

namespace lumbra::host {

using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

enum Member { ToString, AllowExtendContextMenu, ExtendContextMenu, AutoPlay, StartMinimized, AlwaysOnTop, ShowInSystemTray };

constexpr std::uint32_t kNoPlayerItems = 0x2, kMenuItems = 0x1111;
constexpr std::uint32_t kAutoPlay = 0x1, kTrayIsAppIcon = 0x2, kStartMinimized = 0x10, kAlwaysOnTop = 0x100,
                        kSystemTray = 0x1000;

std::uint32_t withBit(std::uint32_t flags, std::uint32_t bit, bool on)
{
    return on ? flags | bit : flags & ~bit;
}

void showInSystemTray(HostPlayer& player, TrayState& tray, ProjectSettings& s, bool show)
{
    if (!show) {
        s.behaviourFlags &= ~kSystemTray;
        tray.remove(player);
        return;
    }
    s.behaviourFlags |= kSystemTray | kTrayIsAppIcon;
    if (auto icon = player.applicationIcon())
        tray.icon = std::move(icon);
    tray.tip = player.mainWindowTitle();
    if (tray.shown)
        tray.update(player);
    else
        tray.add(player);
}

int behaviourProperty(orvet::ScriptContext&, orvet::NativeClass& cls, void*, orvet::Atom name, int set,
                      ScriptValue* value)
{
    HostPlayer& player = playerOf(cls);
    ProjectSettings& s = player.settings();
    const int member = orvet::MemberAtoms::of(cls).find(name);
    const bool on = set && orvet::toBoolean(*value);
    switch (member) {
    case AllowExtendContextMenu:
        if (!set) {
            *value = ScriptValue::ofBool(!(s.contextMenuFlags & kNoPlayerItems));
        } else {
            s.contextMenuFlags = withBit(s.contextMenuFlags, kNoPlayerItems, !on);
            player.reapply(HostPlayer::Reapply::Menus);
        }
        return 1;
    case ExtendContextMenu:
        if (!set) {
            *value = ScriptValue::ofInt(s.contextMenuFlags & kMenuItems);
        } else if (value->is(ValueKind::Integer)) {
            // Items are only ever added.
            s.contextMenuFlags |= static_cast<std::uint32_t>(value->integer) & kMenuItems;
            player.reapply(HostPlayer::Reapply::Menus);
        }
        return 1;
    case AutoPlay:
    case StartMinimized:
    case AlwaysOnTop: {
        const std::uint32_t bit = member == AutoPlay ? kAutoPlay : member == StartMinimized ? kStartMinimized : kAlwaysOnTop;
        if (!set) {
            *value = ScriptValue::ofBool(s.behaviourFlags & bit);
        } else {
            s.behaviourFlags = withBit(s.behaviourFlags, bit, on);
            if (member != AutoPlay)
                player.reapply(HostPlayer::Reapply::WindowState);
        }
        return 1;
    }
    case ShowInSystemTray:
        if (!set)
            *value = ScriptValue::ofBool(s.behaviourFlags & kSystemTray);
        else
            showInSystemTray(player, *orvet::MemberAtoms::of<SettingsData>(cls).tray, s, on);
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerBehaviour(orvet::ScriptEngine& engine, void* host, std::shared_ptr<TrayState> tray)
{
    registerSettingsClass(engine, host,
                          {"_Behaviour_", u"[object Behaviour]",
                           {"toString", "bAllowExtendContextMenu", "extendContextMenu", "bAutoPlay", "bStartMinimized",
                            "bAlwaysOnTop", "bShowInSystemTray"},
                           behaviourProperty,
                           nullptr,
                           {{"$CMCONFIGURE", 0x1}, {"$CMFLASHPLAY", 0x10}, {"$CMABOUT", 0x100}, {"$CMHELP", 0x1000}},
                           std::move(tray)});
}

} // namespace lumbra::host
