#include "package/MaskList.h"

#include "package/ByteReader.h"
#include "package/FileOutput.h"
#include "package/PackageResources.h"
#include "package/PackagePaths.h"
#include "package/StoredText.h"

namespace lumbra {

MaskList loadMasks(const ResourceSource& resources, const std::filesystem::path& workingFolder,
                   ErrorReporter& reporter)
{
    MaskList masks;
    auto block = loadPackedResource(resources, packageResourceType, "RG", reporter);
    if (!block)
        return masks;
    try {
        ByteReader in(*block);
        std::uint32_t count = in.u32();
        for (std::uint32_t i = 0; i < count; ++i) {
            std::string name = readStoredText(in).value_or("");
            auto content = in.bytes(in.u32());
            auto target = pathInside(workingFolder, name + std::string(maskExtension));
            if (!target)
                throw PlayerException("Invalid mask name in the package: " + name);
            if (!content.empty() && !writeWholeFile(*target, content))
                throw PlayerException("Cannot write " + ansiFromPath(*target));
            masks.push_back(name);
        }
    } catch (const PlayerException& error) {
        reporter.report(error.message());
    }
    return masks;
}

} // namespace lumbra
