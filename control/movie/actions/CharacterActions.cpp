#include "control/movie/actions/CharacterActions.h"

#include "control/movie/TextCodec.h"

#include <cmath>
#include <cstdint>

namespace lumbra::movie {

namespace {

bool isLead(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isTrail(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Units taken by the character at `at`.
std::size_t unitsAt(std::u16string_view text, std::size_t at, CharacterUnit unit)
{
    if (unit == CharacterUnit::CodePoint && isLead(text[at]) && at + 1 < text.size() && isTrail(text[at + 1]))
        return 2;
    return 1;
}

// The unit offset of character `n` (the size when there are fewer).
std::size_t offsetOf(std::u16string_view text, std::size_t n, CharacterUnit unit)
{
    std::size_t at = 0;
    for (; n > 0 && at < text.size(); --n)
        at += unitsAt(text, at, unit);
    return at;
}

// A double as a count of characters, clamped to what a text can hold.
std::size_t toCount(double n)
{
    if (!(n > 0))
        return 0;
    return n >= 1e9 ? std::size_t(1e9) : std::size_t(n);
}

} // namespace

std::size_t characterCount(std::u16string_view text, CharacterUnit unit)
{
    if (unit == CharacterUnit::CodeUnit)
        return text.size();
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); at += unitsAt(text, at, unit))
        ++count;
    return count;
}

std::u16string extractCharacters(std::u16string_view text, double index, double count, CharacterUnit unit)
{
    std::size_t from = offsetOf(text, std::isnan(index) ? 0 : toCount(std::trunc(index) - 1), unit);
    std::u16string_view rest = text.substr(from);
    if (count < 0)
        return std::u16string(rest);
    return std::u16string(rest.substr(0, offsetOf(rest, toCount(count), unit)));
}

double characterCode(std::u16string_view text, CharacterUnit unit, int version)
{
    if (text.empty())
        return 0;
    if (unit == CharacterUnit::CodePoint) {
        if (unitsAt(text, 0, unit) == 2)
            return 0x10000 + ((text[0] - 0xD800) << 10) + (text[1] - 0xDC00);
        return text[0];
    }
    if (version < 6)
        return static_cast<unsigned char>(text::encodeWindows1252(text.substr(0, 1))[0]);
    return text[0];
}

std::u16string characterOf(double code, CharacterUnit unit, int version)
{
    if (!std::isfinite(code))
        return {};
    auto n = std::uint32_t(std::int64_t(std::fmod(std::trunc(code), 4294967296.0)));
    if (unit == CharacterUnit::CodePoint) {
        if (n == 0 || n > 0x10FFFF)
            return {};
        if (n < 0x10000)
            return std::u16string(1, char16_t(n));
        n -= 0x10000;
        return {char16_t(0xD800 + (n >> 10)), char16_t(0xDC00 + (n & 0x3FF))};
    }
    n &= version < 6 ? 0xFF : 0xFFFF;
    if (n == 0)
        return {};
    if (version < 6)
        return decodeWindows1252(std::string(1, char(n)));
    return std::u16string(1, char16_t(n));
}

} // namespace lumbra::movie
