// Packaged menus read from hand-assembled blocks, then the limits that keep
// a hostile block from costing memory or stack.
#include "HexBytes.h"

#include "package/ByteWriter.h"
#include "package/MenuRecord.h"
#include "package/PlayerException.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

// Hex with spaces for reading; the spaces are dropped.
Bytes hex(std::string_view text)
{
    std::string digits;
    for (char c : text)
        if (c != ' ')
            digits += c;
    return test::fromHex(digits);
}

// Header: values 1, 2, 3; texts "M" (count 2: 'M', 0), absent, absent.
constexpr std::string_view kHeader = "01000000 02000000 03000000  02000000 4d00 0000  00000000 00000000";

TEST(MenuRecord, ReadsAHandAssembledMenu)
{
    // One top-level item: the sub-menu "F" (grayed) holding the item
    // "open" / "O\tC" (checked, default, icon "i") and a separator.
    const Bytes bytes = hex(std::string(kHeader) +
                            " 01000000"
                            " 12000000 07000000 08000000  00000000  02000000 4600 0000  00000000"
                            "   02000000"
                            "   48000000 00000000 00000000  05000000 6f00 7000 6500 6e00 0000"
                            "            04000000 4f00 0900 4300 0000  02000000 6900 0000"
                            "   01000000 00000000 00000000  00000000 00000000 00000000");
    const MenuRecord menu = readMenuRecord(bytes);
    EXPECT_EQ(menu.carried, (std::array<std::uint32_t, 3>{1, 2, 3}));
    EXPECT_EQ(menu.texts[0], "M");
    EXPECT_FALSE(menu.texts[1]);
    ASSERT_EQ(menu.items.size(), 1u);
    const MenuItemRecord& file = menu.items[0];
    EXPECT_EQ(file.flags, kMenuSubMenu | kMenuGrayed);
    EXPECT_EQ(file.carried, (std::array<std::uint32_t, 2>{7, 8}));
    EXPECT_FALSE(file.name);
    EXPECT_EQ(file.caption, "F");
    ASSERT_EQ(file.items.size(), 2u);
    EXPECT_EQ(file.items[0].flags, kMenuChecked | kMenuDefault);
    EXPECT_EQ(file.items[0].name, "open");
    EXPECT_EQ(file.items[0].caption, "O\tC");
    EXPECT_EQ(file.items[0].icon, "i");
    EXPECT_EQ(file.items[1].flags, kMenuSeparator);
    EXPECT_TRUE(file.items[1].items.empty());
    EXPECT_EQ(writeMenuRecord(menu), bytes) << "the writer gives the same bytes back";
}

TEST(MenuRecord, DamagedBlocksAreRefused)
{
    EXPECT_THROW(readMenuRecord(hex("01000000 02000000")), PlayerException) << "cut in the header";
    EXPECT_THROW(readMenuRecord(hex(std::string(kHeader) + " 01000000 00000000")), PlayerException)
        << "cut in an item";
    try {
        readMenuRecord(hex(std::string(kHeader) + " ffffff7f 00000000"));
        FAIL() << "a count larger than the bytes left";
    } catch (const PlayerException& error) {
        EXPECT_EQ(error.message(), "Menu item count runs past the end of the menu");
    }
    EXPECT_EQ(readMenuRecord(hex(std::string(kHeader) + " 00000000")).items.size(), 0u) << "an empty menu reads";
}

// A chain of sub-menus, each holding the next.
Bytes nested(int depth)
{
    ByteWriter writer;
    for (int i = 0; i < 6; ++i)
        writer.u32(0);
    for (int level = 0; level < depth; ++level) {
        writer.u32(1);
        for (std::uint32_t value : {kMenuSubMenu, 0u, 0u, 0u, 0u, 0u})
            writer.u32(value);
    }
    writer.u32(0);
    return writer.release();
}

TEST(MenuRecord, NestingAndItemCountHaveLimits)
{
    EXPECT_NO_THROW(readMenuRecord(nested(kMaxMenuDepth - 1)));
    try {
        readMenuRecord(nested(kMaxMenuDepth));
        FAIL() << "too deep";
    } catch (const PlayerException& error) {
        EXPECT_EQ(error.message(), "Menu nested deeper than 16 levels");
    }
    EXPECT_THROW(readMenuRecord(nested(100000)), PlayerException) << "no recursion past the limit";

    MenuRecord many;
    many.items.resize(kMaxMenuItems);
    EXPECT_EQ(readMenuRecord(writeMenuRecord(many)).items.size(), kMaxMenuItems);
    many.items.back().flags = kMenuSubMenu;
    many.items.back().items.resize(1);
    try {
        readMenuRecord(writeMenuRecord(many));
        FAIL() << "too many";
    } catch (const PlayerException& error) {
        EXPECT_EQ(error.message(), "Menu with more than 10000 items");
    }
}

} // namespace
} // namespace lumbra
