// The stored text of the package records: a u32 count of UTF-16 units that
// includes the terminating 0 (0 = absent), then the units. In memory texts are
// ANSI; an absent text is std::nullopt.
#pragma once

#include "package/ByteReader.h"
#include "package/ByteWriter.h"

#include <optional>
#include <string>
#include <string_view>

namespace lumbra {

using OptionalText = std::optional<std::string>;

// Reads a text; the count is checked against the bytes left before anything
// is allocated. Units after an embedded 0 are dropped.
OptionalText readStoredText(ByteReader& reader);

void writeOptionalText(ByteWriter& writer, const OptionalText& text);
void writeStoredText(ByteWriter& writer, std::string_view text);

} // namespace lumbra
