#include "script/engine/builtins/GlobalsEscape.h"

#include <optional>

namespace orvet {

namespace {

constexpr std::u16string_view kUnescaped =
    u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789@*_+-./";
constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

void appendHex(std::u16string& out, unsigned value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out += kHexDigits[(value >> shift) & 0xF];
}

std::optional<unsigned> hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return std::nullopt;
}

// The value of `count` hexadecimal digits at text[pos], if all are present.
std::optional<char16_t> hexRun(std::u16string_view text, std::size_t pos, int count)
{
    if (text.size() - pos < static_cast<std::size_t>(count))
        return std::nullopt;
    unsigned value = 0;
    for (int i = 0; i < count; ++i) {
        const auto digit = hexValue(text[pos + i]);
        if (!digit)
            return std::nullopt;
        value = value * 16 + *digit;
    }
    return static_cast<char16_t>(value);
}

} // namespace

std::u16string escapeText(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (const char16_t c : text) {
        if (c < 128 && kUnescaped.find(c) != std::u16string_view::npos) {
            out += c;
        } else if (c < 256) {
            out += u'%';
            appendHex(out, c, 2);
        } else {
            out += u"%u";
            appendHex(out, c, 4);
        }
    }
    return out;
}

std::u16string unescapeText(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%') {
            if (i + 1 < text.size() && text[i + 1] == u'u') {
                if (const auto unit = hexRun(text, i + 2, 4)) {
                    out += *unit;
                    i += 5;
                    continue;
                }
            }
            if (const auto unit = hexRun(text, i + 1, 2)) {
                out += *unit;
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

} // namespace orvet
