// Embedded fonts (DefineFont, DefineFont2, DefineFont3): glyph outlines with
// their character codes and advances, and static text (DefineText,
// DefineText2), whose glyph records become a shape in the text's colours.
#pragma once

#include "control/movie/BitReader.h"
#include "control/movie/Character.h"

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace lumbra::movie {

struct EmbeddedFont {
    std::vector<Path> glyphs;        // in font units
    std::vector<std::uint16_t> codes; // character of each glyph (none for DefineFont)
    std::vector<double> advances;    // font units; empty without layout
    double unitsPerEm = 1024;        // 20480 for DefineFont3
    double ascent = 0;               // font units
    double descent = 0;              // font units
    std::u16string name;             // from the font or its DefineFontInfo
};

using EmbeddedFontTable = std::unordered_map<std::uint16_t, std::shared_ptr<const EmbeddedFont>>;

// The tag body after the id. Throws FormatError.
EmbeddedFont parseEmbeddedFont(BitReader& in, unsigned tagCode);
// The character codes of DefineFontInfo/DefineFontInfo2 (after the id) for a
// font of `count` glyphs: they give a DefineFont's glyphs their characters.
std::vector<std::uint16_t> parseFontInfoCodes(BitReader& in, unsigned tagCode, std::size_t count);
// DefineText/DefineText2 after the id: glyphs of unknown fonts are left out.
ShapeDef parseStaticText(BitReader& in, unsigned tagCode, const EmbeddedFontTable& fonts);

} // namespace lumbra::movie
