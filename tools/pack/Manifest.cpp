#include "tools/pack/Manifest.h"

#include "package/PackagePaths.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace lumbra::pack {

namespace {

std::string_view trim(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string lower(std::string_view text)
{
    std::string result(text);
    std::ranges::transform(result, result.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return result;
}

} // namespace

Manifest Manifest::parse(std::string_view text, const std::string& fileName)
{
    Manifest manifest;
    manifest.fileName_ = fileName;
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    std::string section;
    int number = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        ++number;
        if (line.empty() || line.front() == '#' || line.front() == ';')
            continue;
        auto error = [&](const std::string& message) {
            return PackError(fileName + ":" + std::to_string(number) + ": " + message);
        };
        if (line.front() == '[') {
            if (line.back() != ']')
                throw error("section header without ']'");
            section = lower(trim(line.substr(1, line.size() - 2)));
            continue;
        }
        std::size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            throw error("expected 'key = value'");
        if (section.empty())
            throw error("entry before the first [section]");
        std::string_view key = trim(line.substr(0, equals));
        std::string_view value = trim(line.substr(equals + 1));
        if (key.empty())
            throw error("missing key");
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        manifest.entries_.push_back({section, std::string(key), std::string(value), number});
    }
    return manifest;
}

Manifest Manifest::load(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw PackError(ansiFromPath(file) + ": cannot open the manifest");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parse(text, ansiFromPath(file));
}

std::vector<const ManifestEntry*> Manifest::section(std::string_view name) const
{
    std::vector<const ManifestEntry*> found;
    for (const ManifestEntry& entry : entries_)
        if (entry.section == name)
            found.push_back(&entry);
    return found;
}

const ManifestEntry* Manifest::single(std::string_view section, std::string_view key) const
{
    const ManifestEntry* found = nullptr;
    for (const ManifestEntry& entry : entries_) {
        if (entry.section != section || lower(entry.key) != lower(key))
            continue;
        if (found)
            fail(entry, "'" + entry.key + "' given twice");
        found = &entry;
    }
    return found;
}

void Manifest::fail(const ManifestEntry& entry, const std::string& message) const
{
    throw PackError(fileName_ + ":" + std::to_string(entry.line) + ": " + message);
}

} // namespace lumbra::pack
