#include "script/engine/EngineConfig.h"

#include <array>
#include <utility>

namespace orvet {

namespace {

// (flag word bit, compile option bit): the flag word stores the compiler's
// switches at other positions than the compiler reads them.
constexpr std::array<std::pair<std::uint32_t, std::uint32_t>, 14> kFlagToCompileOption{{
    {0x10, 0x2},
    {0x20, 0x4},
    {0x40, 0x8},
    {0x8000, 0x20},
    {0x10000, 0x40},
    {0x20000, 0x80},
    {0x40000, 0x100},
    {0x80, 0x10000},
    {0x100, 0x20000},
    {0x400, 0x40000},
    {0x800, 0x80000},
    {0x1000, 0x100000},
    {0x2000, 0x200000},
    {0x4000, 0x400000},
}};

} // namespace

std::uint32_t compileOptionsOf(const EngineConfig& config)
{
    std::uint32_t options = config.optionWord != 0 ? 0x1 : 0;
    for (const auto& [flag, option] : kFlagToCompileOption)
        if (config.flagWord & flag)
            options |= option;
    return options;
}

} // namespace orvet
