// Start-up loading of the settings: the user's copy in the profile while the
// package is unchanged, else the packaged record.
#pragma once

#include "package/ErrorReporter.h"
#include "package/Profile.h"
#include "package/ProjectSettings.h"
#include "package/ResourceSource.h"

#include <filesystem>
#include <string_view>

namespace lumbra {

inline constexpr std::string_view settingsSection = "Settings";
inline constexpr std::string_view stampValue = "crc";
inline constexpr std::string_view optionsValue = "Options";

// If the profile's "crc" equals the package's 16-byte stamp (LUMBRA/CS) and
// the profile holds "Options", those are the settings. Otherwise the stamp
// becomes the new "crc", LUMBRA/ST is read and, if it was read, stored as
// "Options". A package error is reported and leaves the settings zero.
ProjectSettings loadSettings(const ResourceSource& resources, Profile& profile,
                             const std::filesystem::path& workingFolder, ErrorReporter& reporter);

// What the options dialog does on OK: the settings become the profile copy.
bool storeSettings(const ProjectSettings& settings, Profile& profile);

} // namespace lumbra
