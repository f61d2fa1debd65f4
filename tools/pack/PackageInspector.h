// "lumbra-pack inspect": what a packaged program carries, decoded.
#pragma once

#include "tools/pack/ReportTree.h"

#include <filesystem>
#include <optional>

namespace lumbra::pack {

struct Inspection {
    ReportObject report;               // everything, for --json
    std::string manifest;              // a manifest that rebuilds the package
    std::vector<std::string> problems; // damaged blocks, a broken identity...
};

// Throws PackError (naming the file) when the file is not a readable program.
// With a folder to extract to, every file the manifest names is written
// there (and the manifest beside them), so that `build` with that folder as
// the project makes the same program again.
Inspection inspectPackage(const std::filesystem::path& program,
                          const std::optional<std::filesystem::path>& extractTo = std::nullopt);

} // namespace lumbra::pack
