// The little ASCII text handling the control needs: names and keywords
// compared without regard to letter case (member names, URL schemes,
// property values) and hexadecimal digits (colours, URL escapes).
#pragma once

#include <string_view>

namespace lumbra::com {

constexpr char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c - u'A' + u'a') : c; }

constexpr bool startsWithNoCase(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (asciiLower(text[i]) != asciiLower(prefix[i])) return false;
    return true;
}

constexpr bool equalNoCase(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && startsWithNoCase(a, b);
}

// 0-15, or -1 for a character that is no hexadecimal digit.
constexpr int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    c = asciiLower(c);
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

} // namespace lumbra::com
