// Measures of device-font text, the same on every platform so that a movie
// lays out (and reports textWidth, maxscroll ...) alike headless and in the
// window: advance widths of the printable ASCII range for a sans, a serif and
// a monospaced face, other characters at the width of a digit.
#pragma once

#include "control/movie/TextFormat.h"

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

} // namespace lumbra::movie
