// The application's settings profile: binary values and strings under named
// sections. The player's profile is the registry key
// HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

class Profile {
public:
    virtual ~Profile() = default;
    virtual std::optional<std::vector<std::uint8_t>> readBinary(std::string_view section, std::string_view key) const = 0;
    virtual bool writeBinary(std::string_view section, std::string_view key, std::span<const std::uint8_t> value) = 0;
    virtual std::optional<std::string> readString(std::string_view section, std::string_view key) const = 0;
    virtual bool writeString(std::string_view section, std::string_view key, std::string_view value) = 0;
};

} // namespace lumbra
