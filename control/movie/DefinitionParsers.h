// Readers of the definition tags other than shapes: text fields, the names of
// fonts they use, and buttons. Each reads the tag body after the character id
// and throws FormatError on a malformed record.
#pragma once

#include "control/movie/BitReader.h"
#include "control/movie/Character.h"

#include <cstdint>
#include <string>
#include <unordered_map>

namespace lumbra::movie {

struct FontName {
    std::u16string name;
    bool bold = false;
    bool italic = false;
};

using FontTable = std::unordered_map<std::uint16_t, FontName>;

// DefineFont2/3 and DefineFontInfo/2 (the id already read): the name only, as
// text fields are drawn with the system's font of that name.
FontName parseFontName(BitReader& in, unsigned tagCode, int version);
EditTextDef parseEditText(BitReader& in, const FontTable& fonts, int version);
// tagCode tells DefineButton from DefineButton2.
ButtonDef parseButton(BitReader& in, unsigned tagCode);
// An action block ending at the end of the data.
ActionBytes readActionBytes(BitReader& in);

} // namespace lumbra::movie
