// The resources of a PE image as a flat table of (type, name, language)
// entries, and the lookups the package needs. A resource table is also a
// ResourceSource, so a packaged program can be read without running it.
#pragma once

#include "package/ResourceSource.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

// A resource type or name: an integer id or a UTF-16 name. Written as text,
// an id is "#123" and a name is itself.
struct ResourceId {
    std::uint16_t number = 0; // meaningful when name is empty
    std::u16string name;

    static ResourceId fromText(std::string_view text);
    std::string text() const;
    bool isNumber() const { return name.empty(); }
    bool sameAs(const ResourceId& other) const; // letter case ignored
    bool matches(std::string_view text) const;
    friend bool operator==(const ResourceId&, const ResourceId&) = default;
};

struct ResourceEntry {
    ResourceId type;
    ResourceId name;
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    std::vector<std::uint8_t> data;
};

class ResourceTable : public ResourceSource {
public:
    std::optional<std::vector<std::uint8_t>> find(std::string_view type, std::string_view name) const override;
    std::string missingText(std::string_view type, std::string_view name) const override;

    const ResourceEntry* entry(std::string_view type, std::string_view name) const;
    const std::vector<ResourceEntry>& entries() const { return entries_; }

    void add(ResourceEntry entry) { entries_.push_back(std::move(entry)); }
    // Replaces every language of the resource by one entry with these bytes
    // (keeping the first language found), or adds it as language neutral.
    void put(const ResourceId& type, const ResourceId& name, std::vector<std::uint8_t> data);
    // Removes every entry the predicate selects; returns how many went.
    template <typename Predicate>
    std::size_t removeIf(Predicate predicate)
    {
        return std::erase_if(entries_, predicate);
    }

private:
    std::vector<ResourceEntry> entries_;
};

// Letter-case folding used for resource names (ASCII letters only, as the
// names the package uses are ASCII).
char16_t foldResourceChar(char16_t c);

} // namespace lumbra
