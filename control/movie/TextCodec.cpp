#include "control/movie/TextCodec.h"

#include <cstdint>

namespace lumbra::movie {

namespace {

// Windows-1252 0x80-0x9F; the five undefined positions map to themselves.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

constexpr char16_t kReplacement = 0xFFFD;

char16_t foldUnit(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

} // namespace

std::u16string decodeUtf8(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        auto b0 = std::uint8_t(bytes[i]);
        int extra = b0 < 0x80 ? 0 : (b0 >> 5) == 6 ? 1 : (b0 >> 4) == 14 ? 2 : (b0 >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + extra >= bytes.size()) {
            out += kReplacement;
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? b0 : b0 & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; k <= extra; ++k) {
            auto b = std::uint8_t(bytes[i + k]);
            if ((b & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (!valid || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += kReplacement;
            ++i;
            continue;
        }
        i += extra + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += char16_t(0xD800 + (cp >> 10));
            out += char16_t(0xDC00 + (cp & 0x3FF));
        } else {
            out += char16_t(cp);
        }
    }
    return out;
}

std::u16string decodeWindows1252(std::string_view bytes)
{
    std::u16string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = std::uint8_t(ch);
        out += b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t(b);
    }
    return out;
}

std::u16string decodeMovieString(std::string_view bytes, int version)
{
    return version >= 6 ? decodeUtf8(bytes) : decodeWindows1252(bytes);
}

std::string encodeUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00);
        else if (cp >= 0xD800 && cp < 0xE000)
            cp = kReplacement;
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

std::u16string fromAscii(std::string_view text) { return {text.begin(), text.end()}; }

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

} // namespace lumbra::movie
