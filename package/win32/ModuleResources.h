// The resources of a loaded module (the running program by default), found
// with FindResourceA. A failed lookup leaves the system's last error set,
// which readResource turns into its message.
#pragma once

#include "package/ResourceSource.h"

#include <windows.h>

namespace lumbra {

class ModuleResources : public ResourceSource {
public:
    explicit ModuleResources(HMODULE module = nullptr) : module_(module) {}
    std::optional<std::vector<std::uint8_t>> find(std::string_view type, std::string_view name) const override;

private:
    HMODULE module_;
};

} // namespace lumbra
