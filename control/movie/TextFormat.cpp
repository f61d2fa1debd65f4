#include "control/movie/TextFormat.h"

namespace lumbra::movie {

namespace {

// Applies f to each paragraph member of a pair of formats.
template <typename F> void eachParagraphMember(TextFormat& a, const TextFormat& b, F f)
{
    f(a.align, b.align);
    f(a.leftMargin, b.leftMargin);
    f(a.rightMargin, b.rightMargin);
    f(a.indent, b.indent);
    f(a.leading, b.leading);
    f(a.blockIndent, b.blockIndent);
    f(a.tabStops, b.tabStops);
    f(a.bullet, b.bullet);
}

// Applies f to each member of a pair of formats.
template <typename F> void eachMember(TextFormat& a, const TextFormat& b, F f)
{
    f(a.font, b.font);
    f(a.size, b.size);
    f(a.color, b.color);
    f(a.bold, b.bold);
    f(a.italic, b.italic);
    f(a.underline, b.underline);
    f(a.url, b.url);
    f(a.target, b.target);
    eachParagraphMember(a, b, f);
    f(a.kerning, b.kerning);
    f(a.letterSpacing, b.letterSpacing);
}

} // namespace

TextFormat TextFormat::paragraphPart() const
{
    TextFormat part;
    part.takeParagraph(*this);
    return part;
}

TextFormat TextFormat::characterPart() const
{
    TextFormat part = *this;
    part.takeParagraph(TextFormat{});
    return part;
}

void TextFormat::takeParagraph(const TextFormat& other)
{
    eachParagraphMember(*this, other, [](auto& mine, const auto& theirs) { mine = theirs; });
}

void TextFormat::merge(const TextFormat& other)
{
    eachMember(*this, other, [](auto& mine, const auto& theirs) {
        if (theirs)
            mine = theirs;
    });
}

void TextFormat::intersect(const TextFormat& other)
{
    eachMember(*this, other, [](auto& mine, const auto& theirs) {
        if (mine != theirs)
            mine.reset();
    });
}

TextFormat TextFormat::defaults()
{
    TextFormat f;
    f.font = u"Times New Roman";
    f.size = 12;
    f.color = 0;
    f.bold = f.italic = f.underline = false;
    f.url = f.target = u"";
    f.align = TextAlign::Left;
    f.leftMargin = f.rightMargin = f.indent = f.leading = f.blockIndent = 0;
    f.tabStops = std::vector<double>{};
    f.bullet = false;
    f.kerning = false;
    f.letterSpacing = 0;
    return f;
}

} // namespace lumbra::movie
