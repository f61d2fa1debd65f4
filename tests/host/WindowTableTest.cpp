// The routing records of Window objects: one record and one subclassing per
// window however many objects share it, handles that share a bucket, records
// that outlive the event calls using them, windows that die first.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "host/WindowTable.h"
#include "script/runtime/ScriptContext.h"

namespace lumbra::host {
namespace {

// Windows are numbers; subclassing is counted per window.
class FakeWindows : public WindowSubclassing {
public:
    bool isWindow(WindowHandle handle) override { return alive.count(handle) != 0; }
    bool attach(WindowRecord& record) override
    {
        ++attached[record.handle];
        return !foreign.count(record.handle);
    }
    void detach(WindowRecord& record) override { ++detached[record.handle]; }

    std::set<WindowHandle> alive{17, 34, 51, 5, 0x10005};
    std::set<WindowHandle> foreign;
    std::map<WindowHandle, int> attached, detached;
};

class WindowTableTest : public ::testing::Test {
protected:
    orvet::ScriptContext ctx;
    FakeWindows windows;
    WindowTable table{windows};
};

TEST_F(WindowTableTest, ObjectsOfOneWindowShareOneRecordAndOneSubclassing)
{
    auto a = table.newCell(ctx, 17);
    auto b = table.newCell(ctx, 17);
    ASSERT_NE(a->record, nullptr);
    EXPECT_EQ(a->record, b->record);
    EXPECT_EQ(a->record->cells.size(), 2u);
    EXPECT_TRUE(a->record->subclassed);
    EXPECT_EQ(windows.attached[17], 1);
    EXPECT_TRUE(a->record->tracking);
    EXPECT_FALSE(a->record->inside);

    WindowRecord* record = a->record;
    table.releaseCell(std::move(a));
    EXPECT_EQ(windows.detached[17], 0);
    EXPECT_EQ(table.find(17), record);
    table.releaseCell(std::move(b));
    EXPECT_EQ(windows.detached[17], 1);
    EXPECT_EQ(table.find(17), nullptr);
    EXPECT_EQ(table.size(), 0u);

    // A later object subclasses again.
    auto c = table.newCell(ctx, 17);
    EXPECT_EQ(windows.attached[17], 2);
    table.releaseCell(std::move(c));
    EXPECT_EQ(windows.detached[17], 2);
}

TEST_F(WindowTableTest, HandlesInOneBucketStayApart)
{
    // 17, 34 and 51 share a bucket; releasing the middle one keeps the others.
    auto a = table.newCell(ctx, 17);
    auto b = table.newCell(ctx, 34);
    auto c = table.newCell(ctx, 51);
    auto d = table.newCell(ctx, 0x10005);
    auto e = table.newCell(ctx, 5);
    EXPECT_EQ(table.size(), 5u);
    EXPECT_NE(a->record, b->record);
    EXPECT_NE(b->record, c->record);
    EXPECT_NE(d->record, e->record);
    table.releaseCell(std::move(b));
    EXPECT_EQ(table.find(34), nullptr);
    EXPECT_EQ(table.find(17), a->record);
    EXPECT_EQ(table.find(51), c->record);
    EXPECT_EQ(table.find(5), e->record);
    EXPECT_EQ(table.find(0x10005), d->record);
    EXPECT_EQ(windows.detached[34], 1);
    EXPECT_EQ(windows.detached[17] + windows.detached[51], 0);
}

TEST_F(WindowTableTest, HandlesThatAreNoWindowGetNoRecord)
{
    auto none = table.newCell(ctx, 0);
    auto gone = table.newCell(ctx, 99);
    EXPECT_EQ(none->record, nullptr);
    EXPECT_EQ(gone->record, nullptr);
    EXPECT_EQ(gone->handle, 99u);
    EXPECT_TRUE(windows.attached.empty());
    table.releaseCell(std::move(none));
    table.releaseCell(std::move(gone));
    EXPECT_TRUE(windows.detached.empty());
}

TEST_F(WindowTableTest, TheReceiverIsTheNewestLivingObject)
{
    auto a = table.newCell(ctx, 17);
    a->object = orvet::ScriptValue::ofInt(1);
    auto b = table.newCell(ctx, 17);
    b->object = orvet::ScriptValue::ofInt(2);
    auto c = table.newCell(ctx, 17);
    c->object = orvet::ScriptValue::ofInt(3);
    WindowRecord* record = a->record;
    EXPECT_EQ(record->self().integer, 3);
    table.releaseCell(std::move(c));
    EXPECT_EQ(record->self().integer, 2);
    table.releaseCell(std::move(a));
    EXPECT_EQ(record->self().integer, 2);
    table.releaseCell(std::move(b));
}

TEST_F(WindowTableTest, ARecordOutlivesTheEventThatLetItsLastObjectGo)
{
    auto a = table.newCell(ctx, 17);
    WindowRecord* record = a->record;
    {
        WindowTable::Dispatch outer(table, *record);
        {
            WindowTable::Dispatch inner(table, *record); // a nested message
            table.releaseCell(std::move(a));
            EXPECT_EQ(windows.detached[17], 1); // the procedure is back at once
            EXPECT_EQ(table.find(17), nullptr);
        }
        // Still readable here: the dispatcher finishes with it.
        EXPECT_EQ(record->handle, 17u);
        EXPECT_EQ(record->dispatching, 1);
        // A new object during the event makes a new record.
        auto b = table.newCell(ctx, 17);
        EXPECT_NE(b->record, record);
        EXPECT_EQ(windows.attached[17], 2);
        table.releaseCell(std::move(b));
    }
    EXPECT_EQ(table.size(), 0u);
    EXPECT_EQ(windows.detached[17], 2);
}

TEST_F(WindowTableTest, AWindowThatDiesFirst)
{
    auto a = table.newCell(ctx, 17);
    auto b = table.newCell(ctx, 17);
    WindowRecord* old = a->record;
    table.windowDestroyed(*old);
    EXPECT_TRUE(old->destroyed);
    EXPECT_FALSE(old->subclassed);
    EXPECT_EQ(windows.detached[17], 1);
    EXPECT_EQ(table.find(17), nullptr);

    // The system hands the same handle to a new window.
    auto c = table.newCell(ctx, 17);
    EXPECT_NE(c->record, old);
    EXPECT_FALSE(c->record->destroyed);
    table.releaseCell(std::move(a));
    table.releaseCell(std::move(b)); // the old record goes; the new one stays subclassed
    EXPECT_EQ(windows.detached[17], 1);
    EXPECT_EQ(table.find(17), c->record);
    table.releaseCell(std::move(c));
    EXPECT_EQ(windows.detached[17], 2);
}

TEST_F(WindowTableTest, ForeignWindowsAndTheEndOfTheTable)
{
    windows.foreign.insert(51);
    auto foreign = table.newCell(ctx, 51);
    ASSERT_NE(foreign->record, nullptr);
    EXPECT_FALSE(foreign->record->subclassed);
    auto own = table.newCell(ctx, 17);
    std::unique_ptr<WindowCell> kept; // its script object outlives its table
    {
        WindowTable gone(windows);
        kept = gone.newCell(ctx, 34);
    }
    EXPECT_EQ(windows.detached[34], 1);
    table.releaseCell(std::move(foreign));
    EXPECT_EQ(windows.detached[51], 0); // never subclassed, never given back
    table.releaseCell(std::move(own));
}

} // namespace
} // namespace lumbra::host
