#include "control/movie/TextCodec.h"

namespace lumbra::movie {

namespace {

char16_t foldUnit(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

} // namespace

std::u16string decodeMovieString(std::string_view bytes, int version)
{
    return version >= 6 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

std::u16string fromAscii(std::string_view text) { return {text.begin(), text.end()}; }

std::optional<std::uint32_t> parseHex(std::u16string_view digits)
{
    if (digits.empty() || digits.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char16_t d : digits) {
        int v = d >= u'0' && d <= u'9' ? d - u'0' : d >= u'a' && d <= u'f' ? d - u'a' + 10
              : d >= u'A' && d <= u'F' ? d - u'A' + 10 : -1;
        if (v < 0)
            return std::nullopt;
        value = value * 16 + unsigned(v);
    }
    return value;
}

std::u16string foldCase(std::u16string_view text)
{
    std::u16string out(text);
    for (char16_t& c : out)
        c = foldUnit(c);
    return out;
}

bool equalsFolded(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (foldUnit(a[i]) != foldUnit(b[i]))
            return false;
    return true;
}

namespace {

int hexValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

std::u16string decodePercentEscapes(std::u16string_view text, bool utf8, bool plusIsSpace)
{
    std::u16string out;
    std::string bytes;
    auto flush = [&] {
        out += utf8 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
        bytes.clear();
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 && hexValue(text[i + 2]) >= 0) {
            bytes.push_back(char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
            i += 2;
            continue;
        }
        flush();
        out.push_back(plusIsSpace && text[i] == u'+' ? u' ' : text[i]);
    }
    flush();
    return out;
}

} // namespace lumbra::movie
