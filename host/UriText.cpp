#include "host/UriText.h"

namespace lumbra {

namespace {

bool isReserved(char32_t c) { return c < 0x80 && std::u16string_view(u";/?:@&=+$,#").find(char16_t(c)) != std::u16string_view::npos; }

bool isUnescaped(char32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')
           || (c < 0x80 && std::u16string_view(u"-_.!~*'()").find(char16_t(c)) != std::u16string_view::npos);
}

bool isHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendEscape(std::u16string& out, unsigned byte)
{
    static const char16_t digits[] = u"0123456789ABCDEF";
    out.push_back(u'%');
    out.push_back(digits[byte >> 4]);
    out.push_back(digits[byte & 15]);
}

int hexValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f')
        return (c | 0x20) - 'a' + 10;
    return -1;
}

// The byte of the escape at text[at] ("%" and two hex digits), or -1.
int escapedByte(std::u16string_view text, std::size_t at)
{
    if (at + 2 >= text.size() || text[at] != u'%')
        return -1;
    const int high = hexValue(text[at + 1]), low = hexValue(text[at + 2]);
    return high < 0 || low < 0 ? -1 : high << 4 | low;
}

void appendCodePoint(std::u16string& out, char32_t c)
{
    if (c >= 0x10000) {
        c -= 0x10000;
        out.push_back(char16_t(0xD800 + (c >> 10)));
        out.push_back(char16_t(0xDC00 + (c & 0x3FF)));
    } else {
        out.push_back(char16_t(c));
    }
}

} // namespace

std::optional<std::u16string> encodeUri(std::u16string_view text, UriScope scope)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (isUnescaped(c) || (scope == UriScope::Whole && isReserved(c))) {
            out.push_back(char16_t(c));
            continue;
        }
        if (isLowSurrogate(c))
            return std::nullopt;
        if (isHighSurrogate(c)) {
            if (i + 1 == text.size() || !isLowSurrogate(text[i + 1]))
                return std::nullopt;
            c = (c - 0xD800) * 0x400 + (text[++i] - 0xDC00) + 0x10000;
        }
        if (c < 0x80) {
            appendEscape(out, unsigned(c));
        } else if (c < 0x800) {
            appendEscape(out, 0xC0 | unsigned(c >> 6));
            appendEscape(out, 0x80 | unsigned(c & 0x3F));
        } else if (c < 0x10000) {
            appendEscape(out, 0xE0 | unsigned(c >> 12));
            appendEscape(out, 0x80 | unsigned(c >> 6 & 0x3F));
            appendEscape(out, 0x80 | unsigned(c & 0x3F));
        } else {
            appendEscape(out, 0xF0 | unsigned(c >> 18));
            appendEscape(out, 0x80 | unsigned(c >> 12 & 0x3F));
            appendEscape(out, 0x80 | unsigned(c >> 6 & 0x3F));
            appendEscape(out, 0x80 | unsigned(c & 0x3F));
        }
    }
    return out;
}

std::optional<std::u16string> decodeUri(std::u16string_view text, UriScope scope)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'%') {
            out.push_back(text[i]);
            continue;
        }
        const int lead = escapedByte(text, i);
        if (lead < 0)
            return std::nullopt;
        const std::size_t start = i;
        i += 2;
        char32_t c;
        if (lead < 0x80) {
            c = char32_t(lead);
        } else {
            int length = 0; // leading one bits
            while (length < 8 && (lead << length & 0x80))
                ++length;
            if (length == 1 || length > 6)
                return std::nullopt;
            c = char32_t(lead & (0x7F >> length));
            for (int k = 1; k < length; ++k) {
                const int next = escapedByte(text, i + 1);
                if (next < 0 || (next & 0xC0) != 0x80)
                    return std::nullopt;
                c = c << 6 | char32_t(next & 0x3F);
                i += 3;
            }
            // Valid UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
            static const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000, 0x200000, 0x4000000};
            if (c < smallest[length] || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
                return std::nullopt;
        }
        if (scope == UriScope::Whole && isReserved(c))
            out.append(text.substr(start, i + 1 - start));
        else
            appendCodePoint(out, c);
    }
    return out;
}

} // namespace lumbra
