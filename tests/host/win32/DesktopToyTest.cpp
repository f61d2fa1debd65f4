// DesktopToy as scripts use it, moving a real window under Wine.
#include "../FakePlayerServices.h"
#include "../ScriptHost.h"
#include "host/win32/DesktopToy.h"

namespace lumbra {
namespace {

class DesktopToyTest : public ::testing::Test {
protected:
    DesktopToyTest()
    {
        window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "toy", WS_POPUP, 300, 200, 160, 120,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        player.mainWindowHandle = window;
        host.value("var stops = 0; var stoppedAt = \"\"; var self = null;"
                   "DesktopToy.onStop = function(x, y) { stops++; stoppedAt = x + \",\" + y; self = this; }");
    }
    ~DesktopToyTest() override { DestroyWindow(window); }

    // Runs the message loop until the script's count of stops reaches n.
    bool waitForStops(int n)
    {
        const DWORD start = GetTickCount();
        while (std::stoi(host.value("stops")) < n) {
            if (GetTickCount() - start > 10000)
                return false;
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        return true;
    }

    RECT rect() const
    {
        RECT r{};
        GetWindowRect(window, &r);
        return r;
    }

    static orvet::HostClasses classes(test::FakePlayerServices& player)
    {
        orvet::HostClasses classes;
        classes.host = &player;
        classes.desktopToy = registerDesktopToyClass;
        return classes;
    }

    HWND window = nullptr;
    test::FakePlayerServices player;
    test::ScriptHost host{classes(player)};
};

TEST_F(DesktopToyTest, AThrowWithoutAccelerationRunsStraightToTheBorder)
{
    host.value("DesktopToy.act(3000, 180, 0, 0, 0)"); // leftwards
    ASSERT_TRUE(waitForStops(1));
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rect().left, work.left);
    EXPECT_EQ(rect().top, 200);
    EXPECT_EQ(host.value("stoppedAt"), std::to_string(work.left) + ",200");
    EXPECT_EQ(host.value("self == DesktopToy"), "true");
}

TEST_F(DesktopToyTest, FollowingStopsARunningThrowFirst)
{
    host.value("DesktopToy.act(10, 0, 0, 0, 0)"); // slow: still running
    EXPECT_EQ(host.value("DesktopToy.followCursor"), "false");
    host.value("DesktopToy.followCursor = true");
    EXPECT_EQ(host.value("stops"), "1");
    EXPECT_EQ(host.value("DesktopToy.followCursor"), "true");
    host.value("DesktopToy.followCursor = false");
    EXPECT_EQ(host.value("stops + \" \" + DesktopToy.followCursor"), "2 false");
}

TEST_F(DesktopToyTest, BadArgumentsAndKeptTexts)
{
    host.value("DesktopToy.act(100, 0, 0, 0)");     // four arguments
    host.value("DesktopToy.act(100, 0, 0, 0, 1.5)"); // not an integer
    EXPECT_EQ(host.value("DesktopToy.followCursor"), "false");
    host.value("DesktopToy.stop()");
    EXPECT_EQ(host.value("stops"), "0"); // nothing ran, nothing stopped
    EXPECT_EQ(host.value("DesktopToy.spriteBounds"), "");
    host.value("DesktopToy.spriteBounds = \"_root.ball\"; DesktopToy.spriteInfoFrame = \"info\";"
               "DesktopToy.spriteInfoFrame = 5");
    EXPECT_EQ(host.value("DesktopToy.spriteBounds + \"/\" + DesktopToy.spriteInfoFrame"), "_root.ball/info");
    const SpriteQuery query = desktopToySpriteQuery(*host.engine);
    EXPECT_EQ(query.bounds, "_root.ball");
    EXPECT_EQ(query.infoFrame, "info");
    EXPECT_EQ(host.value("DesktopToy.toString()"), "[object DesktopToy]");
}

} // namespace
} // namespace lumbra
