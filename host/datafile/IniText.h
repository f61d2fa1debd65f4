// The text of an initialisation file as the system's profile functions read
// and change it: "[section]" lines, then "key=value" lines. Section and key
// names match without regard to case; names and values lose surrounding
// blanks; a value enclosed in a pair of single or double quotes loses them.
// A section name runs to the last "]" of its line. Lines before the first
// section and lines without "=" are kept as they are but hold no key.
// Changes keep the order and the other lines of the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

class IniText {
public:
    IniText() = default;
    explicit IniText(std::string_view text);

    std::string text() const;

    // In file order; a name that appears twice is listed once.
    std::vector<std::string> sectionNames() const;
    // The first matching key of the first matching section.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    // Replaces the key's value, or adds the key at the end of the section, or
    // the section at the end of the file.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    // Removes every section of that name with its lines.
    void removeSection(std::string_view section);

private:
    struct Line {
        std::string text;
        std::string section; // the section this line opens; empty for other lines
        bool opensSection = false;
    };
    std::size_t findSection(std::string_view section) const; // index of its header, or npos
    std::size_t findKey(std::size_t header, std::string_view key) const;
    std::size_t sectionEnd(std::size_t header) const; // first line after the section

    std::vector<Line> lines_;
};

} // namespace lumbra
