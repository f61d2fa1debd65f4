#include "package/ResourceTable.h"

#include "package/AnsiText.h"

#include <algorithm>
#include <charconv>

namespace lumbra {

char16_t foldResourceChar(char16_t c)
{
    return c >= u'a' && c <= u'z' ? char16_t(c - u'a' + u'A') : c;
}

ResourceId ResourceId::fromText(std::string_view text)
{
    ResourceId id;
    if (text.size() > 1 && text[0] == '#') {
        unsigned value = 0;
        auto [end, error] = std::from_chars(text.data() + 1, text.data() + text.size(), value);
        if (error == std::errc() && end == text.data() + text.size() && value <= 0xFFFF) {
            id.number = std::uint16_t(value);
            return id;
        }
    }
    id.name = ansiToUtf16(text);
    return id;
}

std::string ResourceId::text() const
{
    return isNumber() ? "#" + std::to_string(number) : utf16ToAnsi(name);
}

bool ResourceId::sameAs(const ResourceId& other) const
{
    if (isNumber() || other.isNumber())
        return isNumber() == other.isNumber() && number == other.number;
    return std::ranges::equal(name, other.name,
                              [](char16_t a, char16_t b) { return foldResourceChar(a) == foldResourceChar(b); });
}

bool ResourceId::matches(std::string_view text) const
{
    return sameAs(fromText(text));
}

const ResourceEntry* ResourceTable::entry(std::string_view type, std::string_view name) const
{
    for (const ResourceEntry& entry : entries_)
        if (entry.type.matches(type) && entry.name.matches(name))
            return &entry;
    return nullptr;
}

std::optional<std::vector<std::uint8_t>> ResourceTable::find(std::string_view type, std::string_view name) const
{
    if (const ResourceEntry* found = entry(type, name))
        return found->data;
    return std::nullopt;
}

std::string ResourceTable::missingText(std::string_view type, std::string_view name) const
{
    return "The resource " + std::string(type) + "/" + std::string(name) + " cannot be found";
}

void ResourceTable::put(const ResourceId& type, const ResourceId& name, std::vector<std::uint8_t> data)
{
    auto same = [&](const ResourceEntry& e) { return e.type.sameAs(type) && e.name.sameAs(name); };
    auto first = std::ranges::find_if(entries_, same);
    if (first == entries_.end()) {
        entries_.push_back({type, name, 0, 0, std::move(data)});
        return;
    }
    first->data = std::move(data);
    std::erase_if(entries_, [&](const ResourceEntry& e) { return &e != &*first && same(e); });
}

} // namespace lumbra
