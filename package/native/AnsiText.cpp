// Windows-1252 stands in for the system code page off Windows, so that stored
// texts convert exactly as on a Western European system.
#include "package/AnsiText.h"

#include <array>

namespace lumbra {

namespace {

// 0x80-0x9F; the five bytes that Windows-1252 leaves undefined map to the
// C1 control of the same value, as MultiByteToWideChar does.
constexpr std::array<char16_t, 32> highControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t decode(unsigned char c)
{
    return c >= 0x80 && c < 0xA0 ? highControls[c - 0x80] : char16_t(c);
}

char encode(char16_t unit)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF))
        return char(unit);
    for (std::size_t i = 0; i < highControls.size(); ++i)
        if (highControls[i] == unit)
            return char(0x80 + i);
    return '?';
}

} // namespace

std::u16string ansiToUtf16(std::string_view ansi)
{
    std::u16string text;
    text.reserve(ansi.size());
    for (char c : ansi)
        text.push_back(decode(static_cast<unsigned char>(c)));
    return text;
}

std::string utf16ToAnsi(std::u16string_view text)
{
    std::string ansi;
    ansi.reserve(text.size());
    // Unit by unit, as the system's conversion does: a surrogate pair gives "??".
    for (char16_t unit : text)
        ansi.push_back(encode(unit));
    return ansi;
}

} // namespace lumbra
