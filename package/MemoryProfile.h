// A profile held in memory, for tools and tests. Sections and keys compare
// without regard to letter case, as in the registry.
#pragma once

#include "package/Profile.h"

#include <map>
#include <variant>

namespace lumbra {

class MemoryProfile : public Profile {
public:
    std::optional<std::vector<std::uint8_t>> readBinary(std::string_view section, std::string_view key) const override;
    bool writeBinary(std::string_view section, std::string_view key, std::span<const std::uint8_t> value) override;
    std::optional<std::string> readString(std::string_view section, std::string_view key) const override;
    bool writeString(std::string_view section, std::string_view key, std::string_view value) override;

private:
    using Value = std::variant<std::vector<std::uint8_t>, std::string>;
    static std::string slot(std::string_view section, std::string_view key);
    std::map<std::string, Value> values_;
};

} // namespace lumbra
