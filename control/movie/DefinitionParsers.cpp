#include "control/movie/DefinitionParsers.h"

#include "control/movie/FilterParser.h"
#include "control/movie/HtmlText.h"
#include "control/movie/TagCodes.h"
#include "control/movie/TextCodec.h"

#include <algorithm>

namespace lumbra::movie {

namespace {

// Fonts whose text is laid out by the system under a generic name.
std::u16string deviceFontName(std::u16string name)
{
    while (!name.empty() && name.back() == 0)
        name.pop_back();
    return name.empty() ? u"_sans" : name;
}

ButtonAction buttonActionOnRelease(ActionBytes actions)
{
    return {CondOverDownToOverUp, std::move(actions)};
}

} // namespace

ActionBytes readActionBytes(BitReader& in)
{
    auto bytes = in.bytes(in.remaining());
    return {bytes.begin(), bytes.end()};
}

FontName parseFontName(BitReader& in, unsigned tagCode, int version)
{
    FontName font;
    if (tagCode == tag::DefineFont2 || tagCode == tag::DefineFont3) {
        unsigned flags = in.u8();
        in.u8(); // language
        unsigned length = in.u8();
        auto raw = in.bytes(length);
        font.name = deviceFontName(decodeMovieString({reinterpret_cast<const char*>(raw.data()), raw.size()}, version));
        font.bold = flags & 0x01;
        font.italic = flags & 0x02;
    } else {
        unsigned length = in.u8();
        auto raw = in.bytes(length);
        font.name = deviceFontName(decodeMovieString({reinterpret_cast<const char*>(raw.data()), raw.size()}, version));
        unsigned flags = in.u8();
        font.bold = flags & 0x02;
        font.italic = flags & 0x04;
    }
    return font;
}

EditTextDef parseEditText(BitReader& in, const FontTable& fonts, int version)
{
    EditTextDef text;
    text.bounds = in.rect();
    unsigned flags = in.u16();
    // The first flag byte is read first: its top bit is HasText.
    bool hasText = flags & 0x0080, wordWrap = flags & 0x0040, multiline = flags & 0x0020;
    bool password = flags & 0x0010, hasColor = flags & 0x0004, hasMaxLength = flags & 0x0002;
    bool hasFont = flags & 0x0001, hasFontClass = flags & 0x8000, hasLayout = flags & 0x2000;
    bool border = flags & 0x0800, html = flags & 0x0200;
    text.readOnly = flags & 0x0008;
    text.noSelect = flags & 0x1000;
    text.autoSize = flags & 0x4000;
    text.useOutlines = flags & 0x0100;
    text.wordWrap = wordWrap;
    text.multiline = multiline;
    text.password = password;
    text.border = border;
    text.html = html;
    if (hasFont) {
        text.fontId = in.u16();
        auto font = fonts.find(text.fontId);
        if (font != fonts.end()) {
            text.font = font->second.name;
            text.bold = font->second.bold;
            text.italic = font->second.italic;
        }
    }
    if (hasFontClass)
        in.cstring();
    if (hasFont)
        text.height = in.u16();
    if (hasColor)
        text.color = in.rgba();
    if (hasMaxLength)
        text.maxLength = in.u16();
    if (hasLayout) {
        unsigned align = in.u8();
        text.align = align == 1 ? TextAlign::Right : align == 2 ? TextAlign::Center
                   : align == 3 ? TextAlign::Justify : TextAlign::Left;
        text.leftMargin = in.u16();
        text.rightMargin = in.u16();
        text.indent = in.u16();
        text.leading = in.s16();
    }
    text.variable = decodeMovieString(in.cstring(), version);
    if (hasText)
        text.initialText = decodeMovieString(in.cstring(), version);
    return text;
}

ButtonDef parseButton(BitReader& in, unsigned tagCode)
{
    ButtonDef button;
    bool second = tagCode == tag::DefineButton2;
    std::size_t actionOffsetAt = 0;
    unsigned actionOffset = 0;
    if (second) {
        button.trackAsMenu = (in.u8() & 0x01) != 0;
        actionOffsetAt = in.position();
        actionOffset = in.u16();
    }
    for (;;) {
        unsigned flags = in.u8();
        if (flags == 0)
            break;
        ButtonRecord record;
        record.states = flags & 0x0F;
        record.character = in.u16();
        record.depth = in.u16();
        record.matrix = in.matrix();
        if (second)
            record.colorTransform = in.colorTransform(true);
        // Version 8 records may add a filter list and a blend mode, each
        // announced by its flag; the first version has neither.
        if (second && (flags & 0x10))
            record.effects.filters = parseFilterList(in);
        if (second && (flags & 0x20))
            record.effects.blend = blendModeFrom(in.u8());
        button.records.push_back(record);
    }
    std::stable_sort(button.records.begin(), button.records.end(),
                     [](const ButtonRecord& a, const ButtonRecord& b) { return a.depth < b.depth; });

    if (!second) {
        button.actions.push_back(buttonActionOnRelease(readActionBytes(in)));
        return button;
    }
    if (actionOffset == 0)
        return button;
    std::size_t at = actionOffsetAt + actionOffset;
    if (at < in.position())
        throw FormatError("button actions overlap its records");
    in.skip(at - in.position());
    for (;;) {
        std::size_t start = in.position();
        unsigned size = in.u16();
        unsigned low = in.u8(), high = in.u8();
        // Read as a bit stream: the first byte's top bit is IdleToOverDown,
        // its lowest IdleToOverUp; the second byte ends with OverDownToIdle.
        unsigned conditions = low | ((high & 0x01) << 8);
        std::size_t end = size == 0 ? start + 4 + in.remaining() : start + size;
        if (end < in.position())
            throw FormatError("button action record too short");
        auto body = in.bytes(end - in.position());
        button.actions.push_back({conditions, ActionBytes(body.begin(), body.end()), high >> 1u});
        if (size == 0 || in.atEnd())
            break;
    }
    return button;
}

} // namespace lumbra::movie
