// Command identifiers of script menus, against values worked out by hand
// from the name hash: "a" hashes to 97 (47000 + 97), "ab" to
// (97 << 5) ^ 98 = 3138, and 3138 mod 191 = 82, the same slot as "open"
// (hash 3558603).
#include "host/CommandTable.h"

#include <gtest/gtest.h>

namespace lumbra::host {
namespace {

TEST(CommandTable, IdentifiersFollowTheNameHash)
{
    CommandTable table;
    EXPECT_EQ(table.add("a"), 47097);
    EXPECT_EQ(table.add(""), 47000);
    EXPECT_EQ(table.add("open"), 47082);
    EXPECT_EQ(table.add("ab"), 47082 + 191) << "a colliding hash steps by 191";
    EXPECT_EQ(table.add("open"), 47082 + 2 * 191) << "one name twice: two identifiers";
    ASSERT_NE(table.find(47082), nullptr);
    EXPECT_EQ(table.find(47082)->name, "open");
    EXPECT_EQ(table.find(47082 + 2 * 191)->name, "open");
    EXPECT_EQ(table.find(47083), nullptr);
    EXPECT_EQ(table.find(20025), nullptr) << "outside the range";

    table.remove(47082);
    EXPECT_EQ(table.find(47082), nullptr);
    EXPECT_EQ(table.add("ab"), 47082) << "a freed identifier is taken again";
    EXPECT_EQ(table.size(), 5u);
}

// Slot 47097 and its steps 47288 ... 53973 (37 identifiers), then the
// overflow range in order, then nothing.
TEST(CommandTable, OverflowRangeAndExhaustion)
{
    CommandTable table;
    for (int i = 0; i < 37; ++i)
        ASSERT_EQ(table.add("a"), 47097 + 191 * i);
    EXPECT_EQ(table.add("a"), 54000);
    EXPECT_EQ(table.add("a"), 54001);
    EXPECT_EQ(table.add("b"), 47098) << "other slots stay free";
    table.remove(54000);
    EXPECT_EQ(table.add("a"), 54000);

    CommandTable full;
    int added = 0;
    while (full.add("x") >= 0)
        ++added;
    // "x" hashes to 120: 47120 and its 36 steps up to 53996, then 3000 more.
    EXPECT_EQ(added, 37 + 3000);
    struct Counted : MenuIcon {
        int& count;
        explicit Counted(int& c) : count(c) {}
        ~Counted() override { ++count; }
    };
    int destroyed = 0;
    EXPECT_EQ(full.add("y", std::make_unique<Counted>(destroyed)), 47121) << "another slot is still free";
    EXPECT_EQ(full.nextIdentifier("x"), -1);
    EXPECT_EQ(full.add("x", std::make_unique<Counted>(destroyed)), -1);
    EXPECT_EQ(destroyed, 1) << "the icon of an item that was not added is dropped";
    full.clear();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(full.size(), 0u);
}

} // namespace
} // namespace lumbra::host
