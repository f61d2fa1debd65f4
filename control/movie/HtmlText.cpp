#include "control/movie/HtmlText.h"

#include "control/movie/TextCodec.h"
#include "control/movie/Value.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace lumbra::movie {

namespace {

struct Entity {
    std::u16string_view name;
    char16_t value;
};

constexpr Entity kEntities[] = {{u"lt", u'<'}, {u"gt", u'>'}, {u"amp", u'&'},
                                {u"quot", u'"'}, {u"apos", u'\''}, {u"nbsp", 0xA0}};

// Nesting beyond this is read as flat: the innermost formats are dropped.
constexpr std::size_t kMaxNesting = 256;

bool isBlank(char16_t c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// A tag's name (folded) and attributes (names folded).
struct Tag {
    std::u16string name;
    bool closing = false;
    std::map<std::u16string, std::u16string> attributes;

    const std::u16string* attribute(std::u16string_view key) const
    {
        auto it = attributes.find(std::u16string(key));
        return it == attributes.end() ? nullptr : &it->second;
    }
};

// The character an entity at text[i] ('&' included) stands for; i moves past it.
std::optional<char16_t> entityAt(std::u16string_view text, std::size_t& i)
{
    std::size_t semi = text.find(u';', i);
    if (semi == std::u16string_view::npos || semi - i > 10)
        return std::nullopt;
    std::u16string_view name = text.substr(i + 1, semi - i - 1);
    std::optional<char16_t> value;
    if (name.size() > 1 && name[0] == u'#') {
        bool hex = name[1] == u'x' || name[1] == u'X';
        std::u16string_view digits = name.substr(hex ? 2 : 1);
        unsigned long n = 0;
        bool ok = !digits.empty();
        for (char16_t d : digits) {
            int v = d >= u'0' && d <= u'9' ? d - u'0'
                  : hex && d >= u'a' && d <= u'f' ? d - u'a' + 10
                  : hex && d >= u'A' && d <= u'F' ? d - u'A' + 10 : -1;
            ok = ok && v >= 0;
            n = std::min(n * (hex ? 16 : 10) + unsigned(std::max(v, 0)), 0x10000ul);
        }
        if (ok && n > 0 && n < 0x10000)
            value = char16_t(n);
    } else {
        std::u16string folded = foldCase(name);
        for (const auto& e : kEntities)
            if (folded == e.name)
                value = e.value;
    }
    if (value)
        i = semi + 1;
    return value;
}

std::u16string decodeEntities(std::u16string_view text)
{
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == u'&')
            if (auto c = entityAt(text, i)) {
                out += *c;
                continue;
            }
        out += text[i++];
    }
    return out;
}

Tag parseTag(std::u16string_view body)
{
    Tag tag;
    std::size_t i = 0;
    if (i < body.size() && body[i] == u'/') {
        tag.closing = true;
        ++i;
    }
    std::size_t start = i;
    while (i < body.size() && !isBlank(body[i]) && body[i] != u'/')
        ++i;
    tag.name = foldCase(body.substr(start, i - start));
    while (i < body.size()) {
        while (i < body.size() && (isBlank(body[i]) || body[i] == u'/'))
            ++i;
        start = i;
        while (i < body.size() && !isBlank(body[i]) && body[i] != u'=')
            ++i;
        std::u16string key = foldCase(body.substr(start, i - start));
        while (i < body.size() && isBlank(body[i]))
            ++i;
        std::u16string value;
        if (i < body.size() && body[i] == u'=') {
            ++i;
            while (i < body.size() && isBlank(body[i]))
                ++i;
            if (i < body.size() && (body[i] == u'"' || body[i] == u'\'')) {
                char16_t quote = body[i++];
                start = i;
                while (i < body.size() && body[i] != quote)
                    ++i;
                value = decodeEntities(body.substr(start, i - start));
                ++i;
            } else {
                start = i;
                while (i < body.size() && !isBlank(body[i]))
                    ++i;
                value = decodeEntities(body.substr(start, i - start));
            }
        }
        if (!key.empty())
            tag.attributes[key] = value;
        else if (start == i)
            ++i;
    }
    return tag;
}

std::optional<double> numberAttribute(const Tag& tag, std::u16string_view key)
{
    const std::u16string* text = tag.attribute(key);
    if (!text)
        return std::nullopt;
    double n = parseNumber(*text);
    return std::isnan(n) ? std::nullopt : std::optional<double>(n);
}

std::optional<std::uint32_t> colorAttribute(const std::u16string& text)
{
    std::u16string_view digits = text;
    if (!digits.empty() && digits[0] == u'#')
        digits.remove_prefix(1);
    if (digits.size() > 6)
        return std::nullopt;
    return parseHex(digits);
}

std::optional<TextAlign> alignOf(const std::u16string& text)
{
    std::u16string a = foldCase(text);
    if (a == u"left") return TextAlign::Left;
    if (a == u"right") return TextAlign::Right;
    if (a == u"center") return TextAlign::Center;
    if (a == u"justify") return TextAlign::Justify;
    return std::nullopt;
}

// The format inside an opening tag, given the one outside it.
TextFormat formatInside(const Tag& tag, TextFormat format)
{
    if (tag.name == u"b")
        format.bold = true;
    else if (tag.name == u"i")
        format.italic = true;
    else if (tag.name == u"u")
        format.underline = true;
    else if (tag.name == u"li")
        format.bullet = true;
    else if (tag.name == u"a") {
        format.url = tag.attribute(u"href") ? *tag.attribute(u"href") : u"";
        format.target = tag.attribute(u"target") ? *tag.attribute(u"target") : u"";
    } else if (tag.name == u"p") {
        if (auto align = tag.attribute(u"align"))
            if (auto a = alignOf(*align))
                format.align = a;
    } else if (tag.name == u"font") {
        if (auto face = tag.attribute(u"face"))
            format.font = *face;
        if (auto size = tag.attribute(u"size")) {
            double n = parseNumber(*size);
            if (!std::isnan(n)) {
                bool relative = !size->empty() && ((*size)[0] == u'+' || (*size)[0] == u'-');
                format.size = std::clamp(relative ? format.size.value_or(12) + n : n, 0.0, 2000.0);
            }
        }
        if (auto color = tag.attribute(u"color"))
            if (auto c = colorAttribute(*color))
                format.color = c;
        if (auto n = numberAttribute(tag, u"letterspacing"))
            format.letterSpacing = std::clamp(*n, -1000.0, 1000.0);
        if (auto n = numberAttribute(tag, u"kerning"))
            format.kerning = *n != 0;
    } else if (tag.name == u"textformat") {
        if (auto n = numberAttribute(tag, u"leftmargin")) format.leftMargin = n;
        if (auto n = numberAttribute(tag, u"rightmargin")) format.rightMargin = n;
        if (auto n = numberAttribute(tag, u"indent")) format.indent = n;
        if (auto n = numberAttribute(tag, u"blockindent")) format.blockIndent = n;
        if (auto n = numberAttribute(tag, u"leading")) format.leading = n;
        if (auto stops = tag.attribute(u"tabstops")) {
            std::vector<double> list;
            std::size_t start = 0;
            while (start <= stops->size() && list.size() < 64) {
                std::size_t comma = std::min(stops->find(u',', start), stops->size());
                double n = parseNumber(std::u16string_view(*stops).substr(start, comma - start));
                if (!std::isnan(n))
                    list.push_back(n);
                start = comma + 1;
            }
            format.tabStops = std::move(list);
        }
    }
    return format;
}

// The style a sheet gives an element: its tag's, a link's "a:link", then its classes'.
Style sheetStyle(const StyleSheet& sheet, const Tag& tag)
{
    Style style;
    auto take = [&](std::u16string_view selector) {
        if (const Style* s = sheet.find(selector)) {
            style.format.merge(s->format);
            if (s->display)
                style.display = s->display;
        }
    };
    take(tag.name);
    if (tag.name == u"a")
        take(u"a:link");
    if (const std::u16string* classes = tag.attribute(u"class")) {
        std::size_t start = 0;
        while (start < classes->size()) {
            std::size_t end = std::min(classes->find(u' ', start), classes->size());
            if (end > start)
                take(u"." + classes->substr(start, end - start));
            start = end + 1;
        }
    }
    return style;
}

class HtmlReader {
public:
    HtmlReader(const TextFormat& base, bool condenseWhite, const StyleSheet* sheet)
        : condense_(condenseWhite), sheet_(sheet)
    {
        stack_.push_back({u"", base});
    }

    StyledText read(std::u16string_view html)
    {
        for (std::size_t i = 0; i < html.size();) {
            char16_t c = html[i];
            if (c == u'<') {
                std::size_t close = html.find(u'>', i);
                if (close == std::u16string_view::npos)
                    break;
                tag(parseTag(html.substr(i + 1, close - i - 1)));
                i = close + 1;
                continue;
            }
            if (c == u'&')
                if (auto e = entityAt(html, i)) {
                    put(*e);
                    continue;
                }
            ++i;
            if (condense_ && isBlank(c)) {
                if (!out_.text.empty() && !isBlank(out_.text.back()))
                    put(u' ');
                continue;
            }
            if (c == u'\r' && i < html.size() && html[i] == u'\n')
                ++i;
            put(c == u'\n' ? u'\r' : c);
        }
        // A paragraph closing the text leaves no empty line after it.
        if (pendingBreak_ && !out_.text.empty() && out_.text.back() == u'\r')
            removeLast();
        return std::move(out_);
    }

private:
    // An open element: what it was opened with and how its content shows.
    struct Element {
        std::u16string name;
        TextFormat format;
        bool block = false;  // a paragraph: its content stands on lines of its own
        bool hidden = false; // display: none, here or around it
    };

    void tag(const Tag& t)
    {
        if (t.name == u"br" && !t.closing) {
            put(u'\r');
            return;
        }
        if (t.closing) {
            bool block = t.name == u"p" || t.name == u"li";
            for (std::size_t n = stack_.size(); n-- > 1;)
                if (stack_[n].name == t.name) {
                    block = stack_[n].block;
                    stack_.resize(n);
                    break;
                }
            if (block) {
                put(u'\r');
                pendingBreak_ = true;
            }
            return;
        }
        Element inside{t.name, formatInside(t, stack_.back().format), t.name == u"p" || t.name == u"li",
                       stack_.back().hidden};
        if (sheet_) {
            Style style = sheetStyle(*sheet_, t);
            inside.format.merge(style.format);
            if (style.display) {
                inside.block = style.display == Display::Block;
                inside.hidden = inside.hidden || style.display == Display::None;
            }
        }
        if (inside.block && !out_.text.empty() && out_.text.back() != u'\r')
            put(u'\r');
        if (stack_.size() < kMaxNesting)
            stack_.push_back(std::move(inside));
    }

    void put(char16_t c)
    {
        if (stack_.back().hidden)
            return;
        pendingBreak_ = false;
        out_.text += c;
        const TextFormat& format = stack_.back().format;
        if (!out_.runs.empty() && out_.runs.back().format == format)
            ++out_.runs.back().length;
        else
            out_.runs.push_back({1, format});
    }

    void removeLast()
    {
        out_.text.pop_back();
        if (--out_.runs.back().length == 0)
            out_.runs.pop_back();
    }

    bool condense_;
    const StyleSheet* sheet_;
    bool pendingBreak_ = false;
    std::vector<Element> stack_;
    StyledText out_;
};

void appendEscaped(std::u16string& out, std::u16string_view text)
{
    for (char16_t c : text) {
        switch (c) {
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'&': out += u"&amp;"; break;
        case u'"': out += u"&quot;"; break;
        default: out += c;
        }
    }
}

std::u16string attribute(std::u16string_view name, std::u16string_view value)
{
    std::u16string out = u" ";
    out += name;
    out += u"=\"";
    appendEscaped(out, value);
    out += u'"';
    return out;
}

std::u16string hexColor(std::uint32_t color)
{
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string out = u"#";
    for (int shift = 20; shift >= 0; shift -= 4)
        out += kDigits[(color >> shift) & 15];
    return out;
}

std::u16string_view alignName(TextAlign align)
{
    switch (align) {
    case TextAlign::Right: return u"RIGHT";
    case TextAlign::Center: return u"CENTER";
    case TextAlign::Justify: return u"JUSTIFY";
    case TextAlign::Left: break;
    }
    return u"LEFT";
}

std::u16string tabStopList(const std::vector<double>& stops)
{
    std::u16string out;
    for (double s : stops) {
        if (!out.empty())
            out += u',';
        out += numberToString(s);
    }
    return out;
}

// A paragraph's block tags around its content.
std::u16string paragraph(const TextFormat& f, const std::u16string& content)
{
    std::u16string attrs;
    auto add = [&](std::u16string_view name, const std::optional<double>& v) {
        if (v && *v != 0)
            attrs += attribute(name, numberToString(*v));
    };
    add(u"LEFTMARGIN", f.leftMargin);
    add(u"RIGHTMARGIN", f.rightMargin);
    add(u"INDENT", f.indent);
    add(u"BLOCKINDENT", f.blockIndent);
    add(u"LEADING", f.leading);
    if (f.tabStops && !f.tabStops->empty())
        attrs += attribute(u"TABSTOPS", tabStopList(*f.tabStops));
    std::u16string block = f.bullet.value_or(false) ? u"<LI>" + content + u"</LI>"
                         : u"<P ALIGN=\"" + std::u16string(alignName(f.align.value_or(TextAlign::Left))) + u"\">"
                               + content + u"</P>";
    return attrs.empty() ? block : u"<TEXTFORMAT" + attrs + u">" + block + u"</TEXTFORMAT>";
}

// A run's text inside its character tags, without its FONT.
std::u16string styled(const TextFormat& f, std::u16string_view text)
{
    std::u16string inner;
    appendEscaped(inner, text);
    if (f.underline.value_or(false))
        inner = u"<U>" + inner + u"</U>";
    if (f.italic.value_or(false))
        inner = u"<I>" + inner + u"</I>";
    if (f.bold.value_or(false))
        inner = u"<B>" + inner + u"</B>";
    if (f.url && !f.url->empty())
        inner = u"<A" + attribute(u"HREF", *f.url) + attribute(u"TARGET", f.target.value_or(u"")) + u">" + inner + u"</A>";
    return inner;
}

std::u16string fontTag(const TextFormat& f)
{
    return u"<FONT" + attribute(u"FACE", f.font.value_or(u"")) + attribute(u"SIZE", numberToString(f.size.value_or(12)))
         + attribute(u"COLOR", hexColor(f.color.value_or(0)))
         + attribute(u"LETTERSPACING", numberToString(f.letterSpacing.value_or(0)))
         + attribute(u"KERNING", f.kerning.value_or(false) ? u"1" : u"0") + u">";
}

bool sameFont(const TextFormat& a, const TextFormat& b)
{
    return a.font == b.font && a.size == b.size && a.color == b.color && a.letterSpacing == b.letterSpacing
        && a.kerning == b.kerning;
}

} // namespace

StyledText parseHtml(std::u16string_view html, const TextFormat& base, bool condenseWhite, const StyleSheet* sheet)
{
    return HtmlReader(base, condenseWhite, sheet).read(html);
}

std::u16string formatHtml(std::u16string_view text, const std::vector<StyledRun>& runs, const TextFormat& empty)
{
    // The format of every character, then paragraph by paragraph.
    std::vector<const TextFormat*> formats;
    formats.reserve(text.size());
    for (const StyledRun& run : runs)
        formats.insert(formats.end(), run.length, &run.format);
    formats.resize(text.size(), &empty);

    std::u16string out;
    std::size_t begin = 0;
    for (;;) {
        std::size_t end = std::min(text.find(u'\r', begin), text.size());
        const TextFormat& first = begin < text.size() ? *formats[begin] : (text.empty() ? empty : *formats.back());
        // Runs sharing face, size and colour share one FONT.
        std::u16string content = fontTag(first);
        const TextFormat* font = &first;
        for (std::size_t i = begin; i < end;) {
            std::size_t j = i;
            while (j < end && *formats[j] == *formats[i])
                ++j;
            if (!sameFont(*font, *formats[i])) {
                font = formats[i];
                content += u"</FONT>" + fontTag(*font);
            }
            content += styled(*formats[i], text.substr(i, j - i));
            i = j;
        }
        content += u"</FONT>";
        out += paragraph(first, content);
        if (end >= text.size())
            break;
        begin = end + 1;
    }
    return out;
}

std::u16string plainTextFromHtml(std::u16string_view html)
{
    return parseHtml(html, TextFormat{}).text;
}

} // namespace lumbra::movie
