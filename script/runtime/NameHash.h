// The name hash shared by the atom table, object name indexes, the compiler's
// tables and the script resource cache.
#pragma once

#include <cstdint>
#include <string_view>

namespace orvet {

constexpr std::uint32_t nameHash(std::string_view name)
{
    std::uint32_t h = 0;
    for (unsigned char c : name)
        h = (h >> 7) ^ (h >> 16) ^ c ^ (h << 5);
    return h;
}

} // namespace orvet
