// Where the package's resources come from: the program's own module on
// Windows, or any PE file read as bytes. Types and names compare without
// regard to letter case; an integer id is written "#123".
#pragma once

#include "package/PlayerException.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

class ResourceSource {
public:
    virtual ~ResourceSource() = default;
    // A copy of the resource's bytes, or nothing when there is no such resource.
    virtual std::optional<std::vector<std::uint8_t>> find(std::string_view type, std::string_view name) const = 0;
    // The message for a resource that find() did not give; by default the
    // system's text for the last error, which the module lookup sets.
    virtual std::string missingText(std::string_view type, std::string_view name) const
    {
        return lastSystemErrorText();
    }
};

} // namespace lumbra
