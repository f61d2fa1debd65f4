#include "package/PackageResources.h"

#include "package/PlayerException.h"

namespace lumbra {

Bytes readResource(const ResourceSource& source, std::string_view type, std::string_view name)
{
    auto bytes = source.find(type, name);
    if (!bytes || bytes->empty())
        throw PlayerException(source.missingText(type, name));
    return std::move(*bytes);
}

std::optional<Bytes> loadPackedResource(const ResourceSource& source, std::string_view type, std::string_view name,
                                        ErrorReporter& reporter)
{
    return unpackBlock(readResource(source, type, name), reporter);
}

std::optional<Bytes> loadPackedResourceSilently(const ResourceSource& source, std::string_view type,
                                                std::string_view name)
{
    return unpackBlockSilently(readResource(source, type, name));
}

} // namespace lumbra
