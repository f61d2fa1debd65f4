#include "package/SettingsLoader.h"

#include "package/PackageResources.h"
#include "package/SettingsRecord.h"

#include <algorithm>

namespace lumbra {

namespace {

constexpr std::size_t stampSize = 16;

} // namespace

bool storeSettings(const ProjectSettings& settings, Profile& profile)
{
    return profile.writeBinary(settingsSection, optionsValue, writeSettings(settings));
}

ProjectSettings loadSettings(const ResourceSource& resources, Profile& profile,
                             const std::filesystem::path& workingFolder, ErrorReporter& reporter)
{
    try {
        // A missing or short stamp can never match, so such a package always
        // uses its own record.
        Bytes stamp = resources.find(packageResourceType, "CS").value_or(Bytes{});
        auto stored = profile.readBinary(settingsSection, stampValue);
        if (stamp.size() == stampSize && stored == stamp) {
            if (auto options = profile.readBinary(settingsSection, optionsValue))
                return readSettings(*options, workingFolder);
        } else {
            profile.writeBinary(settingsSection, stampValue, stamp);
        }
        auto record = loadPackedResource(resources, packageResourceType, "ST", reporter);
        if (!record)
            return {};
        ProjectSettings settings = readSettings(*record, workingFolder);
        storeSettings(settings, profile);
        return settings;
    } catch (const PlayerException& error) {
        reporter.report(error.message());
        return {};
    }
}

} // namespace lumbra
