// The window-shape masks (LUMBRA/RG): names in stored order, contents written
// to the working folder as <name>.msk.
#pragma once

#include "package/ErrorReporter.h"
#include "package/ResourceSource.h"

#include <filesystem>
#include <string>
#include <vector>

namespace lumbra {

using MaskList = std::vector<std::string>;

inline constexpr std::string_view maskExtension = ".msk";

// Reads LUMBRA/RG and writes the non-empty masks. A damaged block, an unsafe
// name or a file that cannot be written is reported and ends the loading,
// keeping the masks before it. A missing RG resource throws PlayerException.
MaskList loadMasks(const ResourceSource& resources, const std::filesystem::path& workingFolder,
                   ErrorReporter& reporter);

} // namespace lumbra
