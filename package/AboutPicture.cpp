#include "package/AboutPicture.h"

#include "package/FileOutput.h"
#include "package/PackageResources.h"

namespace lumbra {

std::filesystem::path aboutPicture(const ResourceSource& resources, const std::filesystem::path& workingFolder,
                                   ErrorReporter& reporter)
{
    std::filesystem::path file = workingFolder / "Lumbra.BK";
    std::error_code ignored;
    if (std::filesystem::exists(file, ignored))
        return file;
    try {
        auto bitmap = loadPackedResource(resources, packageResourceType, "BK", reporter);
        if (bitmap && writeWholeFile(file, *bitmap))
            return file;
    } catch (const PlayerException&) {
        // No packaged picture: the About box goes without one.
    }
    return {};
}

} // namespace lumbra
