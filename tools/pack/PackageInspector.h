// "lumbra-pack inspect": what a packaged program carries, decoded.
#pragma once

#include "tools/pack/ReportTree.h"

#include <filesystem>

namespace lumbra::pack {

struct Inspection {
    ReportObject report;
    std::vector<std::string> problems; // damaged blocks, a broken identity...
};

// Throws PackError (naming the file) when the file is not a readable program.
Inspection inspectPackage(const std::filesystem::path& program);

} // namespace lumbra::pack
