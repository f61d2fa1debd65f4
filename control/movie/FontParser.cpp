#include "control/movie/FontParser.h"

#include "control/movie/ShapeParser.h"
#include "control/movie/TagCodes.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>

namespace lumbra::movie {

namespace {

// A static text keeps at most this many characters for scripts (a tag holds far fewer).
constexpr std::size_t kMaxGlyphs = 1 << 16;

// Glyph `i` of a font whose offsets (from `base`) were read into `offsets`,
// the last one being where the glyphs end.
Path glyphAt(std::span<const std::uint8_t> data, const std::vector<std::size_t>& offsets, std::size_t i)
{
    std::size_t from = offsets[i], to = offsets[i + 1];
    if (from > to || to > data.size())
        throw FormatError("glyph offset out of range");
    BitReader glyph(data.subspan(from, to - from));
    return parseGlyph(glyph);
}

EmbeddedFont firstFont(BitReader& in)
{
    EmbeddedFont font;
    auto data = in.bytes(in.remaining());
    BitReader table(data);
    std::size_t first = table.u16();
    std::size_t count = first / 2;
    std::vector<std::size_t> offsets{first};
    for (std::size_t i = 1; i < count; ++i)
        offsets.push_back(table.u16());
    offsets.push_back(data.size());
    for (std::size_t i = 0; i < count; ++i)
        font.glyphs.push_back(glyphAt(data, offsets, i));
    return font;
}

EmbeddedFont laterFont(BitReader& in, bool third)
{
    EmbeddedFont font;
    font.unitsPerEm = third ? 20480 : 1024;
    unsigned flags = in.u8();
    bool hasLayout = flags & 0x80, wideOffsets = flags & 0x08, wideCodes = flags & 0x04;
    in.u8(); // language
    in.skip(in.u8()); // name
    std::size_t count = in.u16();
    auto data = in.bytes(in.remaining()); // offsets count from here
    BitReader table(data);
    auto offset = [&] { return wideOffsets ? std::size_t(table.u32()) : std::size_t(table.u16()); };
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < count; ++i)
        offsets.push_back(offset());
    std::size_t codeTable = count > 0 || table.remaining() > 0 ? offset() : 0;
    offsets.push_back(codeTable);
    for (std::size_t i = 0; i < count; ++i)
        font.glyphs.push_back(glyphAt(data, offsets, i));
    if (codeTable > data.size())
        throw FormatError("font code table out of range");
    BitReader rest(data.subspan(codeTable));
    for (std::size_t i = 0; i < count; ++i)
        font.codes.push_back(wideCodes ? rest.u16() : rest.u8());
    if (hasLayout) {
        font.ascent = rest.u16();
        font.descent = rest.u16();
        rest.s16(); // leading
        for (std::size_t i = 0; i < count; ++i)
            font.advances.push_back(rest.s16());
    }
    return font;
}

} // namespace

EmbeddedFont parseEmbeddedFont(BitReader& in, unsigned tagCode)
{
    if (tagCode == tag::DefineFont)
        return firstFont(in);
    return laterFont(in, tagCode == tag::DefineFont3);
}

std::vector<std::uint16_t> parseFontInfoCodes(BitReader& in, unsigned tagCode, std::size_t count)
{
    in.skip(in.u8()); // name
    bool wideCodes = in.u8() & 0x01;
    if (tagCode == tag::DefineFontInfo2)
        in.u8(); // language
    std::vector<std::uint16_t> codes;
    // A table cut short names the glyphs it reaches.
    for (std::size_t i = 0; i < count && in.remaining() >= (wideCodes ? 2u : 1u); ++i)
        codes.push_back(wideCodes ? in.u16() : in.u8());
    return codes;
}

ShapeDef parseStaticText(BitReader& in, unsigned tagCode, const EmbeddedFontTable& fonts)
{
    ShapeDef shape;
    shape.bounds = in.rect();
    Matrix matrix = in.matrix();
    unsigned glyphBits = in.u8(), advanceBits = in.u8();
    if (glyphBits > 32 || advanceBits > 32)
        throw FormatError("text record field too wide");
    std::map<Argb, std::size_t> fillOf; // one fill per colour
    const EmbeddedFont* font = nullptr;
    std::shared_ptr<const std::u16string> fontName;
    Argb color = 0xFF000000;
    double x = 0, y = 0, height = 0;
    std::optional<double> lastY; // of the glyph before, in the text's own units
    for (;;) {
        unsigned flags = in.u8();
        if (flags == 0)
            break;
        if (flags & 0x08) {
            auto found = fonts.find(in.u16());
            font = found == fonts.end() ? nullptr : found->second.get();
            fontName = font ? std::make_shared<const std::u16string>(font->name) : nullptr;
        }
        if (flags & 0x04)
            color = tagCode == tag::DefineText2 ? in.rgba() : in.rgb();
        if (flags & 0x01)
            x = in.s16();
        if (flags & 0x02)
            y = in.s16();
        if (flags & 0x08)
            height = in.u16();
        unsigned count = in.u8();
        auto [slot, added] = fillOf.try_emplace(color, shape.fills.size());
        if (added) {
            shape.fills.emplace_back().fill.color = color;
            shape.fillPaths.emplace_back();
        }
        Path& out = shape.fillPaths[slot->second];
        for (unsigned i = 0; i < count; ++i) {
            std::uint32_t index = in.ub(glyphBits);
            double advance = in.sb(advanceBits);
            // Where the glyph stands, for scripts that read the text.
            StaticGlyph glyph;
            glyph.code = font && index < font->codes.size() ? char16_t(font->codes[index]) : u'\0';
            glyph.place = matrix * Matrix::translation(x, y);
            glyph.advance = advance;
            glyph.height = height;
            glyph.color = color;
            if (font) {
                glyph.font = fontName;
                glyph.metrics = !font->advances.empty();
                glyph.ascent = font->ascent * height / font->unitsPerEm;
                glyph.descent = font->descent * height / font->unitsPerEm;
            }
            // Lines run down the text's own units, however it is turned.
            glyph.lineStart = lastY && y > *lastY;
            lastY = y;
            if (shape.glyphs.size() < kMaxGlyphs)
                shape.glyphs.push_back(glyph);
            if (font && index < font->glyphs.size()) {
                double scale = height / font->unitsPerEm;
                Matrix place = matrix * Matrix::translation(x, y) * Matrix::scaling(scale, scale);
                for (const Contour& contour : font->glyphs[index]) {
                    Contour& c = out.emplace_back();
                    for (Point p : contour)
                        c.push_back(place.apply(p));
                }
            }
            x += advance;
        }
        in.align();
    }
    return shape;
}

} // namespace lumbra::movie
