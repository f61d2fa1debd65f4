// The application's registry profile:
// HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>.
// Binary values are REG_BINARY, strings REG_SZ in the ANSI code page.
#pragma once

#include "package/PackageIdentity.h"
#include "package/Profile.h"

namespace lumbra {

class RegistryProfile : public Profile {
public:
    explicit RegistryProfile(ProfileLocation location);

    std::optional<std::vector<std::uint8_t>> readBinary(std::string_view section, std::string_view key) const override;
    bool writeBinary(std::string_view section, std::string_view key, std::span<const std::uint8_t> value) override;
    std::optional<std::string> readString(std::string_view section, std::string_view key) const override;
    bool writeString(std::string_view section, std::string_view key, std::string_view value) override;

    // The key path of a section below HKEY_CURRENT_USER.
    std::string sectionKey(std::string_view section) const;

private:
    ProfileLocation location_;
};

} // namespace lumbra
