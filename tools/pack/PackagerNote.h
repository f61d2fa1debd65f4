// The packager's note, resource LUMBRA/PK: what a packaging added beyond the
// package's own resource types, and the compression it used. The player
// ignores it; the packager reads it to strip an earlier packaging, and
// inspection to print a manifest that rebuilds the same program.
// UTF-8 lines: "compression N", then "resource TYPE/NAME" per [resources] entry.
#pragma once

#include "package/ResourceTable.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace lumbra::pack {

inline constexpr std::string_view packagerNoteName = "PK";

struct PackagerNote {
    int compression = 9;
    std::vector<std::string> resources; // "TYPE/NAME" as ResourceId::text() writes them, in upper
                                        // case as the image stores names
};

std::vector<std::uint8_t> writePackagerNote(const PackagerNote& note);
// Lines it does not know are skipped, so that a later packager may add some.
PackagerNote readPackagerNote(std::span<const std::uint8_t> bytes);

// Removes what an earlier packaging added: the LUMBRA, SUPPORT, ORVET and
// MENUS resources and those the note names. Returns "TYPE/NAME" of each.
std::vector<std::string> stripEarlierPackaging(ResourceTable& table);

} // namespace lumbra::pack
