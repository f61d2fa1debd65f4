#include <gtest/gtest.h>

#include "script/engine/EngineConfig.h"

namespace orvet {
namespace {

TEST(EngineConfig, DefaultsGiveTheUsualCompileOptions)
{
    const EngineConfig config;
    EXPECT_EQ(config.stackSize, 4096u);
    EXPECT_EQ(config.flagWord, 0x58200u);
    EXPECT_EQ(compileOptionsOf(config), 0x160u);
}

TEST(EngineConfig, EachFlagMapsToItsCompileOption)
{
    const std::pair<std::uint32_t, std::uint32_t> map[] = {
        {0x10, 0x2}, {0x20, 0x4}, {0x40, 0x8}, {0x8000, 0x20}, {0x10000, 0x40},
        {0x20000, 0x80}, {0x40000, 0x100}, {0x80, 0x10000}, {0x100, 0x20000},
        {0x400, 0x40000}, {0x800, 0x80000}, {0x1000, 0x100000}, {0x2000, 0x200000},
        {0x4000, 0x400000}};
    for (const auto& [flag, option] : map) {
        EngineConfig config;
        config.flagWord = flag;
        EXPECT_EQ(compileOptionsOf(config), option) << std::hex << flag;
    }
    EngineConfig config;
    config.flagWord = kFlagWarnUndefined | 0x2 | 0x4 | 0x8 | 0x1; // runtime flags only
    EXPECT_EQ(compileOptionsOf(config), 0u);
    config.optionWord = 7;
    EXPECT_EQ(compileOptionsOf(config), 1u);
}

} // namespace
} // namespace orvet
