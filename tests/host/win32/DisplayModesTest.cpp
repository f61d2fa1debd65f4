// Display mode changes through DirectDraw under Wine: what Wine allows works,
// what it refuses comes back as false, and restore always gets back.
#include "../FakePlayerServices.h"
#include "../ScriptHost.h"
#include "host/win32/DirectX.h"
#include "host/win32/DisplayModes.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

class DisplayModesTest : public ::testing::Test {
protected:
    DisplayModesTest()
    {
        CoInitialize(nullptr);
        window = CreateWindowExA(0, "STATIC", "display modes", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    }
    ~DisplayModesTest() override
    {
        DestroyWindow(window);
        CoUninitialize();
    }

    static DEVMODEA currentMode()
    {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        return mode;
    }

    HWND window = nullptr;
};

TEST_F(DisplayModesTest, RestoreWithoutAChangeDoesNothing)
{
    const DEVMODEA before = currentMode();
    DisplayModes modes;
    EXPECT_TRUE(modes.restore(window));
    EXPECT_EQ(currentMode().dmPelsWidth, before.dmPelsWidth);
    EXPECT_TRUE(modes.available());
}

TEST_F(DisplayModesTest, ChangesWhereAllowedAndRestores)
{
    const DEVMODEA before = currentMode();
    DisplayModes modes;
    // The current mode is always one the display can take.
    EXPECT_TRUE(modes.setMode(window, before.dmPelsWidth, before.dmPelsHeight, before.dmBitsPerPel));
    // No display has this one.
    EXPECT_FALSE(modes.setMode(window, 12345, 6789, 13));
    EXPECT_TRUE(modes.restore(window));
    const DEVMODEA after = currentMode();
    EXPECT_EQ(after.dmPelsWidth, before.dmPelsWidth);
    EXPECT_EQ(after.dmPelsHeight, before.dmPelsHeight);
    // Once restored, there is nothing left to restore.
    EXPECT_TRUE(modes.restore(window));
}

TEST_F(DisplayModesTest, TheScriptObject)
{
    test::FakePlayerServices player;
    player.mainWindowHandle = window;
    orvet::HostClasses classes;
    classes.host = &player;
    classes.directX = registerDirectXClass;
    test::ScriptHost host{classes};
    const DEVMODEA before = currentMode();
    EXPECT_EQ(host.value("DirectX.restore()"), "true");
    EXPECT_EQ(host.value("DirectX.canSetDisplayMode(1, 2, 3)"), "true");
    EXPECT_EQ(host.value("DirectX.setDisplayMode(640)"), "false");
    EXPECT_EQ(host.value("DirectX.setDisplayMode(\"640\", 480, 32)"), "false");
    EXPECT_EQ(host.value("DirectX.setDisplayMode(12345, 6789, 13)"), "false");
    EXPECT_EQ(host.value("DirectX.setDisplayMode(" + std::to_string(before.dmPelsWidth) + ", " +
                         std::to_string(before.dmPelsHeight) + ", " + std::to_string(before.dmBitsPerPel) + ")"),
              "true");
    EXPECT_EQ(host.value("DirectX.restore()"), "true");
    EXPECT_EQ(host.value("DirectX.toString()"), "[object DirectX]");
}

} // namespace
} // namespace lumbra
