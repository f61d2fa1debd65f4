// The HTML subset text fields read and write: paragraphs (P, with ALIGN), line
// breaks (BR), FONT (FACE, SIZE, COLOR), B, I, U, A (HREF, TARGET), LI and
// TEXTFORMAT (margins, indent, leading, tab stops). Unknown tags are dropped
// with their markup, their text kept, unless a style sheet styles them. Line
// ends in the text are '\r'.
#pragma once

#include "control/movie/StyleSheet.h"
#include "control/movie/TextFormat.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie {

struct StyledRun {
    std::size_t length = 0;
    TextFormat format;
};

struct StyledText {
    std::u16string text;
    std::vector<StyledRun> runs; // lengths add up to the text's
};

// `base` is the format outside every tag; condenseWhite folds runs of white
// space (line ends included) into one space, as the field property asks.
// With a style sheet, each element also takes the style of its tag name, then
// of its class (".name"), links that of "a:link"; a style's display makes an
// element a paragraph (block) or hides it (none).
StyledText parseHtml(std::u16string_view html, const TextFormat& base, bool condenseWhite = false,
                     const StyleSheet* sheet = nullptr);
// The HTML a field reports for its text and runs: one P per paragraph, a FONT
// around each run, B / I / U / A where set.
// `empty` is the format of an empty field.
std::u16string formatHtml(std::u16string_view text, const std::vector<StyledRun>& runs, const TextFormat& empty);
// Only the text.
std::u16string plainTextFromHtml(std::u16string_view html);

} // namespace lumbra::movie
