// The interaction units inside this process: restrictions against a recording
// system, the system-menu extension and tray menu built from the player's own
// menu resources on a real window, the key and mouse filters on real windows,
// and the options pages' conversions.
#include "PlayerProcess.h"

#include "player/AboutBox.h"
#include "player/CPrjAppearanceDlg.h"
#include "player/CPrjMiscellaneousDlg.h"
#include "player/CPrjSize_PosDlg.h"
#include "player/HelpViewer.h"
#include "player/HyperlinkLabel.h"
#include "player/InputFilter.h"
#include "player/OptionPage.h"
#include "player/PlayerMenus.h"
#include "player/SystemRestrictions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumbra::test {
namespace {

// ---------------------------------------------------------------- restrictions

// A machine of the Windows 95 family that records what is switched.
class RecordingSwitches : public SystemSwitches {
public:
    bool windows9x = true;
    int cursorCount = 0;
    bool screenSaverRunning = false, screenSaverOn = true, taskbarOn = true;
    std::vector<std::string> calls;

    bool isWindows9x() const override { return windows9x; }
    int showCursor(bool show) override { return cursorCount += show ? 1 : -1; }
    bool setScreenSaverRunning(bool running) override
    {
        calls.push_back(running ? "running on" : "running off");
        return std::exchange(screenSaverRunning, running);
    }
    bool screenSaverActive() const override { return screenSaverOn; }
    void setScreenSaverActive(bool active) override
    {
        calls.push_back(active ? "saver on" : "saver off");
        screenSaverOn = active;
    }
    bool taskbarEnabled() const override { return taskbarOn; }
    void enableTaskbar(bool enable) override
    {
        calls.push_back(enable ? "taskbar on" : "taskbar off");
        taskbarOn = enable;
    }
};

TEST(Restrictions, AllOnWindows9xAreRecordedAndUndoneExactly)
{
    RecordingSwitches system;
    const std::uint32_t applied = applyRestrictions(0x111, system);
    EXPECT_EQ(applied, 0x111u);
    EXPECT_LT(system.cursorCount, 0) << "cursor hidden";
    EXPECT_TRUE(system.screenSaverRunning);
    EXPECT_FALSE(system.screenSaverOn);
    EXPECT_FALSE(system.taskbarOn);
    system.calls.clear();
    undoRestrictions(applied, system);
    EXPECT_EQ(system.calls, (std::vector<std::string>{"running off", "saver on", "taskbar on"}));
    EXPECT_FALSE(system.screenSaverRunning);
    EXPECT_TRUE(system.screenSaverOn);
    EXPECT_TRUE(system.taskbarOn);
}

TEST(Restrictions, StatesTheMachineWasAlreadyInAreNotRecorded)
{
    RecordingSwitches system;
    system.screenSaverRunning = true;
    system.screenSaverOn = false;
    system.taskbarOn = false;
    EXPECT_EQ(applyRestrictions(0x111, system), 0u);
    system.calls.clear();
    undoRestrictions(0, system);
    EXPECT_TRUE(system.calls.empty());
}

TEST(Restrictions, OtherSystemsOnlyStepTheCursor)
{
    RecordingSwitches system;
    system.windows9x = false;
    EXPECT_EQ(applyRestrictions(0x111, system), 0u);
    EXPECT_EQ(system.cursorCount, -1);
    EXPECT_TRUE(system.calls.empty());
    // Shown again: the counter is stepped back to where the cursor shows.
    system.cursorCount = -3;
    applyRestrictions(0, system);
    EXPECT_EQ(system.cursorCount, 0);
}

TEST(Restrictions, AppliedRestrictionsNeverOutliveTheirOwner)
{
    RecordingSwitches system;
    {
        AppliedRestrictions restrictions(system);
        restrictions.apply(0x100);
        EXPECT_EQ(restrictions.bits(), 0x10u);
        restrictions.apply(0x1); // the options dialog: undone, then applied again
        EXPECT_TRUE(system.screenSaverOn);
        EXPECT_EQ(restrictions.bits(), 0x101u);
    }
    EXPECT_FALSE(system.screenSaverRunning);
    EXPECT_TRUE(system.taskbarOn);
}

TEST(Restrictions, ScreenSaverCommandsAreRefusedOnlyWhileDisabled)
{
    EXPECT_TRUE(refusesSystemCommand(0x100, SC_SCREENSAVE));
    EXPECT_TRUE(refusesSystemCommand(0x100, 0xF14F));
    EXPECT_FALSE(refusesSystemCommand(0x100, 0xF150));
    EXPECT_FALSE(refusesSystemCommand(0x100, SC_MONITORPOWER));
    EXPECT_FALSE(refusesSystemCommand(0x011, SC_SCREENSAVE));
}

// ---------------------------------------------------------------- windows

// The player's own resources, read from the built program.
class PlayerResources {
public:
    PlayerResources() : module_(LoadLibraryExA(builtPlayer().string().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~PlayerResources() { FreeLibrary(module_); }
    HINSTANCE instance() const { return module_; }

private:
    HMODULE module_;
};

// A top-level window with a child filling it, as the main window and host.
// Hidden: without a window manager, every top-level window that was shown
// costs seconds at its destruction.
class TestWindows {
public:
    TestWindows()
    {
        main = CreateWindowExA(0, "STATIC", "Test Window", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                               nullptr, nullptr, nullptr, nullptr);
        host = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 280, 160, main, nullptr, nullptr,
                               nullptr);
    }
    ~TestWindows() { DestroyWindow(main); }

    // Whether a WM_CLOSE is waiting for the main window (and takes it).
    bool closePosted() const
    {
        MSG message;
        return PeekMessageA(&message, main, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
    }

    HWND main, host;
};

std::vector<std::string> itemsOf(HMENU menu, int from = 0)
{
    std::vector<std::string> items;
    for (int position = from; position < GetMenuItemCount(menu); ++position) {
        char text[256] = "";
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = sizeof text;
        GetMenuItemInfoA(menu, position, TRUE, &item);
        std::string line = (item.fType & MFT_SEPARATOR) ? "-" : text;
        if (item.hSubMenu)
            line += " {" + std::to_string(GetMenuItemCount(item.hSubMenu)) + "}";
        items.push_back(line);
    }
    return items;
}

class SystemMenu : public ::testing::Test {
protected:
    std::vector<std::string> extended(std::uint32_t flags)
    {
        extendSystemMenu(resources_.instance(), windows_.main, base_, flags);
        return itemsOf(GetSystemMenu(windows_.main, FALSE), base_);
    }

    PlayerResources resources_;
    TestWindows windows_;
    int base_ = GetMenuItemCount(GetSystemMenu(windows_.main, FALSE));
};

TEST_F(SystemMenu, AboutAloneGetsOneSeparator)
{
    EXPECT_EQ(extended(0x100), (std::vector<std::string>{"-", "About..."}));
}

TEST_F(SystemMenu, NoneBitAddsNothingWhateverElseIsSet)
{
    EXPECT_TRUE(extended(0x2).empty());
    EXPECT_TRUE(extended(0x1113).empty());
    EXPECT_TRUE(extended(0).empty());
}

TEST_F(SystemMenu, EveryItemInOrderAndAnExtensionReplacesThePrevious)
{
    EXPECT_EQ(extended(0x1111), (std::vector<std::string>{"-", "Macromedia Flash Player {15}", "Config...", "Help",
                                                          "-", "About..."}));
    EXPECT_EQ(extended(0x1001), (std::vector<std::string>{"-", "Config...", "Help"}));
}

TEST_F(SystemMenu, TheFlashPopupIsCopiedWithItsNestedPopup)
{
    extended(0x10);
    HMENU flash = GetSubMenu(GetSystemMenu(windows_.main, FALSE), base_ + 1);
    ASSERT_NE(flash, nullptr);
    const auto items = itemsOf(flash);
    ASSERT_EQ(items.size(), 15u);
    EXPECT_EQ(items[0], "Zoom In");
    EXPECT_EQ(items[5], "Quality {3}");
    EXPECT_EQ(items[14], "About Macromedia Flash Player...");
    EXPECT_EQ(itemsOf(GetSubMenu(flash, 5)), (std::vector<std::string>{"Low", "Medium", "High"}));
    EXPECT_EQ(GetMenuItemID(flash, 0), 20042u);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(flash, 5), 2), 20037u);
}

TEST_F(SystemMenu, StateGreysWhatTheWindowCannotDo)
{
    ProjectSettings settings;
    settings.borderStyle = 0x1;   // no border: never maximized, not sized
    settings.borderIcons = 0x11;
    HMENU menu = GetSystemMenu(windows_.main, FALSE);
    setSystemMenuState(menu, windows_.main, settings);
    auto greyed = [&](UINT command) { return (GetMenuState(menu, command, MF_BYCOMMAND) & MF_GRAYED) != 0; };
    EXPECT_TRUE(greyed(SC_RESTORE));
    EXPECT_TRUE(greyed(SC_SIZE));
    EXPECT_TRUE(greyed(SC_MAXIMIZE));
    EXPECT_FALSE(greyed(SC_MINIMIZE));
    settings.borderStyle = 0x100;
    settings.borderIcons = 0x100;
    setSystemMenuState(menu, windows_.main, settings);
    EXPECT_FALSE(greyed(SC_SIZE));
    EXPECT_TRUE(greyed(SC_MAXIMIZE));
    EXPECT_TRUE(greyed(SC_MINIMIZE));
}

TEST_F(SystemMenu, TrayMenuNamesTheWindowAndEndsWithClose)
{
    ShowWindow(windows_.main, SW_SHOWNA);
    const UniqueMenu menu = buildTrayMenu(resources_.instance(), windows_.main, 0x1111);
    EXPECT_EQ(itemsOf(menu.get()), (std::vector<std::string>{"Hide Test Window", "-", "Macromedia Flash Player {15}",
                                                             "Config...", "Help", "-", "About...", "-", "&Close"}));
    EXPECT_EQ(GetMenuDefaultItem(menu.get(), FALSE, 0), 32784u);
    EXPECT_EQ(GetMenuItemID(menu.get(), 8), 8u);
    ShowWindow(windows_.main, SW_HIDE);
    const UniqueMenu hidden = buildTrayMenu(resources_.instance(), windows_.main, 0x100);
    EXPECT_EQ(itemsOf(hidden.get()), (std::vector<std::string>{"Show Test Window", "-", "About...", "&Close"}));
}

// ---------------------------------------------------------------- key filter

void setModifiers(bool control, bool shift, bool alt)
{
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = control ? 0x80 : 0;
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    keys[VK_MENU] = alt ? 0x80 : 0;
    SetKeyboardState(keys);
}

class KeyFilter : public ::testing::Test {
protected:
    void TearDown() override { setModifiers(false, false, false); }

    // A key pressed and released in the player; whether both passed.
    bool press(WPARAM key)
    {
        const bool down = filter_.keyFilter(WM_KEYDOWN, key);
        return filter_.keyFilter(WM_KEYUP, key) && down;
    }

    ProjectSettings settings_;
    TestWindows windows_;
    InputFilter filter_{settings_, windows_.main, windows_.host, nullptr};
};

TEST_F(KeyFilter, HotKeyNeedsItsModifiersAndIgnoresFurtherOnes)
{
    settings_.exitKeys = 0x10;
    settings_.hotKeyCode = VK_F5;
    settings_.hotKeyModifiers = 0x2; // Ctrl
    setModifiers(false, false, false);
    press(VK_F5);
    EXPECT_FALSE(windows_.closePosted()) << "F5 alone";
    setModifiers(true, true, false);
    EXPECT_TRUE(filter_.keyFilter(WM_KEYDOWN, VK_F5));
    EXPECT_FALSE(windows_.closePosted()) << "only on release";
    EXPECT_TRUE(filter_.keyFilter(WM_KEYUP, VK_F5));
    EXPECT_TRUE(windows_.closePosted()) << "Ctrl+Shift+F5";
    settings_.hotKeyModifiers = 0x4; // Alt, which is not down
    press(VK_F5);
    EXPECT_FALSE(windows_.closePosted());
}

TEST_F(KeyFilter, EscClosesEvenWhenKeysAreKeptFromTheMovie)
{
    settings_.exitKeys = 0x1;
    settings_.keyPress = 0x10;
    EXPECT_FALSE(filter_.keyFilter(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_FALSE(filter_.keyFilter(WM_KEYUP, VK_ESCAPE));
    EXPECT_TRUE(windows_.closePosted());
    EXPECT_FALSE(filter_.keyFilter(WM_CHAR, 'a'));
    EXPECT_FALSE(filter_.keyFilter(WM_SYSKEYDOWN, VK_F10));
    settings_.exitKeys = 0;
    settings_.keyPress = 0x1;
    EXPECT_TRUE(press(VK_ESCAPE));
    EXPECT_TRUE(filter_.keyFilter(WM_SYSCHAR, 'x'));
    EXPECT_FALSE(windows_.closePosted());
}

TEST_F(KeyFilter, ReleaseOfAKeyPressedElsewhereDoesNotClose)
{
    settings_.exitKeys = 0x1;
    // The press closed a menu or a dialog; only its release reaches the player.
    EXPECT_TRUE(filter_.keyFilter(WM_KEYUP, VK_ESCAPE));
    EXPECT_FALSE(windows_.closePosted());
    EXPECT_TRUE(press(VK_ESCAPE));
    EXPECT_TRUE(windows_.closePosted());
}

TEST_F(KeyFilter, OnlyMessagesOfTheMainWindowTreeAreFiltered)
{
    settings_.keyPress = 0x10;
    MSG toHost{};
    toHost.hwnd = windows_.host;
    toHost.message = WM_KEYDOWN;
    EXPECT_TRUE(filter_.consumes(toHost));
    const HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    MSG toOther = toHost;
    toOther.hwnd = other;
    EXPECT_FALSE(filter_.consumes(toOther));
    DestroyWindow(other);
}

// ---------------------------------------------------------------- mouse filter

class MouseFilter : public ::testing::Test {
protected:
    RECT mainRect() const
    {
        RECT rect;
        GetWindowRect(windows_.main, &rect);
        return rect;
    }

    // Presses at host point (x, y), moves the cursor by (dx, dy) with the button down.
    void drag(int x, int y, int dx, int dy)
    {
        POINT start{x, y};
        ClientToScreen(windows_.host, &start);
        SetCursorPos(start.x, start.y);
        filter_.mouseFilter(WM_LBUTTONDOWN, MK_LBUTTON, x, y);
        SetCursorPos(start.x + dx, start.y + dy);
        filter_.mouseFilter(WM_MOUSEMOVE, MK_LBUTTON, x + dx, y + dy);
        filter_.mouseFilter(WM_LBUTTONUP, 0, x + dx, y + dy);
    }

    ProjectSettings settings_;
    TestWindows windows_;
    std::vector<POINT> menus_;
    HRGN dragRegion_ = nullptr;
    InputFilter filter_{settings_, windows_.main, windows_.host, [this](POINT point) { menus_.push_back(point); },
                        [this] { return dragRegion_; }};
};

TEST_F(MouseFilter, DragMovesTheWindowByTheCursorsMovement)
{
    settings_.lBtnClk = 1;
    const RECT before = mainRect();
    drag(40, 40, 30, 20);
    const RECT after = mainRect();
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 20);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_FALSE(filter_.dragging());
    EXPECT_EQ(GetCapture(), nullptr) << "the capture goes back";
}

TEST_F(MouseFilter, OutsideTheDragRegionAPressPassesButNeverDrags)
{
    settings_.lBtnClk = 1;
    dragRegion_ = CreateRectRgn(0, 0, 20, 20);
    const RECT before = mainRect();
    EXPECT_TRUE(filter_.mouseFilter(WM_LBUTTONDOWN, MK_LBUTTON, 50, 50));
    drag(50, 50, 30, 20);
    EXPECT_EQ(mainRect().left, before.left);
    drag(10, 10, 30, 20);
    EXPECT_EQ(mainRect().left, before.left + 30) << "inside the region it drags";
    DeleteObject(dragRegion_);
}

TEST_F(MouseFilter, NoDragWhenTheMovieTookTheMouse)
{
    settings_.lBtnClk = 1;
    const RECT before = mainRect();
    POINT start{40, 40};
    ClientToScreen(windows_.host, &start);
    SetCursorPos(start.x, start.y);
    filter_.mouseFilter(WM_LBUTTONDOWN, MK_LBUTTON, 40, 40);
    SetCapture(windows_.host); // what the control does on a press on one of its buttons
    SetCursorPos(start.x + 30, start.y);
    EXPECT_TRUE(filter_.mouseFilter(WM_MOUSEMOVE, MK_LBUTTON, 70, 40));
    ReleaseCapture();
    EXPECT_EQ(mainRect().left, before.left);
}

TEST_F(MouseFilter, ButtonModesFollowTheTable)
{
    settings_.lBtnClk = 2;
    settings_.rBtnClk = 1;
    EXPECT_FALSE(filter_.mouseFilter(WM_LBUTTONDOWN, 0, 1, 1));
    EXPECT_FALSE(filter_.mouseFilter(WM_LBUTTONUP, 0, 1, 1));
    EXPECT_FALSE(filter_.mouseFilter(WM_LBUTTONDBLCLK, 0, 1, 1));
    EXPECT_TRUE(filter_.mouseFilter(WM_MOUSEMOVE, 0, 1, 1));
    EXPECT_FALSE(filter_.mouseFilter(WM_RBUTTONDOWN, 0, 5, 6));
    EXPECT_EQ(menus_.size(), 1u);
    EXPECT_EQ(menus_[0].x, 5);
    EXPECT_FALSE(filter_.mouseFilter(WM_RBUTTONUP, 0, 5, 6));
    EXPECT_TRUE(filter_.mouseFilter(WM_RBUTTONDBLCLK, 0, 5, 6)) << "reaches the movie";
    settings_.lBtnClk = 0;
    settings_.rBtnClk = 2;
    EXPECT_TRUE(filter_.mouseFilter(WM_LBUTTONDBLCLK, 0, 1, 1));
    EXPECT_FALSE(filter_.mouseFilter(WM_RBUTTONDOWN, 0, 5, 6));
    EXPECT_FALSE(filter_.mouseFilter(WM_RBUTTONDBLCLK, 0, 5, 6));
    settings_.rBtnClk = 0;
    EXPECT_TRUE(filter_.mouseFilter(WM_RBUTTONDOWN, 0, 5, 6));
    EXPECT_TRUE(filter_.mouseFilter(WM_RBUTTONUP, 0, 5, 6));
    EXPECT_EQ(menus_.size(), 1u);
}

// ---------------------------------------------------------------- small rules

TEST(OptionValues, ConversionsOfThePages)
{
    EXPECT_EQ(scaleModeOfChoice(3), 0x100u) << "Exact Fit";
    EXPECT_EQ(scaleModeOfChoice(2), 2u) << "No border";
    EXPECT_EQ(scaleModeOfChoice(1), 0x10u);
    EXPECT_EQ(choiceOfScaleMode(0x100), 3);
    EXPECT_EQ(choiceOfScaleMode(7), 0);
    EXPECT_EQ(relativeCoordinate(150), 50);
    EXPECT_EQ(relativeCoordinate(100), 100);
    EXPECT_EQ(readFieldNumber("640"), 640);
    EXPECT_EQ(readFieldNumber("abc"), 0);
    EXPECT_EQ(readFieldNumber("70000"), 65535);
    EXPECT_EQ(readFieldNumber("-5"), 0);
    EXPECT_EQ(colorText(0xFF8040), "0xFF8040");
    EXPECT_EQ(colorText(0x12), "0x000012");
}

TEST(AboutTexts, VersionLineAndLinkTargets)
{
    EXPECT_EQ(versionLine("1.2"), "Version 1.2");
    EXPECT_EQ(versionLine("Version 3"), "Version 3");
    EXPECT_EQ(versionLine(""), "");
    EXPECT_EQ(hyperlinkTarget("info@acme.example", true), "mailto:info@acme.example");
    EXPECT_EQ(hyperlinkTarget("mailto:a@b", true), "mailto:a@b");
    EXPECT_EQ(hyperlinkTarget("http://acme.example/", false), "http://acme.example/");
}

TEST(Help, HtmlHelpIsChosenByTheLastThreeCharacters)
{
    EXPECT_TRUE(isHtmlHelpFile("C:\\x\\Guide.CHM"));
    EXPECT_TRUE(isHtmlHelpFile("chm"));
    EXPECT_FALSE(isHtmlHelpFile("guide.hlp"));
    EXPECT_FALSE(isHtmlHelpFile("ch"));
}

TEST(Help, HtmlHelpLibraryComesWithTheFirstUseAndGoesWithTheViewer)
{
    ASSERT_EQ(GetModuleHandleA("hhctrl.ocx"), nullptr);
    {
        HelpViewer viewer;
        EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), nullptr) << "not before it is needed";
        // A file that is not there: the system's viewer deals with it.
        EXPECT_TRUE(viewer.show(nullptr, "Z:\\nowhere\\missing.chm"));
        const HMODULE loaded = GetModuleHandleA("hhctrl.ocx");
        EXPECT_NE(loaded, nullptr);
        EXPECT_TRUE(viewer.show(nullptr, "Z:\\nowhere\\other.chm"));
        EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), loaded) << "kept, not loaded again";
    }
    EXPECT_EQ(GetModuleHandleA("hhctrl.ocx"), nullptr);
}

} // namespace
} // namespace lumbra::test
