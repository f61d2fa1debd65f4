// The character and paragraph format of text in a field. Every member is
// optional: a format read over a range leaves out what differs within it, and
// a format applied to a range changes only what it sets. The runs a field
// stores have every member set.
#pragma once

#include "control/movie/Canvas.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumbra::movie {

struct TextFormat {
    std::optional<std::u16string> font;
    std::optional<double> size; // pixels
    std::optional<std::uint32_t> color; // 0xRRGGBB
    std::optional<bool> bold, italic, underline;
    std::optional<std::u16string> url, target;
    std::optional<TextAlign> align;
    std::optional<double> leftMargin, rightMargin, indent, leading, blockIndent; // pixels
    std::optional<std::vector<double>> tabStops;
    std::optional<bool> bullet;
    std::optional<bool> kerning;
    std::optional<double> letterSpacing; // pixels added after each character

    bool operator==(const TextFormat&) const = default;

    // Takes every member `other` sets.
    void merge(const TextFormat& other);
    // Drops every member that differs from `other`'s.
    void intersect(const TextFormat& other);
    // The members that belong to a whole paragraph (align, margins, indents,
    // leading, tab stops, bullet), and those that belong to each character.
    TextFormat paragraphPart() const;
    TextFormat characterPart() const;
    // Takes `other`'s paragraph members, set or not.
    void takeParagraph(const TextFormat& other);

    // What a field made by script starts with.
    static TextFormat defaults();
};

} // namespace lumbra::movie
