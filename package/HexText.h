// Hexadecimal text of byte strings: digests, stamps and opaque identity
// bytes as people read and write them.
#pragma once

#include <array>
#include <charconv>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace lumbra {

inline std::string toHex(std::span<const std::uint8_t> bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) {
        text.push_back(digits[b >> 4]);
        text.push_back(digits[b & 15]);
    }
    return text;
}

// Exactly 32 hexadecimal digits.
inline bool parseHex16(std::string_view text, std::array<std::uint8_t, 16>& bytes)
{
    if (text.size() != 32)
        return false;
    std::array<std::uint8_t, 16> parsed;
    for (std::size_t i = 0; i < 16; ++i) {
        const char* first = text.data() + 2 * i;
        if (std::from_chars(first, first + 2, parsed[i], 16).ptr != first + 2)
            return false;
    }
    bytes = parsed;
    return true;
}

} // namespace lumbra
