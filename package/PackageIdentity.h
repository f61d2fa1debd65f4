// The package identity, resource LUMBRA/ID: a UTF-16 text ending in a 0 unit,
// 16 opaque bytes, and the built-in digest of everything before it. The text
// names the application's registry profile, "Company/Product\Version".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

// The identity text (ANSI), or nothing when the block is 32 bytes or less,
// its text is not terminated, or its digest does not hold.
std::optional<std::string> checkPackageIdentity(std::span<const std::uint8_t> block);

// The packager's side: the block for an ANSI identity text.
std::vector<std::uint8_t> makePackageIdentity(std::string_view text, const std::array<std::uint8_t, 16>& opaque);

// Where the application's profile lives, below HKEY_CURRENT_USER:
// Software, the registry key, then the profile name.
struct ProfileLocation {
    std::string registryKey;
    std::string profileName;
};

// The part before the first "/" is the registry key, the rest the profile
// name; a text without "/" is the registry key and the application name is
// the profile name.
ProfileLocation profileLocation(std::string_view identity, std::string_view applicationName);

} // namespace lumbra
