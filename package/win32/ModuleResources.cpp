#include "package/win32/ModuleResources.h"

#include "package/ResourceTable.h"

#include <string>

namespace lumbra {

namespace {

// A type or name as FindResourceA takes it: "#123" is an integer id.
class ResourceKey {
public:
    explicit ResourceKey(std::string_view text) : text_(text)
    {
        ResourceId id = ResourceId::fromText(text);
        if (id.isNumber())
            number_ = id.number;
    }
    LPCSTR get() const { return number_ ? MAKEINTRESOURCEA(number_) : text_.c_str(); }

private:
    std::string text_;
    WORD number_ = 0;
};

} // namespace

std::optional<std::vector<std::uint8_t>> ModuleResources::find(std::string_view type, std::string_view name) const
{
    ResourceKey typeKey(type), nameKey(name);
    HRSRC resource = FindResourceA(module_, nameKey.get(), typeKey.get());
    if (!resource)
        return std::nullopt;
    DWORD size = SizeofResource(module_, resource);
    HGLOBAL handle = LoadResource(module_, resource);
    const void* bytes = handle ? LockResource(handle) : nullptr;
    if (!bytes)
        return std::nullopt;
    auto first = static_cast<const std::uint8_t*>(bytes);
    return std::vector<std::uint8_t>(first, first + size);
}

} // namespace lumbra
