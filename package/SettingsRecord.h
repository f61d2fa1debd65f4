// The stored settings record (the unpacked LUMBRA/ST block and the profile
// copy "Options"): the fields of ProjectSettings in order, no header.
#pragma once

#include "package/ProjectSettings.h"

#include <filesystem>
#include <span>
#include <vector>

namespace lumbra {

// Parses a record. A record that ends early leaves the remaining fields zero
// and texts absent. Embedded files (help file, About picture) are written to
// the working folder and their paths kept; one whose name is unsafe, whose
// content is cut off, or that cannot be written is left out (empty path).
ProjectSettings readSettings(std::span<const std::uint8_t> record, const std::filesystem::path& workingFolder);

// Serialises the settings; embedded files are read from their kept paths.
std::vector<std::uint8_t> writeSettings(const ProjectSettings& settings);

} // namespace lumbra
