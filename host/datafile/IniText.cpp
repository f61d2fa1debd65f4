#include "host/datafile/IniText.h"

#include <algorithm>

namespace lumbra {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool sameName(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c | 0x20) : c; };
        return lower(x) == lower(y);
    });
}

// A "[name]" line gives the name.
std::optional<std::string_view> sectionOf(std::string_view line)
{
    line = trimmed(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    const std::size_t close = line.rfind(']');
    if (close == std::string_view::npos || close == 0)
        return std::nullopt;
    return trimmed(line.substr(1, close - 1));
}

// A "key=value" line splits at its first "=".
std::optional<std::pair<std::string_view, std::string_view>> entryOf(std::string_view line)
{
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return std::pair{trimmed(line.substr(0, equals)), trimmed(line.substr(equals + 1))};
}

std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

IniText::IniText(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        Line parsed{std::string(line), {}, false};
        if (auto name = sectionOf(line)) {
            parsed.section = *name;
            parsed.opensSection = true;
        }
        lines_.push_back(std::move(parsed));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
}

std::string IniText::text() const
{
    std::string out;
    for (const Line& line : lines_) {
        out += line.text;
        out += "\r\n";
    }
    return out;
}

std::vector<std::string> IniText::sectionNames() const
{
    std::vector<std::string> names;
    for (const Line& line : lines_)
        if (line.opensSection
            && std::ranges::none_of(names, [&](const std::string& n) { return sameName(n, line.section); }))
            names.push_back(line.section);
    return names;
}

std::size_t IniText::findSection(std::string_view section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (lines_[i].opensSection && sameName(lines_[i].section, trimmed(section)))
            return i;
    return std::string::npos;
}

std::size_t IniText::sectionEnd(std::size_t header) const
{
    std::size_t end = header + 1;
    while (end < lines_.size() && !lines_[end].opensSection)
        ++end;
    return end;
}

std::size_t IniText::findKey(std::size_t header, std::string_view key) const
{
    for (std::size_t i = header + 1, end = sectionEnd(header); i < end; ++i)
        if (auto entry = entryOf(lines_[i].text); entry && sameName(entry->first, trimmed(key)))
            return i;
    return std::string::npos;
}

std::optional<std::string> IniText::value(std::string_view section, std::string_view key) const
{
    const std::size_t header = findSection(section);
    if (header == std::string::npos)
        return std::nullopt;
    const std::size_t at = findKey(header, key);
    if (at == std::string::npos)
        return std::nullopt;
    return std::string(unquoted(entryOf(lines_[at].text)->second));
}

void IniText::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    std::string line = std::string(trimmed(key)) + "=" + std::string(value);
    std::size_t header = findSection(section);
    if (header == std::string::npos) {
        const std::string name(trimmed(section));
        lines_.push_back({"[" + name + "]", name, true});
        lines_.push_back({std::move(line), {}, false});
        return;
    }
    if (const std::size_t at = findKey(header, key); at != std::string::npos) {
        lines_[at].text = std::move(line);
        return;
    }
    // After the section's last entry, so that blank lines between sections stay between them.
    std::size_t insertAt = sectionEnd(header);
    while (insertAt > header + 1 && trimmed(lines_[insertAt - 1].text).empty())
        --insertAt;
    lines_.insert(lines_.begin() + std::ptrdiff_t(insertAt), Line{std::move(line), {}, false});
}

void IniText::removeSection(std::string_view section)
{
    for (std::size_t header; (header = findSection(section)) != std::string::npos;)
        lines_.erase(lines_.begin() + std::ptrdiff_t(header), lines_.begin() + std::ptrdiff_t(sectionEnd(header)));
}

} // namespace lumbra
