#include "package/MemoryProfile.h"

#include <cctype>

namespace lumbra {

std::string MemoryProfile::slot(std::string_view section, std::string_view key)
{
    std::string name;
    for (char c : section)
        name.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    name.push_back('\\');
    for (char c : key)
        name.push_back(char(std::tolower(static_cast<unsigned char>(c))));
    return name;
}

std::optional<std::vector<std::uint8_t>> MemoryProfile::readBinary(std::string_view section, std::string_view key) const
{
    auto found = values_.find(slot(section, key));
    if (found == values_.end())
        return std::nullopt;
    if (auto* bytes = std::get_if<std::vector<std::uint8_t>>(&found->second))
        return *bytes;
    return std::nullopt;
}

bool MemoryProfile::writeBinary(std::string_view section, std::string_view key, std::span<const std::uint8_t> value)
{
    values_[slot(section, key)] = std::vector<std::uint8_t>(value.begin(), value.end());
    return true;
}

std::optional<std::string> MemoryProfile::readString(std::string_view section, std::string_view key) const
{
    auto found = values_.find(slot(section, key));
    if (found == values_.end())
        return std::nullopt;
    if (auto* text = std::get_if<std::string>(&found->second))
        return *text;
    return std::nullopt;
}

bool MemoryProfile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    values_[slot(section, key)] = std::string(value);
    return true;
}

} // namespace lumbra
