// "_SizeAndPos_": the window's size and position rules. A change re-lays the
// window out only while a movie is loaded: before that the first load lays
// it out anyway.
#include "host/HostArguments.h"
#include "host/HostPlayer.h"
#include "host/SettingsObjects.h"
#include "package/ProjectSettings.h"
#include "script/runtime/Conversions.h"

namespace lumbra::host {

using orvet::ScriptValue;
using orvet::ValueKind;

namespace {

enum Member { ToString, WindowSize, Pos, KeepRatio, SetCustomPos, SetCustomSize, SetCustomSizeAndPos };

constexpr std::uint32_t kPosCustom = 9, kSizeCustom = 3;

void relayout(HostPlayer& player)
{
    FlashControl* control = player.flashControl();
    if (!control)
        return;
    const std::optional<ControlValue> movie = control->get(u"Movie");
    if (movie && std::holds_alternative<std::u16string>(*movie) && !std::get<std::u16string>(*movie).empty())
        player.reapply(HostPlayer::Reapply::Layout);
}

int sizeAndPosProperty(orvet::ScriptContext&, orvet::NativeClass& cls, void*, orvet::Atom name, int set,
                       ScriptValue* value)
{
    HostPlayer& player = playerOf(cls);
    ProjectSettings& s = player.settings();
    switch (orvet::MemberAtoms::of(cls).find(name)) {
    case WindowSize:
    case Pos: {
        std::uint32_t& field = orvet::MemberAtoms::of(cls).find(name) == WindowSize ? s.windowSize : s.pos;
        if (!set) {
            *value = ScriptValue::ofInt(field);
        } else if (value->is(ValueKind::Integer)) {
            field = static_cast<std::uint32_t>(value->integer);
            relayout(player);
        }
        return 1;
    }
    case KeepRatio:
        if (!set)
            *value = ScriptValue::ofBool(s.bKeepRatio != 0);
        else
            s.bKeepRatio = orvet::toBoolean(*value) ? 1 : 0;
        return 1;
    default:
        return 0;
    }
}

int sizeAndPosMethod(orvet::ScriptContext&, orvet::NativeClass& cls, void*, orvet::Atom name, ScriptValue*,
                     ScriptValue* args)
{
    HostPlayer& player = playerOf(cls);
    ProjectSettings& s = player.settings();
    const Arguments a(args);
    const auto word = [&](int n) { return static_cast<std::uint16_t>(*a.integer(n)); };
    const auto integers = [&](int n) {
        for (int i = 1; i <= n; ++i)
            if (!a.integer(i))
                return false;
        return true;
    };
    switch (orvet::MemberAtoms::of(cls).find(name)) {
    case SetCustomPos:
        if (integers(2)) {
            s.pos = kPosCustom;
            s.customX = word(1);
            s.customY = word(2);
            relayout(player);
        }
        return 1;
    case SetCustomSize:
        if (integers(2)) {
            s.windowSize = kSizeCustom;
            s.customWidth = word(1);
            s.customHeight = word(2);
            relayout(player);
        }
        return 1;
    case SetCustomSizeAndPos:
        if (integers(4)) {
            s.pos = kPosCustom;
            s.customX = word(1);
            s.customY = word(2);
            s.windowSize = kSizeCustom;
            s.customWidth = word(3);
            s.customHeight = word(4);
            relayout(player);
        }
        return 1;
    default:
        return 0;
    }
}

} // namespace

void registerSizeAndPos(orvet::ScriptEngine& engine, void* host)
{
    registerSettingsClass(engine, host,
                          {"_SizeAndPos_", u"[object SizeAndPos]",
                           {"toString", "windowSize", "pos", "bKeepRatio", "setCustomPos", "setCustomSize",
                            "setCustomSizeAndPos"},
                           sizeAndPosProperty,
                           sizeAndPosMethod,
                           {{"$SSDEFAULT", 0}, {"$SSFULLSCREEN", 1}, {"$SSMAXIMIZED", 2}, {"$SSCUSTOMIZED", 3},
                            {"$SSPERCENT", 4}, {"$ASTOPLEFT", 0}, {"$ASTOPCENTER", 1}, {"$ASTOPRIGHT", 2},
                            {"$ASCENTERLEFT", 3}, {"$ASSCREENCENTER", 4}, {"$ASCENTERRIGHT", 5}, {"$ASBOTTOMLEFT", 6},
                            {"$ASBOTTOMCENTER", 7}, {"$ASBOTTOMRIGHT", 8}}});
}

} // namespace lumbra::host
