#include "tools/pack/PackagerNote.h"

#include "package/PackageResources.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <string_view>

namespace lumbra::pack {

namespace {

constexpr std::string_view compressionWord = "compression ";
constexpr std::string_view resourceWord = "resource ";
constexpr std::string_view menuResourceType = "MENUS";

std::string entryText(const ResourceEntry& entry)
{
    return entry.type.text() + "/" + entry.name.text();
}

// The image stores names in upper case, so the note is matched that way.
std::string upper(std::string text)
{
    std::ranges::transform(text, text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

} // namespace

std::vector<std::uint8_t> writePackagerNote(const PackagerNote& note)
{
    std::string text = std::string(compressionWord) + std::to_string(note.compression) + "\n";
    for (const std::string& resource : note.resources)
        text += std::string(resourceWord) + upper(resource) + "\n";
    return {text.begin(), text.end()};
}

PackagerNote readPackagerNote(std::span<const std::uint8_t> bytes)
{
    PackagerNote note;
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    while (!text.empty()) {
        std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.starts_with(compressionWord)) {
            line.remove_prefix(compressionWord.size());
            int level = 0;
            auto [last, error] = std::from_chars(line.data(), line.data() + line.size(), level);
            if (error == std::errc() && last == line.data() + line.size() && level >= 0 && level <= 9)
                note.compression = level;
        } else if (line.starts_with(resourceWord)) {
            note.resources.emplace_back(line.substr(resourceWord.size()));
        }
    }
    return note;
}

std::vector<std::string> stripEarlierPackaging(ResourceTable& table)
{
    std::set<std::string> noted;
    if (auto bytes = table.find(packageResourceType, packagerNoteName))
        for (std::string& resource : readPackagerNote(*bytes).resources)
            noted.insert(upper(std::move(resource)));
    std::vector<std::string> removed;
    table.removeIf([&](const ResourceEntry& entry) {
        bool added = entry.type.matches(packageResourceType) || entry.type.matches(supportResourceType) ||
                     entry.type.matches(scriptResourceType) || entry.type.matches(menuResourceType) ||
                     noted.contains(upper(entryText(entry)));
        if (added && std::ranges::find(removed, entryText(entry)) == removed.end())
            removed.push_back(entryText(entry));
        return added;
    });
    return removed;
}

} // namespace lumbra::pack
