#include "package/win32/RegistryProfile.h"

#include "win32/RegistryKey.h"

namespace lumbra {

namespace {

using win32::RegistryKey;

RegistryKey openSection(const std::string& path, bool create)
{
    return create ? RegistryKey::create(HKEY_CURRENT_USER, path) : RegistryKey::open(HKEY_CURRENT_USER, path);
}

} // namespace

RegistryProfile::RegistryProfile(ProfileLocation location) : location_(std::move(location)) {}

std::string RegistryProfile::sectionKey(std::string_view section) const
{
    return "Software\\" + location_.registryKey + "\\" + location_.profileName + "\\" + std::string(section);
}

std::optional<std::vector<std::uint8_t>> RegistryProfile::readBinary(std::string_view section,
                                                                     std::string_view key) const
{
    const RegistryKey registry = openSection(sectionKey(section), false);
    if (!registry)
        return std::nullopt;
    return registry.read(std::string(key), REG_BINARY);
}

bool RegistryProfile::writeBinary(std::string_view section, std::string_view key, std::span<const std::uint8_t> value)
{
    const RegistryKey registry = openSection(sectionKey(section), true);
    return registry && registry.write(std::string(key), REG_BINARY, value.data(), value.size());
}

std::optional<std::string> RegistryProfile::readString(std::string_view section, std::string_view key) const
{
    const RegistryKey registry = openSection(sectionKey(section), false);
    if (!registry)
        return std::nullopt;
    return registry.readString(std::string(key));
}

bool RegistryProfile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const RegistryKey registry = openSection(sectionKey(section), true);
    return registry && registry.writeString(std::string(key), std::string(value));
}

} // namespace lumbra
