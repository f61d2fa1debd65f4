// "lumbra-pack build": the player program plus the project's package.
#pragma once

#include "tools/pack/ScriptCompilers.h"

#include <filesystem>
#include <ostream>

namespace lumbra::pack {

struct BuildRequest {
    std::filesystem::path player;  // the player program (a PE32 file)
    std::filesystem::path project; // folder holding lumbra.manifest
    std::filesystem::path output;  // the packaged program to write
};

inline constexpr const char* manifestName = "lumbra.manifest";

// Writes the packaged program; the output appears only when the whole build
// succeeded. Throws PackError naming the file at fault.
void buildPackage(const BuildRequest& request, const ScriptCompilers& compilers, std::ostream& log);

} // namespace lumbra::pack
