// The styles of a text field style sheet as fields apply them: for each
// selector ("p", "heading", ".note", "a:link") the text format its
// declarations stand for and how the element displays. Selectors match
// without regard to case, as HTML tag names do.
#pragma once

#include "control/movie/CssReader.h"
#include "control/movie/TextFormat.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace lumbra::movie {

enum class Display { Inline, Block, None };

struct Style {
    TextFormat format; // only what the declarations set
    std::optional<Display> display;
};

// What declarations (values as text) mean for text: color "#RRGGBB",
// fontFamily (the first of a list, the generic "mono", "sans-serif" and
// "serif" as the device fonts _typewriter, _sans and _serif), fontSize,
// leading, marginLeft, marginRight, textIndent and letterSpacing (the number
// a value starts with, its unit ignored), fontWeight normal|bold, fontStyle
// normal|italic, textDecoration none|underline, textAlign, kerning
// true|false, display inline|block|none. Other values change nothing.
Style styleFrom(const std::vector<CssDeclaration>& declarations);

class StyleSheet {
public:
    void set(std::u16string_view selector, Style style);
    void remove(std::u16string_view selector);
    void clear();
    const Style* find(std::u16string_view selector) const;
    // Grows with every change: fields styled with an older one restyle.
    unsigned version() const { return version_; }

private:
    std::map<std::u16string, Style> styles_; // by folded selector
    unsigned version_ = 0;
};

} // namespace lumbra::movie
