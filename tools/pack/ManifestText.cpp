#include "tools/pack/ManifestText.h"

namespace lumbra::pack {

namespace {

// The sections in the order a manifest is read best; "" holds the heading
// comments.
constexpr std::string_view sectionOrder[] = {"",        "package", "settings",  "movies",
                                             "masks",   "scripts", "menus",     "support",   "resources",
                                             "archive"};

} // namespace

void ManifestText::add(std::string_view section, std::string_view key, std::string_view value)
{
    lines_[std::string(section)].push_back(std::string(key) + " = " + quote(value));
}

void ManifestText::comment(std::string_view section, std::string_view text)
{
    lines_[std::string(section)].push_back("# " + std::string(text));
}

std::string ManifestText::str() const
{
    std::string out;
    for (std::string_view section : sectionOrder) {
        auto found = lines_.find(section);
        if (found == lines_.end())
            continue;
        if (!section.empty())
            out += (out.empty() ? "[" : "\n[") + std::string(section) + "]\n";
        for (const std::string& line : found->second)
            out += line + "\n";
    }
    return out;
}

std::string ManifestText::quote(std::string_view value)
{
    bool quoted = value.empty() || value.front() == ' ' || value.back() == ' ' || value.front() == '"' ||
                  value.front() == '\t' || value.back() == '\t';
    return quoted ? "\"" + std::string(value) + "\"" : std::string(value);
}

} // namespace lumbra::pack
