#include "control/movie/TextField.h"

#include "control/movie/TextMetrics.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// One '\r' for every kind of line end.
std::u16string normalizedBreaks(std::u16string_view text)
{
    std::u16string out;
    out.reserve(std::min(text.size(), TextField::kMaxLength));
    for (std::size_t i = 0; i < text.size() && out.size() < TextField::kMaxLength; ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        out += text[i] == u'\n' ? u'\r' : text[i];
    }
    return out;
}

// Whether c is in a restrict pattern: characters and ranges ("A-Z"), '^'
// switching between allowing and excluding what follows, '\\' quoting the next
// character. A pattern starting with '^' allows everything it does not exclude.
bool restrictAllows(std::u16string_view pattern, char16_t c)
{
    bool allowed = !pattern.empty() && pattern[0] == u'^';
    bool including = true;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char16_t first = pattern[i];
        if (first == u'^') {
            including = !including;
            continue;
        }
        if (first == u'\\' && i + 1 < pattern.size())
            first = pattern[++i];
        char16_t last = first;
        if (i + 2 < pattern.size() && pattern[i + 1] == u'-') {
            i += 2;
            last = pattern[i];
            if (last == u'\\' && i + 1 < pattern.size())
                last = pattern[++i];
        }
        if (c >= first && c <= last)
            allowed = including;
    }
    return allowed;
}

// Adds a run, joined to the last one when their formats agree.
void appendRun(std::vector<StyledRun>& runs, StyledRun run)
{
    if (run.length == 0)
        return;
    if (!runs.empty() && runs.back().format == run.format)
        runs.back().length += run.length;
    else
        runs.push_back(std::move(run));
}

TextFormat formatFromDefinition(const EditTextDef& def)
{
    TextFormat f = TextFormat::defaults();
    f.font = def.font;
    f.size = def.height / 20;
    f.color = def.color & 0xFFFFFF;
    f.bold = def.bold;
    f.italic = def.italic;
    f.align = def.align;
    f.leftMargin = def.leftMargin / 20;
    f.rightMargin = def.rightMargin / 20;
    f.indent = def.indent / 20;
    f.leading = def.leading / 20;
    return f;
}

} // namespace

TextField::TextField(const EditTextDef& def)
    : bounds(def.bounds), variable(def.variable), html(def.html), multiline(def.multiline),
      wordWrap(def.wordWrap), password(def.password), selectable(!def.noSelect), editable(!def.readOnly),
      border(def.border), background(def.border), embedFonts(def.useOutlines),
      autoSize(def.autoSize ? AutoSize::Left : AutoSize::None), maxChars(def.maxLength),
      newFormat_(formatFromDefinition(def))
{
    if (html)
        setHtmlText(def.initialText);
    else
        setText(def.initialText);
}

void TextField::setText(std::u16string_view text)
{
    htmlSource_.reset();
    text_ = normalizedBreaks(text);
    runs_.clear();
    if (!text_.empty())
        runs_.push_back({text_.size(), newFormat_});
    clampState();
}

void TextField::setHtmlText(std::u16string_view html)
{
    if (!this->html) {
        setText(html);
        return;
    }
    std::u16string source(html);
    StyledText styled = parseHtml(source, newFormat_, condenseWhite, sheet_.get());
    if (styled.text.size() > kMaxLength) {
        replace(0, text_.size(), {}, newFormat_);
        replace(0, 0, std::u16string_view(styled.text).substr(0, kMaxLength), newFormat_);
    } else {
        text_ = std::move(styled.text);
        runs_ = std::move(styled.runs);
        clampState();
    }
    htmlSource_ = std::move(source);
    sheetVersion_ = sheet_ ? sheet_->version() : 0;
}

std::u16string TextField::htmlText() const
{
    if (sheet_ && htmlSource_)
        return *htmlSource_;
    return html ? formatHtml(text_, runs_, newFormat_) : text_;
}

void TextField::setStyleSheet(std::shared_ptr<const StyleSheet> sheet)
{
    sheet_ = std::move(sheet);
    sheetVersion_ = 0;
    if (sheet_)
        restyle();
}

bool TextField::restyle()
{
    if (!sheet_ || sheet_->version() == sheetVersion_)
        return false;
    sheetVersion_ = sheet_->version();
    if (htmlSource_) {
        std::u16string source = *htmlSource_;
        setHtmlText(source);
    }
    return true;
}

void TextField::replace(std::size_t begin, std::size_t end, std::u16string_view text, const TextFormat& format)
{
    end = std::min(end, text_.size());
    begin = std::min(begin, end);
    htmlSource_.reset();
    std::u16string inserted = normalizedBreaks(text);
    std::size_t room = kMaxLength - (text_.size() - (end - begin));
    if (inserted.size() > room)
        inserted.resize(room);

    // Cut the runs at begin and end, drop those between, put the new one in.
    std::vector<Run> runs;
    std::size_t at = 0;
    bool placed = false;
    auto place = [&] {
        if (!placed && !inserted.empty())
            runs.push_back({inserted.size(), format});
        placed = true;
    };
    for (const Run& run : runs_) {
        std::size_t from = at, to = at + run.length;
        at = to;
        if (from < begin)
            runs.push_back({std::min(to, begin) - from, run.format});
        if (to > begin || (to == begin && from == to))
            place();
        if (to > end)
            runs.push_back({to - std::max(from, end), run.format});
    }
    place();
    runs_.clear();
    for (Run& run : runs)
        appendRun(runs_, std::move(run));
    text_.replace(begin, end - begin, inserted);
    collapseTo(begin + inserted.size());
    clampState();
}

TextFormat TextField::format(std::size_t begin, std::size_t end) const
{
    if (runs_.empty())
        return newFormat_;
    begin = std::min(begin, text_.size() - 1);
    end = std::clamp(end, begin + 1, text_.size());
    std::optional<TextFormat> common;
    std::size_t at = 0;
    for (const Run& run : runs_) {
        std::size_t from = at, to = at + run.length;
        at = to;
        if (to <= begin || from >= end)
            continue;
        if (common)
            common->intersect(run.format);
        else
            common = run.format;
    }
    return common.value_or(newFormat_);
}

// Character members change the range; paragraph members whole paragraphs it touches.
void TextField::applyFormat(std::size_t begin, std::size_t end, const TextFormat& format)
{
    end = std::min(end, text_.size());
    if (begin >= end)
        return;
    applyToRange(begin, end, format.characterPart());
    std::size_t first = begin == 0 ? std::u16string::npos : text_.rfind(u'\r', begin - 1);
    first = first == std::u16string::npos ? 0 : first + 1;
    std::size_t last = text_.find(u'\r', end - 1);
    last = last == std::u16string::npos ? text_.size() : last + 1;
    applyToRange(first, last, format.paragraphPart());
    invalidate();
}

void TextField::applyToRange(std::size_t begin, std::size_t end, const TextFormat& format)
{
    std::vector<Run> runs;
    std::size_t at = 0;
    for (const Run& run : runs_) {
        std::size_t from = at, to = at + run.length;
        at = to;
        std::size_t cutFrom = std::clamp(begin, from, to), cutTo = std::clamp(end, from, to);
        if (cutFrom > from)
            runs.push_back({cutFrom - from, run.format});
        if (cutTo > cutFrom) {
            Run changed{cutTo - cutFrom, run.format};
            changed.format.merge(format);
            runs.push_back(std::move(changed));
        }
        if (to > cutTo)
            runs.push_back({to - cutTo, run.format});
    }
    runs_.clear();
    for (Run& run : runs)
        appendRun(runs_, std::move(run));
}

void TextField::unifyParagraphs()
{
    std::vector<Run> runs;
    std::size_t at = 0;
    bool starts = true; // the next character begins a paragraph
    TextFormat paragraph;
    for (const Run& run : runs_) {
        std::size_t to = at + run.length;
        while (at < to) {
            if (starts)
                paragraph = run.format.paragraphPart();
            std::size_t end = std::min(text_.find(u'\r', at), to - 1) + 1;
            starts = text_[end - 1] == u'\r';
            Run piece{end - at, run.format};
            piece.format.takeParagraph(paragraph);
            appendRun(runs, std::move(piece));
            at = end;
        }
    }
    runs_ = std::move(runs);
}

bool TextField::accepts(char16_t c) const
{
    if (c == u'\r' || c == u'\n')
        return multiline;
    if (c < 0x20 && c != u'\t')
        return false;
    return !restrict || restrictAllows(*restrict, c);
}

bool TextField::type(std::u16string_view typed)
{
    if (!userEditable())
        return false;
    std::size_t begin = selectionBegin(), end = selectionEnd();
    std::size_t room = maxChars > 0 ? std::size_t(maxChars) - std::min(std::size_t(maxChars), text_.size() - (end - begin))
                                    : kMaxLength;
    std::u16string kept;
    for (char16_t c : normalizedBreaks(typed)) {
        if (kept.size() >= room)
            break;
        if (accepts(c))
            kept += c;
    }
    if (kept.empty() && begin == end)
        return false;
    // Typed text continues the format of the character before it.
    TextFormat style = runs_.empty() ? newFormat_ : format(begin > 0 ? begin - 1 : 0, begin > 0 ? begin : 1);
    replace(begin, end, kept, style);
    return true;
}

bool TextField::key(EditKey key, bool extend)
{
    std::size_t begin = selectionBegin(), end = selectionEnd();
    auto move = [&](std::size_t to) {
        if (extend)
            caret_ = to;
        else
            collapseTo(to);
        return false;
    };
    switch (key) {
    case EditKey::Backspace:
        if (!userEditable())
            return false;
        if (begin == end) {
            if (begin == 0)
                return false;
            --begin;
        }
        replace(begin, end, {}, newFormat_);
        return true;
    case EditKey::Delete:
        if (!userEditable())
            return false;
        if (begin == end) {
            if (end >= text_.size())
                return false;
            ++end;
        }
        replace(begin, end, {}, newFormat_);
        return true;
    case EditKey::Enter:
        return userEditable() && multiline && type(u"\r");
    case EditKey::Left:
        return move(!extend && begin != end ? begin : caret_ > 0 ? caret_ - 1 : 0);
    case EditKey::Right:
        return move(!extend && begin != end ? end : std::min(caret_ + 1, text_.size()));
    case EditKey::Home: return move(lineStart(caret_));
    case EditKey::End: return move(lineEnd(caret_));
    case EditKey::Up: return move(verticalMove(false));
    case EditKey::Down: return move(verticalMove(true));
    }
    return false;
}

void TextField::setSelection(std::size_t begin, std::size_t end)
{
    anchor_ = std::min(begin, text_.size());
    caret_ = std::min(end, text_.size());
}

void TextField::clampState()
{
    unifyParagraphs();
    anchor_ = std::min(anchor_, text_.size());
    caret_ = std::min(caret_, text_.size());
    invalidate();
    // Only a scrolled field needs the layout to know its limits now.
    if (scroll_ > 1)
        scroll_ = std::clamp(scroll_, 1, maxScroll());
    if (hscroll_ > 0)
        hscroll_ = std::clamp(hscroll_, 0.0, maxHscroll());
}

const FieldFont* TextField::fieldFont(const TextFormat& format) const
{
    if (!embedFonts || !fonts || !format.font)
        return nullptr;
    auto it = fonts->find(*format.font);
    return it == fonts->end() ? nullptr : it->second.get();
}

double TextField::advance(const TextFormat& format, char16_t c) const
{
    const FieldFont* font = fieldFont(format);
    double width = font ? font->advance(c, format.size.value_or(12)) : advanceWidth(format, c);
    return width + format.letterSpacing.value_or(0);
}

FontMetrics TextField::metrics(const TextFormat& format) const
{
    const FieldFont* font = fieldFont(format);
    return font ? font->metrics(format.size.value_or(12)) : fontMetrics(format);
}

// --- layout --------------------------------------------------------------------------

const TextLayout& TextField::layout() const
{
    if (layout_)
        return *layout_;
    TextLayout& out = layout_.emplace();
    std::u16string shown = shownText();

    // The format of each character, walked alongside the text.
    std::vector<const TextFormat*> formats(shown.size(), &newFormat_);
    std::size_t at = 0;
    for (const Run& run : runs_)
        for (std::size_t i = 0; i < run.length && at < formats.size(); ++i)
            formats[at++] = &run.format;

    double top = kGutter;
    std::size_t i = 0;
    for (;;) {
        const TextFormat& paragraph = i < formats.size() ? *formats[i] : (runs_.empty() ? newFormat_ : *formats.back());
        bool firstOfParagraph = i == 0 || shown[i - 1] == u'\r';
        double left = paragraph.leftMargin.value_or(0) + paragraph.blockIndent.value_or(0)
                    + (firstOfParagraph ? paragraph.indent.value_or(0) : 0);
        double limit = boxWidth() - 2 * kGutter - left - paragraph.rightMargin.value_or(0);

        TextLine line;
        line.begin = i;
        double width = 0;
        std::size_t lastSpace = std::string::npos;
        double widthAtSpace = 0;
        while (i < shown.size() && shown[i] != u'\r') {
            double advance = this->advance(*formats[i], shown[i]);
            if (wordWrap && width + advance > limit && i > line.begin) {
                if (lastSpace != std::string::npos) {
                    i = lastSpace + 1;
                    width = widthAtSpace;
                }
                break;
            }
            if (shown[i] == u' ') {
                lastSpace = i;
                widthAtSpace = width;
            }
            width += advance;
            ++i;
        }
        line.end = i;
        line.width = width;
        bool broke = i < shown.size() && shown[i] == u'\r';
        if (broke)
            ++i;

        FontMetrics lineMetrics = metrics(paragraph);
        line.ascent = lineMetrics.ascent;
        line.descent = lineMetrics.descent;
        line.leading = paragraph.leading.value_or(0);
        for (std::size_t k = line.begin; k < line.end; ++k) {
            FontMetrics m = metrics(*formats[k]);
            line.ascent = std::max(line.ascent, m.ascent);
            line.descent = std::max(line.descent, m.descent);
        }
        double slack = std::max(0.0, limit - width);
        TextAlign align = paragraph.align.value_or(TextAlign::Left);
        line.x = kGutter + left + (align == TextAlign::Right ? slack : align == TextAlign::Center ? slack / 2 : 0);
        line.top = top;
        top += line.height();
        out.width = std::max(out.width, width + left + paragraph.rightMargin.value_or(0));
        out.lines.push_back(line);
        if (i >= shown.size() && !broke)
            break;
    }
    out.height = top - kGutter - (out.lines.empty() ? 0 : out.lines.back().leading);
    return out;
}

std::size_t TextField::lineOf(std::size_t index) const
{
    const auto& lines = layout().lines;
    for (std::size_t n = 0; n + 1 < lines.size(); ++n)
        if (index < lines[n + 1].begin)
            return n;
    return lines.size() - 1;
}

std::size_t TextField::lineStart(std::size_t index) const
{
    return layout().lines[lineOf(index)].begin;
}

std::size_t TextField::lineEnd(std::size_t index) const
{
    return layout().lines[lineOf(index)].end;
}

std::size_t TextField::verticalMove(bool down) const
{
    const auto& lines = layout().lines;
    std::size_t n = lineOf(caret_);
    if (down ? n + 1 >= lines.size() : n == 0)
        return down ? text_.size() : 0;
    const TextLine& to = lines[down ? n + 1 : n - 1];
    std::size_t column = caret_ - lines[n].begin;
    return std::min(to.begin + column, to.end);
}

void TextField::setScroll(double line)
{
    if (std::isnan(line))
        return;
    scroll_ = int(std::clamp(line, 1.0, double(maxScroll())));
}

int TextField::maxScroll() const
{
    const auto& lines = layout().lines;
    double room = boxHeight() - 2 * kGutter;
    double used = 0;
    std::size_t first = lines.size();
    while (first > 0 && used + lines[first - 1].ascent + lines[first - 1].descent <= room + 0.01) {
        used += lines[first - 1].height();
        --first;
    }
    return int(std::min(first, lines.size() - 1)) + 1;
}

int TextField::bottomScroll() const
{
    const auto& lines = layout().lines;
    double room = boxHeight() - 2 * kGutter;
    std::size_t first = std::size_t(scroll_ - 1), last = first;
    double used = 0;
    for (std::size_t n = first; n < lines.size(); ++n) {
        used += lines[n].ascent + lines[n].descent;
        if (used > room + 0.01 && n > first)
            break;
        last = n;
        used += lines[n].leading;
    }
    return int(last) + 1;
}

void TextField::resize(bool width, double twips)
{
    (width ? bounds.xMax : bounds.yMax) = (width ? bounds.xMin : bounds.yMin) + twips;
    invalidate();
}

int TextField::scrollToCaret()
{
    int line = int(lineOf(caret_)) + 1;
    if (line < scroll_)
        scroll_ = line;
    else
        while (line > bottomScroll() && scroll_ < maxScroll())
            ++scroll_;
    return scroll_;
}

void TextField::setHscroll(double pixels)
{
    if (std::isnan(pixels))
        return;
    hscroll_ = std::clamp(std::floor(pixels), 0.0, maxHscroll());
}

double TextField::maxHscroll() const
{
    if (wordWrap)
        return 0;
    return std::max(0.0, std::floor(layout().width - (boxWidth() - 2 * kGutter)));
}

void TextField::fitBox()
{
    if (autoSize == AutoSize::None)
        return;
    const TextLayout& l = layout();
    double height = std::ceil((l.height + 2 * kGutter) * 20);
    bounds.yMax = bounds.yMin + height;
    if (!wordWrap) {
        double width = std::ceil((l.width + 2 * kGutter) * 20);
        double old = bounds.xMax - bounds.xMin;
        if (autoSize == AutoSize::Right)
            bounds.xMin = bounds.xMax - width;
        else if (autoSize == AutoSize::Center)
            bounds.xMin += (old - width) / 2;
        bounds.xMax = bounds.xMin + width;
    }
    invalidate();
}

std::u16string TextField::shownText() const
{
    if (!password)
        return text_;
    std::u16string stars = text_;
    for (char16_t& c : stars)
        if (c != u'\r')
            c = u'*';
    return stars;
}

} // namespace lumbra::movie
