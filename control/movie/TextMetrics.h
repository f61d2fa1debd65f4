// Measures of device-font text, the same on every platform so that a movie
// lays out (and reports textWidth, maxscroll ...) alike headless and in the
// window: advance widths of the printable ASCII range for a sans, a serif and
// a monospaced face, other characters at the width of a digit.
#pragma once

#include "control/movie/FontParser.h"
#include "control/movie/TextFormat.h"

#include <map>
#include <memory>
#include <unordered_map>

namespace lumbra::movie {

struct FontMetrics {
    double ascent = 0;  // pixels above the baseline
    double descent = 0; // pixels below it
};

// The face family a font name draws with.
enum class FaceFamily { Sans, Serif, Mono };
FaceFamily faceFamily(std::u16string_view font);

// Pixels, for a format with font, size and bold set.
double advanceWidth(const TextFormat& format, char16_t c);
FontMetrics fontMetrics(const TextFormat& format);

// An embedded font as fields draw with it: glyphs found by character.
struct FieldFont {
    explicit FieldFont(std::shared_ptr<const EmbeddedFont> font);
    // The glyph of a character; null when the font lacks it.
    const Path* glyph(char16_t c) const;
    double advance(char16_t c, double size) const; // pixels
    FontMetrics metrics(double size) const;

    std::shared_ptr<const EmbeddedFont> font;
    std::unordered_map<char16_t, std::size_t> glyphOf;
};

// The embedded fonts of a movie by name.
using FieldFonts = std::map<std::u16string, std::shared_ptr<const FieldFont>>;

} // namespace lumbra::movie
