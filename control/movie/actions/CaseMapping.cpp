#include "control/movie/actions/CaseMapping.h"

#include <algorithm>

namespace lumbra::movie {

namespace {

// A run of letters where the upper case is `offset` below the lower.
struct Block {
    char16_t firstLower, lastLower;
    int offset;
};

constexpr Block kBlocks[] = {
    {0x61, 0x7A, 32},     // a-z
    {0xE0, 0xF6, 32},     // Latin-1 letters before the division sign
    {0xF8, 0xFE, 32},     // and after it
    {0x3AC, 0x3AC, 38},   // Greek alpha with tonos
    {0x3AD, 0x3AF, 37},   // epsilon, eta, iota with tonos
    {0x3B1, 0x3C1, 32},   // alpha-rho
    {0x3C3, 0x3CB, 32},   // sigma-upsilon with dialytika
    {0x3CC, 0x3CC, 64},   // omicron with tonos
    {0x3CD, 0x3CE, 63},   // upsilon and omega with tonos
    {0x430, 0x44F, 32},   // Cyrillic a-ya
    {0x450, 0x45F, 80},   // Cyrillic ie with grave ... dzhe
    {0x561, 0x586, 48},   // Armenian
    {0xFF41, 0xFF5A, 32}, // full-width a-z
};

// Latin Extended-A and Cyrillic ranges that alternate upper, lower: whether
// the upper case of a pair sits on the even code.
struct Pairs {
    char16_t first, last;
    bool upperEven;
};

constexpr Pairs kPairs[] = {
    {0x100, 0x12F, true}, {0x132, 0x137, true}, {0x139, 0x148, false}, {0x14A, 0x177, true},
    {0x179, 0x17E, false}, {0x460, 0x481, true}, {0x48A, 0x4BF, true},
};

bool isUpperOfPair(const Pairs& p, char16_t ch) { return ((ch % 2) == 0) == p.upperEven; }

} // namespace

char16_t upperUnit(char16_t ch)
{
    for (const auto& b : kBlocks)
        if (ch >= b.firstLower && ch <= b.lastLower)
            return char16_t(ch - b.offset);
    for (const auto& p : kPairs)
        if (ch >= p.first && ch <= p.last)
            return isUpperOfPair(p, ch) ? ch : char16_t(ch - 1);
    switch (ch) {
    case 0xFF: return 0x178;  // y with diaeresis
    case 0x3C2: return 0x3A3; // final sigma
    default: return ch;
    }
}

char16_t lowerUnit(char16_t ch)
{
    for (const auto& b : kBlocks) {
        int lower = ch + b.offset;
        if (lower >= b.firstLower && lower <= b.lastLower)
            return char16_t(lower);
    }
    for (const auto& p : kPairs)
        if (ch >= p.first && ch <= p.last)
            return isUpperOfPair(p, ch) ? char16_t(ch + 1) : ch;
    return ch == 0x178 ? char16_t(0xFF) : ch;
}

std::u16string toUpper(std::u16string text)
{
    std::ranges::transform(text, text.begin(), upperUnit);
    return text;
}

std::u16string toLower(std::u16string text)
{
    std::ranges::transform(text, text.begin(), lowerUnit);
    return text;
}

} // namespace lumbra::movie
