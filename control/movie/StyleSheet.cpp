#include "control/movie/StyleSheet.h"

#include "control/movie/TextCodec.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// Sizes and margins stay within what a field can lay out.
constexpr double kMaxMeasure = 2000;

// The number a value starts with ("12px" -> 12, "-1.5em" -> -1.5); units are
// not read, so pixels and points are alike.
std::optional<double> leadingNumber(std::u16string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = i < text.size() && text[i] == u'-';
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    double value = 0, scale = 0;
    bool digits = false;
    for (; i < text.size(); ++i) {
        char16_t c = text[i];
        if (c == u'.' && scale == 0) {
            scale = 1;
            continue;
        }
        if (c < u'0' || c > u'9')
            break;
        digits = true;
        if (scale != 0)
            value += (c - u'0') * (scale /= 10);
        else if (value < 1e9)
            value = value * 10 + (c - u'0');
    }
    if (!digits)
        return std::nullopt;
    return std::clamp(negative ? -value : value, -kMaxMeasure, kMaxMeasure);
}

std::optional<double> wholeNumber(std::u16string_view text)
{
    auto n = leadingNumber(text);
    return n ? std::optional<double>(std::trunc(*n)) : std::nullopt;
}

std::optional<std::uint32_t> hexColor(std::u16string_view text)
{
    if (text.size() != 7 || text[0] != u'#')
        return std::nullopt;
    return parseHex(text.substr(1));
}

// The first family of a list, generic names as the device fonts.
std::u16string fontFamily(std::u16string_view list)
{
    std::u16string_view first = list.substr(0, std::min(list.find(u','), list.size()));
    while (!first.empty() && (first.front() == u' ' || first.front() == u'"' || first.front() == u'\''))
        first.remove_prefix(1);
    while (!first.empty() && (first.back() == u' ' || first.back() == u'"' || first.back() == u'\''))
        first.remove_suffix(1);
    std::u16string name = foldCase(first);
    if (name == u"mono")
        return u"_typewriter";
    if (name == u"sans-serif")
        return u"_sans";
    if (name == u"serif")
        return u"_serif";
    return std::u16string(first);
}

// Reads one declaration into the style.
void apply(Style& style, const std::u16string& name, std::u16string_view value)
{
    TextFormat& f = style.format;
    std::u16string word = foldCase(value);
    if (name == u"color") {
        if (auto c = hexColor(value))
            f.color = c;
    } else if (name == u"display") {
        if (word == u"inline") style.display = Display::Inline;
        else if (word == u"block") style.display = Display::Block;
        else if (word == u"none") style.display = Display::None;
    } else if (name == u"fontFamily") {
        if (!value.empty())
            f.font = fontFamily(value);
    } else if (name == u"fontSize") {
        if (auto n = wholeNumber(value); n && *n > 0)
            f.size = n;
    } else if (name == u"fontStyle") {
        if (word == u"italic" || word == u"normal")
            f.italic = word == u"italic";
    } else if (name == u"fontWeight") {
        if (word == u"bold" || word == u"normal")
            f.bold = word == u"bold";
    } else if (name == u"textDecoration") {
        if (word == u"underline" || word == u"none")
            f.underline = word == u"underline";
    } else if (name == u"textAlign") {
        if (word == u"left") f.align = TextAlign::Left;
        else if (word == u"center") f.align = TextAlign::Center;
        else if (word == u"right") f.align = TextAlign::Right;
        else if (word == u"justify") f.align = TextAlign::Justify;
    } else if (name == u"kerning") {
        if (word == u"true" || word == u"false")
            f.kerning = word == u"true";
    } else if (name == u"letterSpacing") {
        if (auto n = leadingNumber(value))
            f.letterSpacing = n;
    } else if (name == u"leading") {
        f.leading = wholeNumber(value);
    } else if (name == u"marginLeft") {
        f.leftMargin = wholeNumber(value);
    } else if (name == u"marginRight") {
        f.rightMargin = wholeNumber(value);
    } else if (name == u"textIndent") {
        f.indent = wholeNumber(value);
    }
}

} // namespace

Style styleFrom(const std::vector<CssDeclaration>& declarations)
{
    Style style;
    for (const CssDeclaration& d : declarations)
        apply(style, d.name, d.value);
    return style;
}

void StyleSheet::set(std::u16string_view selector, Style style)
{
    styles_[foldCase(selector)] = std::move(style);
    ++version_;
}

void StyleSheet::remove(std::u16string_view selector)
{
    styles_.erase(foldCase(selector));
    ++version_;
}

void StyleSheet::clear()
{
    styles_.clear();
    ++version_;
}

const Style* StyleSheet::find(std::u16string_view selector) const
{
    auto it = styles_.find(foldCase(selector));
    return it == styles_.end() ? nullptr : &it->second;
}

} // namespace lumbra::movie
