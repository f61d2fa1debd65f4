#include "package/MaskList.h"

#include "package/FileOutput.h"
#include "package/PackageResources.h"
#include "package/PackagePaths.h"
#include "package/PackageBlocks.h"

namespace lumbra {

MaskList loadMasks(const ResourceSource& resources, const std::filesystem::path& workingFolder,
                   ErrorReporter& reporter)
{
    MaskList masks;
    auto block = loadPackedResource(resources, packageResourceType, "RG", reporter);
    if (!block)
        return masks;
    auto record = readMaskRecord(*block);
    try {
        for (const MaskRecord& mask : record.entries) {
            auto target = pathInside(workingFolder, mask.name + std::string(maskExtension));
            if (!target)
                throw PlayerException("Invalid mask name in the package: " + mask.name);
            if (!mask.content.empty() && !writeWholeFile(*target, mask.content))
                throw PlayerException("Cannot write " + ansiFromPath(*target));
            masks.push_back(mask.name);
        }
        if (record.error)
            reporter.report(*record.error);
    } catch (const PlayerException& error) {
        reporter.report(error.message());
    }
    return masks;
}

} // namespace lumbra
