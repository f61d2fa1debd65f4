#include "control/movie/actions/XmlParser.h"

#include <optional>

namespace lumbra::movie {

namespace {

// More nodes than a movie's heap could hold as objects: reported as out of memory.
constexpr std::size_t kMaxNodes = 50'000;

bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

bool allSpace(std::u16string_view text)
{
    for (char16_t c : text)
        if (!isSpace(c))
            return false;
    return true;
}

// &#65; or &#x41; as the character (pair); nothing when malformed.
std::optional<std::u16string> characterReference(std::u16string_view digits)
{
    bool hex = !digits.empty() && (digits[0] == u'x' || digits[0] == u'X');
    if (hex)
        digits.remove_prefix(1);
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t code = 0;
    for (char16_t c : digits) {
        int d = c >= u'0' && c <= u'9' ? c - u'0'
                : hex && c >= u'a' && c <= u'f' ? c - u'a' + 10
                : hex && c >= u'A' && c <= u'F' ? c - u'A' + 10
                                                 : -1;
        if (d < 0)
            return std::nullopt;
        code = code * (hex ? 16 : 10) + std::uint32_t(d);
    }
    if (code == 0 || code > 0x10FFFF)
        return std::nullopt;
    if (code < 0x10000)
        return std::u16string(1, char16_t(code));
    code -= 0x10000;
    return std::u16string{char16_t(0xD800 + (code >> 10)), char16_t(0xDC00 + (code & 0x3FF))};
}

std::u16string decodeEntities(std::u16string_view text)
{
    static constexpr std::pair<std::u16string_view, char16_t> kNamed[] = {
        {u"lt", u'<'}, {u"gt", u'>'}, {u"amp", u'&'}, {u"quot", u'"'}, {u"apos", u'\''}};
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t end = text[i] == u'&' ? text.find(u';', i) : std::u16string_view::npos;
        if (end == std::u16string_view::npos || end - i > 12) {
            out.push_back(text[i]);
            continue;
        }
        std::u16string_view name = text.substr(i + 1, end - i - 1);
        std::optional<std::u16string> replacement;
        for (auto [entity, c] : kNamed)
            if (name == entity)
                replacement = std::u16string(1, c);
        if (!replacement && name.starts_with(u"#"))
            replacement = characterReference(name.substr(1));
        if (!replacement) {
            out.push_back(text[i]);
            continue;
        }
        out += *replacement;
        i = end;
    }
    return out;
}

class Reader {
public:
    Reader(std::u16string_view text, bool ignoreWhite, XmlDocument& doc)
        : text_(text), ignoreWhite_(ignoreWhite), doc_(doc)
    {
        open_.push_back(0);
    }

    void run()
    {
        while (pos_ < text_.size() && doc_.status == XmlOk) {
            if (text_[pos_] == u'<')
                markup();
            else
                characters();
        }
        if (doc_.status == XmlOk && open_.size() > 1)
            doc_.status = XmlEndTagMissing;
    }

private:
    bool at(std::u16string_view s) const { return text_.substr(pos_).starts_with(s); }

    void skipSpace()
    {
        while (pos_ < text_.size() && isSpace(text_[pos_]))
            ++pos_;
    }

    // The new node's index, 0 when there are too many.
    std::size_t add(bool element)
    {
        if (doc_.nodes.size() > kMaxNodes) {
            doc_.status = XmlOutOfMemory;
            return 0;
        }
        doc_.nodes[open_.back()].children.push_back(doc_.nodes.size());
        doc_.nodes.emplace_back().element = element;
        return doc_.nodes.size() - 1;
    }

    void text(std::u16string value)
    {
        if (value.empty() || (ignoreWhite_ && allSpace(value)))
            return;
        if (std::size_t node = add(false))
            doc_.nodes[node].value = std::move(value);
    }

    // The text up to and including `close`, or the status when it never comes.
    std::optional<std::u16string_view> upTo(std::u16string_view close, int status)
    {
        std::size_t end = text_.find(close, pos_);
        if (end == std::u16string_view::npos) {
            doc_.status = status;
            return std::nullopt;
        }
        std::u16string_view whole = text_.substr(pos_, end + close.size() - pos_);
        pos_ = end + close.size();
        return whole;
    }

    void characters()
    {
        std::size_t end = text_.find(u'<', pos_);
        if (end == std::u16string_view::npos)
            end = text_.size();
        text(decodeEntities(text_.substr(pos_, end - pos_)));
        pos_ = end;
    }

    void markup()
    {
        if (at(u"<!--")) {
            upTo(u"-->", XmlCommentOpen);
        } else if (at(u"<![CDATA[")) {
            if (auto whole = upTo(u"]]>", XmlCdataOpen))
                text(std::u16string(whole->substr(9, whole->size() - 12)));
        } else if (at(u"<!")) {
            if (auto whole = upTo(u">", XmlDoctypeOpen)) {
                doc_.docTypeDecl = *whole;
                doc_.hasDocType = true;
            }
        } else if (at(u"<?")) {
            if (auto whole = upTo(u"?>", XmlDeclarationOpen)) {
                doc_.xmlDecl += *whole;
                doc_.hasXmlDecl = true;
            }
        } else if (at(u"</")) {
            endTag();
        } else {
            startTag();
        }
    }

    std::u16string_view name()
    {
        std::size_t start = pos_;
        while (pos_ < text_.size() && !isSpace(text_[pos_]) && text_[pos_] != u'/' && text_[pos_] != u'>' &&
               text_[pos_] != u'=' && text_[pos_] != u'<')
            ++pos_;
        return text_.substr(start, pos_ - start);
    }

    void endTag()
    {
        pos_ += 2;
        std::u16string_view tag = name();
        skipSpace();
        if (tag.empty() || pos_ >= text_.size() || text_[pos_] != u'>') {
            doc_.status = XmlMalformedElement;
            return;
        }
        ++pos_;
        if (open_.size() == 1 || doc_.nodes[open_.back()].name != tag) {
            doc_.status = XmlUnexpectedEndTag;
            return;
        }
        open_.pop_back();
    }

    void startTag()
    {
        ++pos_;
        std::u16string_view tag = name();
        if (tag.empty()) {
            doc_.status = XmlMalformedElement;
            return;
        }
        std::size_t element = add(true);
        if (!element)
            return;
        doc_.nodes[element].name = tag;
        for (;;) {
            skipSpace();
            if (pos_ >= text_.size()) {
                doc_.status = XmlMalformedElement;
                return;
            }
            if (text_[pos_] == u'>') {
                ++pos_;
                open_.push_back(element);
                return;
            }
            if (at(u"/>")) {
                pos_ += 2;
                return;
            }
            if (!attribute(element))
                return;
        }
    }

    bool attribute(std::size_t element)
    {
        std::u16string_view key = name();
        if (key.empty()) {
            doc_.status = XmlMalformedElement;
            return false;
        }
        skipSpace();
        if (pos_ >= text_.size() || text_[pos_] != u'=') {
            doc_.status = XmlBadAttribute;
            return false;
        }
        ++pos_;
        skipSpace();
        if (pos_ >= text_.size() || (text_[pos_] != u'"' && text_[pos_] != u'\'')) {
            doc_.status = XmlBadAttribute;
            return false;
        }
        char16_t quote = text_[pos_++];
        std::size_t end = text_.find(quote, pos_);
        if (end == std::u16string_view::npos) {
            doc_.status = XmlBadAttribute;
            return false;
        }
        std::u16string value = decodeEntities(text_.substr(pos_, end - pos_));
        pos_ = end + 1;
        auto& attributes = doc_.nodes[element].attributes;
        for (auto& [k, v] : attributes)
            if (k == key) {
                v = std::move(value); // a repeated name keeps the last value
                return true;
            }
        attributes.emplace_back(key, std::move(value));
        return true;
    }

    std::u16string_view text_;
    bool ignoreWhite_;
    XmlDocument& doc_;
    std::size_t pos_ = 0;
    std::vector<std::size_t> open_;
};

} // namespace

XmlDocument parseXmlText(std::u16string_view text, bool ignoreWhite)
{
    XmlDocument doc;
    doc.nodes.emplace_back().element = true;
    Reader(text, ignoreWhite, doc).run();
    return doc;
}

std::u16string escapeXml(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
        case u'&': out += u"&amp;"; break;
        case u'<': out += u"&lt;"; break;
        case u'>': out += u"&gt;"; break;
        case u'"': out += u"&quot;"; break;
        case u'\'': out += u"&apos;"; break;
        default: out.push_back(c);
        }
    }
    return out;
}

} // namespace lumbra::movie
