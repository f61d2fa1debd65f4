#include "package/win32/RegistryProfile.h"

#include <windows.h>

namespace lumbra {

namespace {

class RegistryKey {
public:
    RegistryKey(const std::string& path, bool create)
    {
        LONG status = create ? RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                               nullptr, &key_, nullptr)
                             : RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key_);
        if (status != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~RegistryKey()
    {
        if (key_)
            RegCloseKey(key_);
    }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    explicit operator bool() const { return key_ != nullptr; }

    std::optional<std::vector<std::uint8_t>> read(const std::string& name, DWORD expectedType) const
    {
        DWORD type = 0, size = 0;
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != expectedType)
            return std::nullopt;
        std::vector<std::uint8_t> value(size);
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, value.data(), &size) != ERROR_SUCCESS)
            return std::nullopt;
        value.resize(size);
        return value;
    }

    bool write(const std::string& name, DWORD type, const void* data, std::size_t size)
    {
        return RegSetValueExA(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data), DWORD(size)) ==
               ERROR_SUCCESS;
    }

private:
    HKEY key_ = nullptr;
};

} // namespace

RegistryProfile::RegistryProfile(ProfileLocation location) : location_(std::move(location)) {}

std::string RegistryProfile::sectionKey(std::string_view section) const
{
    return "Software\\" + location_.registryKey + "\\" + location_.profileName + "\\" + std::string(section);
}

std::optional<std::vector<std::uint8_t>> RegistryProfile::readBinary(std::string_view section,
                                                                     std::string_view key) const
{
    RegistryKey registry(sectionKey(section), false);
    if (!registry)
        return std::nullopt;
    return registry.read(std::string(key), REG_BINARY);
}

bool RegistryProfile::writeBinary(std::string_view section, std::string_view key, std::span<const std::uint8_t> value)
{
    RegistryKey registry(sectionKey(section), true);
    return registry && registry.write(std::string(key), REG_BINARY, value.data(), value.size());
}

std::optional<std::string> RegistryProfile::readString(std::string_view section, std::string_view key) const
{
    RegistryKey registry(sectionKey(section), false);
    if (!registry)
        return std::nullopt;
    auto bytes = registry.read(std::string(key), REG_SZ);
    if (!bytes)
        return std::nullopt;
    std::string text(bytes->begin(), bytes->end());
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return text;
}

bool RegistryProfile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    RegistryKey registry(sectionKey(section), true);
    std::string text(value);
    return registry && registry.write(std::string(key), REG_SZ, text.c_str(), text.size() + 1);
}

} // namespace lumbra
