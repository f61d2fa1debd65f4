// An open registry key, closed with its owner.
//
//   win32::RegistryKey key = win32::RegistryKey::open(HKEY_CLASSES_ROOT, "CLSID\\...");
//   std::optional<std::string> server = key.readString("");
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumbra::win32 {

class RegistryKey {
public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegistryKey& operator=(RegistryKey&& other) noexcept {
        std::swap(key_, other.key_);
        return *this;
    }
    ~RegistryKey() {
        if (key_) RegCloseKey(key_);
    }

    // An existing key; an invalid one when it cannot be opened.
    static RegistryKey open(HKEY root, const std::string& path, REGSAM access = KEY_READ) {
        RegistryKey key;
        if (RegOpenKeyExA(root, path.c_str(), 0, access, &key.key_) != ERROR_SUCCESS) key.key_ = nullptr;
        return key;
    }
    // The key, made when it does not exist yet.
    static RegistryKey create(HKEY root, const std::string& path, REGSAM access = KEY_READ | KEY_WRITE) {
        RegistryKey key;
        if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, access, nullptr, &key.key_, nullptr) !=
            ERROR_SUCCESS)
            key.key_ = nullptr;
        return key;
    }

    explicit operator bool() const { return key_ != nullptr; }
    HKEY get() const { return key_; }

    // The bytes of a value ("" names the default value) of the expected type.
    std::optional<std::vector<std::uint8_t>> read(const std::string& name, DWORD expectedType) const {
        DWORD type = 0, size = 0;
        if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            type != expectedType)
            return std::nullopt;
        std::vector<std::uint8_t> value(size);
        if (RegQueryValueExA(key_, name.c_str(), nullptr, &type, value.data(), &size) != ERROR_SUCCESS)
            return std::nullopt;
        value.resize(size);
        return value;
    }
    // A REG_SZ value up to its first NUL.
    std::optional<std::string> readString(const std::string& name) const {
        const auto bytes = read(name, REG_SZ);
        if (!bytes) return std::nullopt;
        std::string text(bytes->begin(), bytes->end());
        text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
        return text;
    }

    bool write(const std::string& name, DWORD type, const void* data, std::size_t size) const {
        return key_ && RegSetValueExA(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                      static_cast<DWORD>(size)) == ERROR_SUCCESS;
    }
    bool writeString(const std::string& name, const std::string& value) const {
        return write(name, REG_SZ, value.c_str(), value.size() + 1);
    }

private:
    HKEY key_ = nullptr;
};

} // namespace lumbra::win32
