// The default About box picture: the packed bitmap LUMBRA/BK, written once to
// the working folder as "Lumbra.BK"; the player loads it as a bitmap file.
#pragma once

#include "package/ErrorReporter.h"
#include "package/ResourceSource.h"

#include <filesystem>

namespace lumbra {

// The picture's file, or an empty path when there is none (a missing
// resource, or an unpack error, which is reported and leaves no file).
std::filesystem::path aboutPicture(const ResourceSource& resources, const std::filesystem::path& workingFolder,
                                   ErrorReporter& reporter);

} // namespace lumbra
