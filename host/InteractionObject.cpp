// "_Interaction_": what the mouse buttons and keys do, the exit hot key and
// the system restrictions. The button and key settings are read by the main
// window whenever input arrives, so storing them is enough.
#include "host/HostArguments.h"
#include "host/HotKeyText.h"
#include "host/HostPlayer.h"
#include "host/SettingsObjects.h"
#include "package/ProjectSettings.h"
#include "script/runtime/Conversions.h"

namespace lumbra::host {

using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

enum Member { ToString, LBtnClk, RBtnClk, KeyPress, ExitKeys, HotKeyMember, DisableAltTab, DisableCursor, DisableScr };

int interactionProperty(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void*, orvet::Atom name, int set,
                        ScriptValue* value)
{
    HostPlayer& player = playerOf(cls);
    ProjectSettings& s = player.settings();
    const int member = orvet::MemberAtoms::of(cls).find(name);
    switch (member) {
    case LBtnClk:
    case RBtnClk:
    case KeyPress:
    case ExitKeys: {
        std::uint32_t* fields[] = {&s.lBtnClk, &s.rBtnClk, &s.keyPress, &s.exitKeys};
        std::uint32_t& field = *fields[member - LBtnClk];
        if (!set)
            *value = ScriptValue::ofInt(field);
        else if (value->is(ValueKind::Integer))
            field = static_cast<std::uint32_t>(value->integer);
        return 1;
    }
    case HotKeyMember:
        if (!set) {
            const std::string text = hotKeyText({s.hotKeyCode, s.hotKeyModifiers},
                                                [&](std::uint16_t code, bool extended) { return player.keyName(code, extended); });
            *value = orvet::ansiStringValue(ctx, text);
        } else if (value->is(ValueKind::String)) {
            const HotKey key = parseHotKey(orvet::toAnsi(*value->string));
            s.hotKeyCode = key.code;
            s.hotKeyModifiers = key.modifiers;
        }
        return 1;
    case DisableAltTab:
    case DisableCursor:
    case DisableScr: {
        const std::uint32_t bit = member == DisableAltTab ? 0x1 : member == DisableCursor ? 0x10 : 0x100;
        if (!set) {
            *value = ScriptValue::ofBool(s.interactionFlags & bit);
        } else {
            s.interactionFlags = orvet::toBoolean(*value) ? s.interactionFlags | bit : s.interactionFlags & ~bit;
            player.reapply(HostPlayer::Reapply::Restrictions);
        }
        return 1;
    }
    default:
        return 0;
    }
}

} // namespace

void registerInteraction(orvet::ScriptEngine& engine, void* host)
{
    registerSettingsClass(engine, host,
                          {"_Interaction_", u"[object Interaction]",
                           {"toString", "lBtnClk", "rBtnClk", "keyPress", "exitKeys", "hotKey", "bDisableAltTab",
                            "bDisableCursor", "bDisableScr"},
                           interactionProperty,
                           nullptr,
                           {{"$LBSEND", 0}, {"$LBDRAG", 1}, {"$LBIGNORE", 2}, {"$RBSEND", 0}, {"$RBCONTEXTMENU", 1},
                            {"$RBIGNORE", 2}, {"$KPSEND", 0x1}, {"$KPIGNORE", 0x10}, {"$KPDISABLEWINDOWKEYS", 0x100},
                            {"$EKESC", 0x1}, {"$EKHOTKEY", 0x10}}});
}

} // namespace lumbra::host
