// Style sheet text as text fields read it: rules of comma-separated selectors
// with their declarations ("p, .note { font-size: 12px; color: #FF0000 }"),
// comments dropped. Property names come out as scripts name them: hyphens
// dropped and the letter after each raised ("font-size" -> "fontSize").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace lumbra::movie {

struct CssDeclaration {
    std::u16string name; // camel-cased
    std::u16string value; // as written, white space trimmed
};

struct CssRule {
    std::u16string selector;
    std::vector<CssDeclaration> declarations; // in the order written
};

struct CssText {
    std::vector<CssRule> rules; // those read before any fault
    bool complete = true;       // false: the text is not valid style sheet text
};

CssText readCss(std::u16string_view text);

std::u16string camelCased(std::u16string_view cssName);

} // namespace lumbra::movie
