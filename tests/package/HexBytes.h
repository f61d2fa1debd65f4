// Byte expectations written in hex (toHex, from the package layer, reads them back).
#pragma once

#include "package/HexText.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::test {

inline std::vector<std::uint8_t> fromHex(std::string_view text)
{
    auto nibble = [](char c) { return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10; };
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes.push_back(std::uint8_t(nibble(text[i]) << 4 | nibble(text[i + 1])));
    return bytes;
}

} // namespace lumbra::test
