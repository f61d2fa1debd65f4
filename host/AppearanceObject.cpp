// "_Appearance_": the window's shape, frame, scale mode, caption and icon.
#include "host/HostArguments.h"
#include "host/HostPlayer.h"
#include "host/SettingsObjects.h"
#include "package/ProjectSettings.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {

using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

enum Member { ToString, WindowShape, BorderStyle, BorderIcons, ScaleMode, Caption, Icon };

// The control's scale mode for a setting: 1 show all, 2 no border, 0x10 no
// scale, 0x100 exact fit; -1 for other values.
int flashScaleMode(std::uint32_t setting)
{
    switch (setting) {
    case 0x1: return 0;
    case 0x2: return 1;
    case 0x10: return 3;
    case 0x100: return 2;
    default: return -1;
    }
}

int appearanceProperty(orvet::ScriptContext& ctx, orvet::NativeClass& cls, void*, orvet::Atom name, int set,
                       ScriptValue* value)
{
    HostPlayer& player = playerOf(cls);
    ProjectSettings& s = player.settings();
    const int member = orvet::MemberAtoms::of(cls).find(name);
    const bool isInteger = value->is(ValueKind::Integer), isString = value->is(ValueKind::String);
    const auto integer = [&] { return static_cast<std::uint32_t>(value->integer); };
    switch (member) {
    case WindowShape:
        if (!set) {
            *value = s.windowShape == 2 ? orvet::ansiStringValue(ctx, s.shapeMaskFile.view())
                                        : ScriptValue::ofInt(s.windowShape);
        } else if (isInteger || isString) {
            if (isString) {
                s.windowShape = 2;
                s.shapeMaskFile.assign(orvet::toAnsi(*value->string));
            } else {
                s.windowShape = integer();
            }
            player.reapply(HostPlayer::Reapply::Shape);
        }
        return 1;
    case BorderStyle:
    case BorderIcons: {
        std::uint32_t& field = member == BorderStyle ? s.borderStyle : s.borderIcons;
        if (!set) {
            *value = ScriptValue::ofInt(field);
        } else if (isInteger) {
            field = integer();
            player.reapply(HostPlayer::Reapply::Frame);
        }
        return 1;
    }
    case ScaleMode:
        if (!set) {
            *value = ScriptValue::ofInt(s.scaleMode);
        } else if (isInteger) {
            s.scaleMode = integer();
            if (const int mode = flashScaleMode(s.scaleMode); mode >= 0)
                player.requestScaleMode(mode);
        }
        return 1;
    case Caption:
        if (!set) {
            *value = orvet::ansiStringValue(ctx, s.caption.view());
        } else if (isString) {
            s.caption.assign(orvet::toAnsi(*value->string));
            player.reapply(HostPlayer::Reapply::Caption);
        }
        return 1;
    case Icon:
        if (!set)
            *value = ScriptValue::undefined();
        else if (isString)
            player.setWindowIcon(orvet::toAnsi(*value->string));
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerAppearance(orvet::ScriptEngine& engine, void* host)
{
    registerSettingsClass(engine, host,
                          {"_Appearance_", u"[object Appearance]",
                           {"toString", "windowShape", "borderStyle", "borderIcons", "scaleMode", "caption", "icon"},
                           appearanceProperty,
                           nullptr,
                           {{"$WSRECTANGLE", 0}, {"$WSTRANSPARENT", 1}, {"$BSNONE", 0x1}, {"$BSSINGLE", 0x10},
                            {"$BSRESIZABLE", 0x100}, {"$BSSMALLCAPTION", 0x1000}, {"$BSHIDETASKBUTTON", 0x10000},
                            {"$BIMAXIMIZE", 0x1}, {"$BIMINIMIZE", 0x10}, {"$BISYSTEMMENU", 0x100}, {"$BIHELP", 0x1000},
                            {"$SMSHOWALL", 1}, {"$SMNORMAL", 0x10}, {"$SMNOBORDER", 2}, {"$SMSTRETCHFIT", 0x100}}});
}

} // namespace lumbra::host
