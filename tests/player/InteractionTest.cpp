// Packaged players driven as a person would: real keys and mouse, then what
// happened observed from outside (the window closed or moved, the menus the
// player logged, the profile it wrote, the dialogs' controls).
#include "PlayerProcess.h"
#include "UserInput.h"

#include "player/MenuLog.h"
#include "player/PlayerResourceIds.h"

#include "package/SettingsLoader.h"
#include "package/SettingsRecord.h"
#include "package/win32/RegistryProfile.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <prsht.h>
#include <shellapi.h>

#include <cstdlib>
#include <fstream>

namespace lumbra::test {
namespace {

constexpr char kRegistryKey[] = "LumbraInteraction";
constexpr UINT kTrayCallback = WM_APP + 2003;

class Interaction : public ::testing::Test {
protected:
    void SetUp() override
    {
        name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = scratchFolder("Interaction" + name_);
        std::filesystem::create_directories(folder_ / "temp");
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kRegistryKey).c_str());
    }

    // A player packaged with the given [settings] lines, started.
    std::unique_ptr<PlayerProcess> start(const std::string& settings, const std::string& packageLines = "")
    {
        const auto project = folder_ / "project";
        std::filesystem::create_directories(project);
        const auto exe = folder_ / "App.exe";
        packageProject(project,
                       packageSection(std::string(kRegistryKey) + "/" + name_) + packageLines + "[settings]\n" + settings,
                       exe);
        const std::map<std::string, std::string> environment{{"TMP", (folder_ / "temp").string()},
                                                             {"LUMBRA_REPORT_LOG", (folder_ / "report.log").string()},
                                                             {"LUMBRA_MENU_LOG", menuLog().string()}};
        auto player = std::make_unique<PlayerProcess>(exe, "", environment);
        window_ = player->waitForMainWindow();
        return player;
    }

    std::filesystem::path menuLog() const { return folder_ / "menus.log"; }

    // The lines of one "[heading]" section of the menu log.
    std::vector<std::string> loggedMenu(const std::filesystem::path& log, const std::string& heading) const
    {
        std::vector<std::string> section;
        bool inside = false;
        for (const std::string& line : readLines(log)) {
            if (line.starts_with("["))
                inside = line == "[" + heading + "]";
            else if (inside)
                section.push_back(line);
        }
        return section;
    }

    // The system menu of a window like the player's before the player adds to it.
    std::vector<std::string> plainSystemMenu()
    {
        const auto log = folder_ / "plain.log";
        const HWND window = CreateWindowExA(WS_EX_APPWINDOW, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                            nullptr, nullptr, nullptr, nullptr);
        _putenv_s("LUMBRA_MENU_LOG", log.string().c_str());
        logMenu("plain", GetSystemMenu(window, FALSE));
        _putenv_s("LUMBRA_MENU_LOG", "");
        DestroyWindow(window);
        return loggedMenu(log, "plain");
    }

    // Whether the main window goes within `time`. Being destroyed, it is
    // hidden at once; its end, and the process's, take longer.
    bool windowGoesWithin(std::chrono::milliseconds time) const
    {
        return waitFor([&] { return !IsWindowVisible(window_); }, time);
    }

    RegistryProfile profile() const { return RegistryProfile({kRegistryKey, name_}); }

    std::optional<std::vector<std::uint8_t>> storedOptions() const
    {
        return profile().readBinary(settingsSection, optionsValue);
    }

    std::string name_;
    std::filesystem::path folder_;
    HWND window_ = nullptr;
};

// ---------------------------------------------------------------- keys

TEST_F(Interaction, EscClosesEvenWhenEveryKeyIsKeptFromTheMovie)
{
    auto player = start("exitKeys = 0x1\nkeyPress = 0x10\n");
    ASSERT_NE(window_, nullptr);
    bringToFront(window_);
    pressKeys({VK_ESCAPE});
    EXPECT_EQ(player->waitForExit(), 0u);
}

TEST_F(Interaction, HotKeyClosesWithItsModifiersAndNotAlone)
{
    auto player = start("exitKeys = 0x10\nhotKeyCode = 116\nhotKeyModifiers = 0x2\n");
    ASSERT_NE(window_, nullptr);
    bringToFront(window_);
    pressKeys({VK_ESCAPE});
    pressKeys({VK_F5});
    EXPECT_FALSE(windowGoesWithin(std::chrono::milliseconds(1500))) << "Esc and F5 alone keep it open";
    pressKeys({VK_CONTROL, VK_SHIFT, VK_F5});
    EXPECT_TRUE(windowGoesWithin(std::chrono::seconds(10)));
    EXPECT_EQ(player->waitForExit(), 0u);
}

// ---------------------------------------------------------------- mouse

TEST_F(Interaction, LeftButtonDragsTheWindowByTheMovie)
{
    auto player = start("lBtnClk = 1\n");
    ASSERT_NE(window_, nullptr);
    bringToFront(window_);
    RECT before;
    GetWindowRect(window_, &before);
    const POINT from = centreOf(window_);
    dragMouse(from, {from.x + 60, from.y + 40});
    RECT after{};
    EXPECT_TRUE(waitFor([&] {
        GetWindowRect(window_, &after);
        return after.left != before.left;
    }));
    EXPECT_EQ(after.left - before.left, 60);
    EXPECT_EQ(after.top - before.top, 40);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(Interaction, WithoutDragModeTheWindowStays)
{
    auto player = start("lBtnClk = 0\n");
    ASSERT_NE(window_, nullptr);
    bringToFront(window_);
    RECT before, after;
    GetWindowRect(window_, &before);
    const POINT from = centreOf(window_);
    dragMouse(from, {from.x + 60, from.y + 40});
    // The drag's last message has been handled once the window answers.
    SendMessageTimeoutA(window_, WM_NULL, 0, 0, SMTO_BLOCK, 5000, nullptr);
    GetWindowRect(window_, &after);
    EXPECT_EQ(after.left, before.left);
}

// ---------------------------------------------------------------- menus

TEST_F(Interaction, AboutAloneAddsOneSeparatorAndTheContextMenuShowsIt)
{
    auto player = start("contextMenuFlags = 0x100\nrBtnClk = 1\n");
    ASSERT_NE(window_, nullptr);
    std::vector<std::string> expected = plainSystemMenu();
    expected.insert(expected.end(), {"-", "About..."});
    EXPECT_EQ(loggedMenu(menuLog(), "system menu"), expected);

    bringToFront(window_);
    click(centreOf(window_), true);
    EXPECT_TRUE(waitFor([&] { return !loggedMenu(menuLog(), "context menu").empty(); }));
    const auto context = loggedMenu(menuLog(), "context menu");
    ASSERT_GE(context.size(), 2u);
    EXPECT_EQ(context.back(), "About...");
    pressKeys({VK_ESCAPE}); // closes the menu, not the player
    EXPECT_FALSE(windowGoesWithin(std::chrono::milliseconds(1000)));
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
}

TEST_F(Interaction, NoneBitAddsNothing)
{
    auto player = start("contextMenuFlags = 0x1113\n");
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(loggedMenu(menuLog(), "system menu"), plainSystemMenu());
}

// ---------------------------------------------------------------- tray

bool trayIconShown(HWND window)
{
    NOTIFYICONDATAA data{};
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = window;
    data.uID = 128;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

TEST_F(Interaction, TrayIconDoubleClickHidesAndRestoresTheWindow)
{
    auto player = start("behaviourFlags = 0x1001\ncaption = Tray Test\n");
    ASSERT_NE(window_, nullptr);
    EXPECT_TRUE(waitFor([&] { return trayIconShown(window_); }));

    // What the shell sends for a double click on the icon.
    PostMessageA(window_, kTrayCallback, 128, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(window_); }));
    PostMessageA(window_, kTrayCallback, 127, WM_LBUTTONDBLCLK); // not our icon
    PostMessageA(window_, kTrayCallback, 128, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window_) && !IsIconic(window_); }));

    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
    EXPECT_FALSE(trayIconShown(window_)) << "the icon goes with the player";
}

TEST_F(Interaction, NoTrayIconUnlessAsked)
{
    auto player = start("behaviourFlags = 0x1\n");
    ASSERT_NE(window_, nullptr);
    EXPECT_FALSE(trayIconShown(window_));
}

// ---------------------------------------------------------------- options dialog

class OptionsSheet {
public:
    OptionsSheet(const PlayerProcess& player, HWND mainWindow) : mainWindow_(mainWindow)
    {
        PostMessageA(mainWindow, WM_SYSCOMMAND, ID_PLAYER_CONFIG, 0);
        waitFor([&] { return (sheet_ = findProcessWindow(player.id(), "#32770", "Options")) != nullptr; });
    }

    HWND sheet() const { return sheet_; }
    HWND page(int index) const
    {
        SendMessageA(sheet_, PSM_SETCURSEL, index, 0);
        return reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    static void click(HWND page, int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); }
    static void choose(HWND page, int comboId, int index)
    {
        const HWND combo = GetDlgItem(page, comboId);
        SendMessageA(combo, CB_SETCURSEL, index, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(comboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    }
    static std::string text(HWND page, int id)
    {
        char buffer[256] = "";
        GetDlgItemTextA(page, id, buffer, sizeof buffer);
        return buffer;
    }
    // OK or Cancel; returns once the player has done what follows the sheet.
    void press(int button)
    {
        PostMessageA(sheet_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(sheet_, button)));
        waitFor([&] { return !IsWindow(sheet_); });
        // Answered only when the player's thread is back in its message loop.
        SendMessageTimeoutA(mainWindow_, WM_NULL, 0, 0, SMTO_BLOCK, 10000, nullptr);
    }

private:
    HWND mainWindow_;
    HWND sheet_ = nullptr;
};

TEST_F(Interaction, AcceptedOptionsReachTheProfileAndTheWindow)
{
    auto player = start("caption = Before\nborderStyle = 0x100\n");
    ASSERT_NE(window_, nullptr);
    OptionsSheet options(*player, window_);
    ASSERT_NE(options.sheet(), nullptr);

    const HWND appearance = options.page(0);
    EXPECT_EQ(OptionsSheet::text(appearance, IDC_CAPTION), "Before");
    OptionsSheet::click(appearance, IDC_SCALE_EXACT_FIT);
    OptionsSheet::click(appearance, IDC_BORDER_NO_TASKBAR);
    SetDlgItemTextA(appearance, IDC_CAPTION, "After");

    const HWND size = options.page(1);
    OptionsSheet::choose(size, IDC_POSITION, 9);
    SetDlgItemTextA(size, IDC_POSITION_X, "150");
    SetDlgItemTextA(size, IDC_POSITION_Y, "40");
    OptionsSheet::choose(size, IDC_POSITION, 10);
    EXPECT_EQ(OptionsSheet::text(size, IDC_POSITION_X), "50");
    EXPECT_EQ(OptionsSheet::text(size, IDC_POSITION_X_UNIT), "%");

    const HWND behaviour = options.page(3);
    OptionsSheet::click(behaviour, IDC_ALWAYS_ON_TOP);
    options.press(IDOK);

    const auto stored = storedOptions();
    ASSERT_TRUE(stored.has_value());
    const ProjectSettings settings = readSettings(*stored, folder_);
    EXPECT_EQ(settings.scaleMode, 0x100u);
    EXPECT_EQ(settings.borderStyle, 0x10100u);
    EXPECT_EQ(settings.caption.str(), "After");
    EXPECT_EQ(settings.pos, 10u);
    EXPECT_EQ(settings.customX, 50);
    EXPECT_EQ(settings.customY, 40);
    EXPECT_TRUE(settings.behaviourFlags & 0x100);
    EXPECT_TRUE(waitFor([&] { return (GetWindowLongA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }));
    char title[64] = "";
    GetWindowTextA(window_, title, sizeof title);
    EXPECT_STREQ(title, "After");
}

TEST_F(Interaction, CancelledOptionsWriteNothingAndAcceptingUnchangedStillWrites)
{
    auto player = start("scaleMode = 1\n");
    ASSERT_NE(window_, nullptr);
    const auto original = storedOptions();
    ASSERT_TRUE(original.has_value()) << "start-up stores the packaged record";
    {
        OptionsSheet options(*player, window_);
        ASSERT_NE(options.sheet(), nullptr);
        OptionsSheet::click(options.page(0), IDC_SCALE_NO_BORDER);
        options.press(IDCANCEL);
    }
    EXPECT_EQ(storedOptions(), original);

    profile().writeBinary(settingsSection, optionsValue, {});
    {
        OptionsSheet options(*player, window_);
        ASSERT_NE(options.sheet(), nullptr);
        options.page(2);
        options.press(IDOK);
    }
    const auto rewritten = storedOptions();
    ASSERT_TRUE(rewritten.has_value());
    EXPECT_FALSE(rewritten->empty());
    EXPECT_EQ(readSettings(*rewritten, folder_), readSettings(*original, folder_));
}

TEST_F(Interaction, NoBorderStoresTwo)
{
    auto player = start("scaleMode = 0x100\n");
    ASSERT_NE(window_, nullptr);
    OptionsSheet options(*player, window_);
    ASSERT_NE(options.sheet(), nullptr);
    OptionsSheet::click(options.page(0), IDC_SCALE_NO_BORDER);
    options.press(IDOK);
    EXPECT_EQ(readSettings(storedOptions().value_or(std::vector<std::uint8_t>{}), folder_).scaleMode, 2u);
}

// ---------------------------------------------------------------- About box

// A 2 x 2 picture, 24 bits per pixel, as a BMP file.
void writeBitmap(const std::filesystem::path& file)
{
    const std::uint8_t bytes[] = {
        'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,              // file header: size 70, pixels at 54
        40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 24, 0,           // info header: 2 x 2, 1 plane, 24 bits
        0, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
        0, 0, 255, 0, 255, 0, 0, 0,                                  // rows padded to 4 bytes
        255, 0, 0, 255, 255, 255, 0, 0};
    writeFile(file, {std::begin(bytes), std::end(bytes)});
}

TEST_F(Interaction, AboutBoxShowsTheIdentityAndOpensItsLinkThroughTheShell)
{
    const auto marker = folder_ / "opened.txt";
    const auto script = folder_ / "link.bat";
    std::ofstream(script) << "@echo opened> \"" << marker.string() << "\"\r\n";
    std::filesystem::create_directories(folder_ / "project");
    writeBitmap(folder_ / "project" / "about.bmp");
    auto player = start("productName = Acme Viewer\nversion = 2.5\ncompanyName = Acme\nlegalNotice = (c) Acme\n"
                        "linkCaption1 = Open the marker\nlinkTarget1 = \"" + script.string() + "\"\n"
                        "linkCaption2 = Write to us\nlinkTarget2 = info@acme.example\n",
                        "aboutPicture = about.bmp\n");
    ASSERT_NE(window_, nullptr);
    PostMessageA(window_, WM_SYSCOMMAND, ID_PLAYER_ABOUT, 0);
    HWND about = nullptr;
    ASSERT_TRUE(waitFor([&] { return (about = findProcessWindow(player->id(), "#32770")) != nullptr; }));
    EXPECT_EQ(OptionsSheet::text(about, IDC_ABOUT_PRODUCT), "Acme Viewer");
    EXPECT_EQ(OptionsSheet::text(about, IDC_ABOUT_VERSION), "Version 2.5");
    EXPECT_EQ(OptionsSheet::text(about, IDC_ABOUT_COMPANY), "Acme");
    EXPECT_EQ(OptionsSheet::text(about, IDC_ABOUT_LEGAL), "(c) Acme");
    EXPECT_EQ(OptionsSheet::text(about, IDC_ABOUT_LINK2), "Write to us");
    EXPECT_NE(SendMessageA(GetDlgItem(about, IDC_ABOUT_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0), 0)
        << "the packaged default picture";

    bringToFront(about);
    click(centreOf(GetDlgItem(about, IDC_ABOUT_LINK1)));
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(marker); }, std::chrono::seconds(20)));

    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(about); }));
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
}

} // namespace
} // namespace lumbra::test
