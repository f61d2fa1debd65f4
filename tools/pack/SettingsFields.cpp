#include "tools/pack/SettingsFields.h"

#include "package/HexText.h"
#include "tools/pack/Utf8.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace lumbra::pack {

namespace {

#define FIELD(name, member) {name, false, false, [](ProjectSettings& s) -> FieldRef { return &s.member; }}
#define BITS_FIELD(name, member) {name, false, true, [](ProjectSettings& s) -> FieldRef { return &s.member; }}
#define FILE_FIELD(name, member) {name, true, false, [](ProjectSettings& s) -> FieldRef { return &s.member; }}
#define FONT_FIELDS(prefix, member)                                                                    \
    FIELD(prefix ".height", member.height), FIELD(prefix ".width", member.width),                      \
        FIELD(prefix ".escapement", member.escapement), FIELD(prefix ".orientation", member.orientation), \
        FIELD(prefix ".weight", member.weight), FIELD(prefix ".italic", member.italic),                \
        FIELD(prefix ".underline", member.underline), FIELD(prefix ".strikeOut", member.strikeOut),    \
        FIELD(prefix ".charSet", member.charSet), FIELD(prefix ".outPrecision", member.outPrecision),   \
        FIELD(prefix ".clipPrecision", member.clipPrecision), FIELD(prefix ".quality", member.quality), \
        FIELD(prefix ".pitchAndFamily", member.pitchAndFamily), FIELD(prefix ".faceName", member.faceName)

const SettingsField fields[] = {
    FIELD("productName", productName),
    FIELD("reservedText1", reservedText1),
    FIELD("companyName", companyName),
    FIELD("legalNotice", legalNotice),
    FIELD("reservedText2", reservedText2),
    FIELD("reservedText3", reservedText3),
    FIELD("version", version),
    FIELD("windowShape", windowShape),
    BITS_FIELD("borderStyle", borderStyle),
    BITS_FIELD("borderIcons", borderIcons),
    BITS_FIELD("scaleMode", scaleMode),
    FIELD("shapeMaskFile", shapeMaskFile),
    FIELD("caption", caption),
    FIELD("windowSize", windowSize),
    FIELD("customWidth", customWidth),
    FIELD("customHeight", customHeight),
    FIELD("pos", pos),
    FIELD("customX", customX),
    FIELD("customY", customY),
    FIELD("bKeepRatio", bKeepRatio),
    FIELD("lBtnClk", lBtnClk),
    FIELD("rBtnClk", rBtnClk),
    BITS_FIELD("keyPress", keyPress),
    BITS_FIELD("exitKeys", exitKeys),
    BITS_FIELD("interactionFlags", interactionFlags),
    FIELD("hotKeyCode", hotKeyCode),
    BITS_FIELD("hotKeyModifiers", hotKeyModifiers),
    BITS_FIELD("contextMenuFlags", contextMenuFlags),
    BITS_FIELD("behaviourFlags", behaviourFlags),
    BITS_FIELD("miscFlags", miscFlags),
    BITS_FIELD("backgroundColor", backgroundColor),
    FILE_FIELD("helpFile", helpFile),
    FIELD("linkCaption1", linkCaption1),
    FIELD("linkTarget1", linkTarget1),
    FIELD("linkCaption2", linkCaption2),
    FIELD("linkTarget2", linkTarget2),
    BITS_FIELD("linkColor1", linkColor1),
    BITS_FIELD("linkColor2", linkColor2),
    FONT_FIELDS("linkFont1", linkFont1),
    FONT_FIELDS("linkFont2", linkFont2),
    BITS_FIELD("aboutFlags", aboutFlags),
    BITS_FIELD("reservedFlags", reservedFlags),
    FILE_FIELD("aboutImage", aboutImage),
    FIELD("reservedPath", reservedPath),
    FIELD("trailer.value1", trailer.value1),
    FIELD("trailer.text", trailer.text),
    FIELD("trailer.value2", trailer.value2),
    FIELD("trailer.systemTime", trailer.systemTime),
    FIELD("trailer.value3", trailer.value3),
    FIELD("trailer.fixedText", trailer.fixedText),
    FIELD("trailer.word1", trailer.word1),
    FIELD("trailer.word2", trailer.word2),
};

#undef FONT_FIELDS
#undef FILE_FIELD
#undef BITS_FIELD
#undef FIELD

// Decimal, or hexadecimal after "0x"; negative only for signed fields.
template <typename T>
bool parseNumber(std::string_view text, T& target)
{
    bool hex = text.starts_with("0x") || text.starts_with("0X");
    if (hex)
        text.remove_prefix(2);
    std::int64_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, hex ? 16 : 10);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return false;
    if (hex && std::is_signed_v<T> && value > std::numeric_limits<T>::max() &&
        value <= std::int64_t(std::numeric_limits<std::make_unsigned_t<T>>::max()))
        value -= std::int64_t(std::numeric_limits<std::make_unsigned_t<T>>::max()) + 1; // 0xFFFFFFF4 as -12
    if (value < std::int64_t(std::numeric_limits<T>::min()) || value > std::int64_t(std::numeric_limits<T>::max()))
        return false;
    target = T(value);
    return true;
}

template <std::size_t Size>
bool assignFixed(FixedText<Size>& target, std::string_view text)
{
    std::string ansi = utf8ToAnsi(text);
    if (ansi.size() > FixedText<Size>::capacity)
        return false;
    target.assign(ansi);
    return true;
}

} // namespace

std::span<const SettingsField> settingsFields()
{
    return fields;
}

const SettingsField* findSettingsField(std::string_view name)
{
    auto found = std::ranges::find(fields, name, &SettingsField::name);
    return found == std::end(fields) ? nullptr : &*found;
}

ProjectSettings defaultSettings()
{
    ProjectSettings s;
    s.borderStyle = 0x100;  // resizable
    s.borderIcons = 0x111;  // maximize, minimize, system menu
    s.scaleMode = 1;        // show all
    s.pos = 4;              // screen centre
    s.rBtnClk = 1;          // the player's context menu
    s.keyPress = 0x1;       // keys go to the movie
    s.exitKeys = 0x1;       // Esc closes
    s.contextMenuFlags = 0x111;
    s.behaviourFlags = 0x1; // auto play
    s.backgroundColor = 0x00FFFFFF;
    s.linkColor1 = s.linkColor2 = 0x00FF0000;
    for (LogFont* font : {&s.linkFont1, &s.linkFont2}) {
        font->height = -11;
        font->weight = 400;
        font->faceName.assign("Tahoma");
    }
    s.aboutFlags = 0x1;
    return s;
}

bool setField(const SettingsField& field, ProjectSettings& settings, std::string_view text)
{
    return std::visit(
        [&](auto* target) -> bool {
            using T = std::remove_pointer_t<decltype(target)>;
            if constexpr (std::is_same_v<T, OptionalText>) {
                *target = utf8ToAnsi(text);
                return true;
            } else if constexpr (std::is_same_v<T, PathText> || std::is_same_v<T, FixedText<32>>) {
                return assignFixed(*target, text);
            } else if constexpr (std::is_same_v<T, std::array<std::uint8_t, 16>>) {
                return parseHex16(text, *target);
            } else {
                return parseNumber(text, *target);
            }
        },
        field.get(settings));
}

} // namespace lumbra::pack
