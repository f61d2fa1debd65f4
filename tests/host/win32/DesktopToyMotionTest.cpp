// The desktop toy moving a real window under Wine: thrown along a line it
// stops at the border of the work area and reports where; following the
// cursor it walks towards it one pixel per tick.
#include "host/win32/DesktopToyMotion.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumbra {
namespace {

// Runs the message loop until done() or the time is up (generous: this is a
// wait for a condition, not a timing check).
template <class Done>
bool pumpUntil(Done done, DWORD limit = 10000)
{
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > limit)
            return false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

RECT workArea()
{
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

// One visible window for the suite (showing and destroying real windows is
// what costs time under Wine), put back in place for each test.
class DesktopToyMotionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "toy", WS_POPUP | WS_VISIBLE, 400, 300, 200, 100,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(window); }

    DesktopToyMotionTest() { SetWindowPos(window, nullptr, 400, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }

    RECT rect() const
    {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }

    static HWND window;
    std::vector<POINT> stops;
    DesktopToyMotion motion{[] { return window; }, [this](POINT corner) { stops.push_back(corner); }};
};

HWND DesktopToyMotionTest::window = nullptr;

TEST_F(DesktopToyMotionTest, ThrownWindowStopsAtTheBorder)
{
    ASSERT_TRUE(window);
    motion.throwWindow(2000, 0, 0, 0, 0, false);
    EXPECT_EQ(motion.mode(), DesktopToyMotion::Mode::Trajectory);
    ASSERT_TRUE(pumpUntil([&] { return !stops.empty(); }));
    EXPECT_EQ(motion.mode(), DesktopToyMotion::Mode::Idle);
    const RECT end = rect();
    EXPECT_EQ(end.right, workArea().right);
    EXPECT_EQ(end.top, 300); // a straight line
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].x, end.left);
    EXPECT_EQ(stops[0].y, end.top);
    EXPECT_EQ(end.right - end.left, 200); // size kept
}

TEST_F(DesktopToyMotionTest, BouncingUnderGravityComesToRestOnTheFloor)
{
    motion.throwWindow(300, 0, 6000, 90, 80, true);
    ASSERT_TRUE(pumpUntil([&] { return !stops.empty(); }, 20000));
    EXPECT_EQ(rect().bottom, workArea().bottom);
}

TEST_F(DesktopToyMotionTest, FollowingTheCursorWalksTowardsIt)
{
    SetCursorPos(700, 500);
    motion.followCursor();
    EXPECT_EQ(motion.mode(), DesktopToyMotion::Mode::FollowCursor);
    // The centre starts at (500, 350) and moves one pixel per axis and tick.
    ASSERT_TRUE(pumpUntil([&] { return rect().left >= 420; }));
    const RECT r = rect();
    EXPECT_EQ(r.left - 400, r.top - 300); // diagonal: both axes step together
    // Following again first stops the running motion, which reports.
    motion.followCursor();
    EXPECT_EQ(stops.size(), 1u);
    motion.stop();
    EXPECT_EQ(stops.size(), 2u);
    motion.stop(); // nothing runs: nothing to report
    EXPECT_EQ(stops.size(), 2u);
}

} // namespace
} // namespace lumbra
