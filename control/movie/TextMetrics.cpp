#include "control/movie/TextMetrics.h"

#include "control/movie/TextCodec.h"

#include <array>

namespace lumbra::movie {

namespace {

// Advance widths in thousandths of an em for characters 32..126, from the
// published metrics of the standard sans and serif faces.
constexpr std::array<short, 95> kSans = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333, 278, 278, // space../
    556, 556, 556, 556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, // 0..?
    1015, 667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833, 722, 778, // @..O
    667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611, 278, 278, 278, 469, 556, // P.._
    333, 556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833, 556, 556, // `..o
    556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500, 334, 260, 334, 584};     // p..~
constexpr std::array<short, 95> kSerif = {
    250, 333, 408, 500, 500, 833, 778, 180, 333, 333, 500, 564, 250, 333, 250, 278,
    500, 500, 500, 500, 500, 500, 500, 500, 500, 500, 278, 278, 564, 564, 564, 444,
    921, 722, 667, 667, 722, 611, 556, 722, 722, 333, 389, 722, 611, 889, 722, 722,
    556, 722, 667, 556, 611, 722, 722, 944, 722, 722, 611, 333, 278, 333, 469, 500,
    333, 444, 500, 444, 500, 444, 333, 500, 500, 278, 278, 500, 278, 778, 500, 500,
    500, 500, 333, 389, 278, 500, 500, 722, 500, 500, 444, 480, 200, 480, 541};

} // namespace

FaceFamily faceFamily(std::u16string_view font)
{
    std::u16string name = foldCase(font);
    if (name == u"_typewriter" || name.find(u"courier") != std::u16string::npos
        || name.find(u"mono") != std::u16string::npos || name.find(u"console") != std::u16string::npos)
        return FaceFamily::Mono;
    if (name == u"_serif" || name.find(u"times") != std::u16string::npos || name.find(u"georgia") != std::u16string::npos
        || (name.find(u"serif") != std::u16string::npos && name.find(u"sans") == std::u16string::npos))
        return FaceFamily::Serif;
    return FaceFamily::Sans;
}

double advanceWidth(const TextFormat& format, char16_t c)
{
    double size = format.size.value_or(12);
    FaceFamily family = faceFamily(format.font.value_or(u"_sans"));
    double units = 600;
    if (family != FaceFamily::Mono) {
        const auto& table = family == FaceFamily::Serif ? kSerif : kSans;
        if (c == u'\t')
            units = 4 * table[0];
        else
            units = c >= 32 && c <= 126 ? table[c - 32] : table[u'0' - 32];
        // Bold faces run about a tenth wider.
        if (format.bold.value_or(false))
            units *= 1.1;
    }
    return units * size / 1000;
}

FontMetrics fontMetrics(const TextFormat& format)
{
    double size = format.size.value_or(12);
    switch (faceFamily(format.font.value_or(u"_sans"))) {
    case FaceFamily::Serif: return {0.891 * size, 0.216 * size};
    case FaceFamily::Mono: return {0.833 * size, 0.300 * size};
    case FaceFamily::Sans: break;
    }
    return {0.905 * size, 0.212 * size};
}

FieldFont::FieldFont(std::shared_ptr<const EmbeddedFont> embedded) : font(std::move(embedded))
{
    for (std::size_t i = 0; i < font->codes.size() && i < font->glyphs.size(); ++i)
        glyphOf.emplace(font->codes[i], i);
}

const Path* FieldFont::glyph(char16_t c) const
{
    auto it = glyphOf.find(c);
    return it == glyphOf.end() ? nullptr : &font->glyphs[it->second];
}

double FieldFont::advance(char16_t c, double size) const
{
    auto it = glyphOf.find(c);
    if (it == glyphOf.end() || it->second >= font->advances.size())
        return it == glyphOf.end() ? 0 : size / 2; // a font without layout: half an em
    return font->advances[it->second] * size / font->unitsPerEm;
}

FontMetrics FieldFont::metrics(double size) const
{
    if (font->ascent <= 0 && font->descent <= 0)
        return {0.8 * size, 0.2 * size};
    return {font->ascent * size / font->unitsPerEm, font->descent * size / font->unitsPerEm};
}

} // namespace lumbra::movie
