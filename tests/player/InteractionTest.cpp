// Packaged players driven as a person would: real keys and mouse, then what
// happened observed from outside (the window closed or moved, the menus the
// player logged, the profile it wrote, the dialogs' controls).
#include "PlayerProcess.h"
#include "UserInput.h"
#include "VirtualDesktop.h"

#include "control/movie/MovieDescription.h"
#include "player/MenuLog.h"
#include "player/PlayerResourceIds.h"

#include "package/SettingsLoader.h"
#include "package/SettingsRecord.h"
#include "package/win32/RegistryProfile.h"
#include "win32/UniqueHandle.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <dlgs.h>
#include <prsht.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace lumbra::test {
namespace {

constexpr char kRegistryKey[] = "LumbraInteraction";
constexpr char kProgram[] = "Interact.exe";

// A value of Wine's settings for one program.
void setWineProgramValue(const std::string& program, const std::string& subkey, const char* name, const char* value)
{
    HKEY key;
    const std::string path = "Software\\Wine\\AppDefaults\\" + program + (subkey.empty() ? "" : "\\" + subkey);
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
}

// Under Xvfb no window manager runs, but Wine hands top-level windows to one
// and waits two seconds for it whenever one hides; the players these tests
// package keep their windows to themselves.
void keepWindowsUnmanaged(const std::string& program)
{
    setWineProgramValue(program, "X11 Driver", "Managed", "N");
}

constexpr UINT kTrayCallback = WM_APP + 2003;

// Whether a window's thread is back at its messages (and not hung).
bool answers(HWND window)
{
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_BLOCK, 10000, nullptr) != 0;
}

// The lines of one "[heading]" section of the menu log.
std::vector<std::string> loggedMenu(const std::filesystem::path& log, const std::string& heading)
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

class Interaction : public ::testing::Test {
protected:
    void SetUp() override
    {
        name_ = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = scratchFolder("Interaction" + name_);
        std::filesystem::create_directories(folder_ / "temp");
        RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kRegistryKey).c_str());
    }

    // A player packaged with the given [settings] lines.
    std::filesystem::path package(const std::string& settings, const std::string& packageLines = "",
                                  const std::string& program = kProgram)
    {
        keepWindowsUnmanaged(program);
        const auto project = folder_ / "project";
        std::filesystem::create_directories(project);
        const auto exe = folder_ / program;
        packageProject(project,
                       packageSection(std::string(kRegistryKey) + "/" + name_) + packageLines + "[settings]\n" + settings,
                       exe);
        return exe;
    }

    std::map<std::string, std::string> environment() const
    {
        return {{"TMP", (folder_ / "temp").string()},
                {"LUMBRA_REPORT_LOG", (folder_ / "report.log").string()},
                {"LUMBRA_MENU_LOG", menuLog().string()}};
    }

    // A player packaged with the given [settings] lines, started.
    std::unique_ptr<PlayerProcess> start(const std::string& settings, const std::string& packageLines = "")
    {
        auto player = std::make_unique<PlayerProcess>(package(settings, packageLines), "", environment());
        window_ = player->waitForMainWindow();
        return player;
    }

    std::filesystem::path menuLog() const { return folder_ / "menus.log"; }

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

// A 200 x 100 movie with a button on (20,20)-(80,60), an ellipse centred on (50,40).
constexpr const char* kButtonMovie = R"m(
movie 200 100
shape idle rect 0 0 60 40 fill #ff0000
shape area ellipse 30 20 30 20
button go up idle over idle down idle hit area on press { set pressed "yes" }
frame
  place go depth 1 at 20 20 name "goButton"
  actions { stop }
)m";

// A point of the movie on the screen, wherever the window shows it.
POINT moviePoint(HWND window, int x, int y)
{
    RECT client;
    GetClientRect(window, &client);
    POINT point{x * client.right / 200, y * client.bottom / 100};
    ClientToScreen(window, &point);
    return point;
}

TEST_F(Interaction, LeftButtonDragsTheWindowWhereTheMovieDoesNotReact)
{
    std::filesystem::create_directories(folder_ / "project");
    writeFile(folder_ / "project" / "main.swf", movie::buildMovie(kButtonMovie));
    auto player = start("lBtnClk = 1\n", "[movies]\nmovie = main.swf\n");
    ASSERT_NE(window_, nullptr);
    bringToFront(window_);
    RECT before, after{};
    GetWindowRect(window_, &before);

    const POINT button = moviePoint(window_, 50, 40);
    dragMouse(button, {button.x + 60, button.y + 40});
    ASSERT_TRUE(answers(window_));
    GetWindowRect(window_, &after);
    EXPECT_EQ(after.left, before.left) << "the button took the mouse";

    const POINT blank = moviePoint(window_, 150, 80);
    dragMouse(blank, {blank.x + 60, blank.y + 40});
    EXPECT_TRUE(waitFor([&] {
        GetWindowRect(window_, &after);
        return after.left != before.left;
    }));
    EXPECT_EQ(after.left - before.left, 60);
    EXPECT_EQ(after.top - before.top, 40);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
}

TEST_F(Interaction, DragStartsOnlyInsideTheDragRegion)
{
    std::filesystem::create_directories(folder_ / "project");
    std::ofstream(folder_ / "project" / "init.ovs") << "Application.setDragRegion(0, 0, 40, 40);\n";
    auto player = start("lBtnClk = 1\n", "[scripts]\nInitialize = init.ovs\n");
    ASSERT_NE(window_, nullptr);
    bringToFront(window_);
    RECT before, after;
    GetWindowRect(window_, &before);
    const POINT outside = centreOf(window_);
    dragMouse(outside, {outside.x + 60, outside.y + 40});
    ASSERT_TRUE(answers(window_));
    GetWindowRect(window_, &after);
    EXPECT_EQ(after.left, before.left) << "a press outside the region never drags";

    POINT inside{20, 20};
    ClientToScreen(window_, &inside);
    dragMouse(inside, {inside.x + 60, inside.y + 40});
    EXPECT_TRUE(waitFor([&] {
        GetWindowRect(window_, &after);
        return after.left != before.left;
    }));
    EXPECT_EQ(after.left - before.left, 60);
    EXPECT_EQ(after.top - before.top, 40);
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

// The shared desktop has no notification area to see or click: this player
// runs on a virtual desktop of its own, whose taskbar shows the icon, and a
// person there is played by the test below in a process on that desktop.
TEST_F(Interaction, TrayIconShowsTheTitleAndItsDoubleClickHidesAndRestoresTheWindow)
{
    const VirtualDesktop desktop(
        "LumbraTray", package("behaviourFlags = 0x1001\ncontextMenuFlags = 0\ncaption = Tray Test\n"), environment());
    EXPECT_EQ(desktop.runTest("DISABLED_OnTheTrayDesktop.TrayIconOfTheWindowTitledTrayTest",
                              {{"LUMBRA_MENU_LOG", menuLog().string()}}),
              0u);
}

TEST(DISABLED_OnTheTrayDesktop, TrayIconOfTheWindowTitledTrayTest)
{
    const char* menuLog = std::getenv("LUMBRA_MENU_LOG");
    ASSERT_NE(menuLog, nullptr);
    HWND window = nullptr;
    ASSERT_TRUE(waitFor(
        [&] { return (window = FindWindowA("LumbraMainFrame", "Tray Test")) && IsWindowVisible(window); },
        std::chrono::seconds(30)));
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const win32::KernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, processId));
    std::vector<ShownTrayIcon> icons;
    ASSERT_TRUE(waitFor([&] { return (icons = shownTrayIcons()).size() == 1; }));
    EXPECT_EQ(icons[0].tip, "Tray Test");

    doubleClick(icons[0].centre);
    EXPECT_TRUE(waitFor([&] { return !IsWindowVisible(window); }));
    PostMessageA(window, kTrayCallback, 127, WM_LBUTTONDBLCLK); // not the player's icon: ignored
    doubleClick(icons[0].centre);
    EXPECT_TRUE(waitFor([&] { return IsWindowVisible(window) && !IsIconic(window); }));

    // The icon's own menu names the window; its "&Close" closes the player.
    click(icons[0].centre, true);
    ASSERT_TRUE(waitFor([&] { return !loggedMenu(menuLog, "tray menu").empty(); }));
    EXPECT_EQ(loggedMenu(menuLog, "tray menu"), (std::vector<std::string>{"Hide Tray Test", "-", "&Close"}));
    pressKeys({'C'});
    ASSERT_EQ(WaitForSingleObject(process.get(), 20000), WAIT_OBJECT_0);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(waitFor([] { return shownTrayIcons().empty(); }))
        << "the icon goes with the player";
}

// ---------------------------------------------------------------- help

// Whether a process has loaded a module of this name, as a process viewer sees it.
bool processHasModule(DWORD processId, const char* name)
{
    const win32::FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    if (!snapshot)
        return false;
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = Module32First(snapshot.get(), &module); more; more = Module32Next(snapshot.get(), &module))
        if (lstrcmpiA(module.szModule, name) == 0)
            return true;
    return false;
}

struct MessageSearch {
    std::string text;
    HWND found = nullptr;
    std::string shown;
};

BOOL CALLBACK matchMessage(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<MessageSearch*>(param);
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (!IsWindowVisible(window) || std::string(className) != "#32770")
        return TRUE;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char text[1024] = "";
        GetWindowTextA(child, text, sizeof text);
        if (std::string(text).find(search->text) != std::string::npos) {
            search->found = window;
            search->shown = text;
            return FALSE;
        }
    }
    return TRUE;
}

// A message box of any process whose text mentions `text`.
MessageSearch messageMentioning(const std::string& text)
{
    MessageSearch search{text, nullptr, {}};
    EnumWindows(matchMessage, reinterpret_cast<LPARAM>(&search));
    return search;
}

TEST_F(Interaction, HtmlHelpIsLoadedOnFirstUse)
{
    std::filesystem::create_directories(folder_ / "project");
    writeFile(folder_ / "project" / "guide.CHM", {'n', 'o', 't', ' ', 'h', 'e', 'l', 'p'});
    auto player = start("miscFlags = 0x1000\nhelpFile = guide.CHM\n");
    ASSERT_NE(window_, nullptr);
    EXPECT_FALSE(processHasModule(player->id(), "hhctrl.ocx"));
    bringToFront(window_);
    pressKeys({VK_F1}); // the window's help request
    EXPECT_TRUE(waitFor([&] { return processHasModule(player->id(), "hhctrl.ocx"); }));
    // The viewer refuses the damaged file in its own way; the player goes on.
    EXPECT_TRUE(answers(window_));
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
}

TEST_F(Interaction, WinHelpGetsTheExtractedHelpFile)
{
    std::filesystem::create_directories(folder_ / "project");
    writeFile(folder_ / "project" / "guide.hlp", {'n', 'o', 't', ' ', 'h', 'e', 'l', 'p'});
    auto player = start("miscFlags = 0x1000\nhelpFile = guide.hlp\n");
    ASSERT_NE(window_, nullptr);
    PostMessageA(window_, WM_SYSCOMMAND, ID_PLAYER_HELP, 0);
    // The system's help viewer, a process of its own, cannot read the file
    // and says so, naming the file the player extracted.
    MessageSearch message;
    EXPECT_TRUE(waitFor([&] { return (message = messageMentioning("guide.hlp")).found != nullptr; },
                        std::chrono::seconds(30)));
    EXPECT_NE(message.shown.find((folder_ / "temp").string()), std::string::npos) << message.shown;
    if (message.found)
        PostMessageA(message.found, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(answers(window_));
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
}

// ---------------------------------------------------------------- restrictions

// The screen saver switch as the machine holds it. Wine keeps a switch set
// without saving it in a volatile key that every process reads when it
// first asks; this process, having asked before, would keep its first
// answer.
bool screenSaverActive()
{
    char value[8] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, "Software\\Wine\\Temporary System Parameters\\Control Panel\\Desktop",
                     "ScreenSaveActive", RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return true; // never switched: the default
    return std::string(value) != "0";
}

HWND taskbar()
{
    return FindWindowA("Shell_TrayWnd", nullptr);
}

// The machine-wide restrictions act only on the Windows 95 family: Wine plays
// that system for the one program these tests package, and the tests watch
// the machine's state from outside.
class KioskPlayer : public Interaction {
protected:
    static constexpr char kKiosk[] = "Kiosk.exe";

    void SetUp() override
    {
        Interaction::SetUp();
        setWineProgramValue(kKiosk, "", "Version", "win98");
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
        ASSERT_NE(taskbar(), nullptr);
        ASSERT_EQ(machine(), kUnrestricted);
    }

    // Whatever a test did, the machine is left as it was.
    void TearDown() override
    {
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
        if (const HWND bar = taskbar())
            EnableWindow(bar, TRUE);
    }

    // Task switching blocked, screen saver off, taskbar disabled; a tray icon.
    std::unique_ptr<PlayerProcess> startKiosk()
    {
        auto player = std::make_unique<PlayerProcess>(
            package("interactionFlags = 0x101\nbehaviourFlags = 0x1000\n", "", kKiosk), "", environment());
        window_ = player->waitForMainWindow();
        return player;
    }

    // The machine's state as another program sees it: screen saver on,
    // taskbar enabled. (Wine gives no other process the task-switch block
    // to read back.)
    static std::string machine()
    {
        return std::string(screenSaverActive() ? "saver" : "no saver") +
               (IsWindowEnabled(taskbar()) ? " taskbar" : " no taskbar");
    }
    static constexpr char kRestricted[] = "no saver no taskbar";
    static constexpr char kUnrestricted[] = "saver taskbar";
};

TEST_F(KioskPlayer, UndoneWhenThePlayerCloses)
{
    auto player = startKiosk();
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(machine(), kRestricted);
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
    EXPECT_EQ(machine(), kUnrestricted);
}

// The session may end the process without another message once the player
// has answered the end-session message.
TEST_F(KioskPlayer, UndoneWhenTheSessionEnds)
{
    auto player = startKiosk();
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(machine(), kRestricted);
    EXPECT_TRUE(waitFor([&] { return trayIconShown(window_); }));
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(window_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000, &answer));
    EXPECT_TRUE(answer) << "the player lets the session end";
    EXPECT_EQ(machine(), kRestricted) << "only asked so far";
    ASSERT_TRUE(SendMessageTimeoutA(window_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000, &answer));
    EXPECT_EQ(machine(), kUnrestricted);
    EXPECT_FALSE(trayIconShown(window_));
}

// Start-up applies the restrictions after its last step that can fail: a
// start-up that ends early leaves the machine as it was.
TEST_F(KioskPlayer, NoneAfterAStartUpEndedByItsScript)
{
    std::filesystem::create_directories(folder_ / "project");
    std::ofstream(folder_ / "project" / "init.ovs") << "false;\n";
    PlayerProcess player(package("interactionFlags = 0x111\n", "[scripts]\nInitialize = init.ovs\n", kKiosk), "",
                         environment());
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_EQ(machine(), kUnrestricted);
}

TEST_F(KioskPlayer, ScreenSaverAloneLeavesTheOthersAsTheyWere)
{
    auto player = std::make_unique<PlayerProcess>(package("interactionFlags = 0x100\n", "", kKiosk), "",
                                                  environment());
    window_ = player->waitForMainWindow();
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(machine(), "no saver taskbar");
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
    EXPECT_EQ(machine(), kUnrestricted);
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

// The system's colour chooser and file-open dialog, as the page opens them.
HWND systemDialogOver(const PlayerProcess& player, HWND sheet)
{
    HWND dialog = nullptr;
    waitFor([&] { return (dialog = findProcessWindow(player.id(), "#32770", "", sheet)) != nullptr; });
    return dialog;
}

TEST_F(Interaction, ColourChooserAndHelpFileBrowserFeedTheProfile)
{
    const auto help = folder_ / "guide.chm";
    writeFile(help, {'h', 'e', 'l', 'p'});
    auto player = start("miscFlags = 0x1000\nbackgroundColor = 0x000000\n");
    ASSERT_NE(window_, nullptr);
    OptionsSheet options(*player, window_);
    ASSERT_NE(options.sheet(), nullptr);
    const HWND misc = options.page(4);

    // The swatch opens the chooser only while the custom colour is on.
    OptionsSheet::click(misc, IDC_CUSTOM_BACKGROUND);
    PostMessageA(misc, WM_COMMAND, MAKEWPARAM(IDC_BACKGROUND_SWATCH, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(misc, IDC_BACKGROUND_SWATCH)));
    const HWND chooser = systemDialogOver(*player, options.sheet());
    ASSERT_NE(chooser, nullptr);
    constexpr int kRedEdit = 706, kGreenEdit = 707, kBlueEdit = 708; // the chooser's own control ids
    SetDlgItemTextA(chooser, kRedEdit, "18");
    SetDlgItemTextA(chooser, kGreenEdit, "52");
    SetDlgItemTextA(chooser, kBlueEdit, "86");
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(chooser); }));

    PostMessageA(misc, WM_COMMAND, MAKEWPARAM(IDC_HELP_BROWSE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(misc, IDC_HELP_BROWSE)));
    const HWND open = systemDialogOver(*player, options.sheet());
    ASSERT_NE(open, nullptr);
    // The file name box: a combo box in the explorer-style dialog, an edit box in the old one.
    const HWND name = GetDlgItem(open, cmb13) ? GetDlgItem(open, cmb13) : GetDlgItem(open, edt1);
    SetWindowTextA(name, help.string().c_str());
    PostMessageA(open, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(open); }));
    EXPECT_EQ(OptionsSheet::text(misc, IDC_HELP_FILE), help.string());
    options.press(IDOK);

    const ProjectSettings settings = readSettings(storedOptions().value_or(std::vector<std::uint8_t>{}), folder_);
    EXPECT_EQ(settings.miscFlags, 0x1001u);
    EXPECT_EQ(settings.backgroundColor, 0x563412u) << "0x00BBGGRR";
    EXPECT_EQ(std::filesystem::path(settings.helpFile.str()).filename(), "guide.chm");
    EXPECT_EQ(readFile(settings.helpFile.str()), readFile(help)) << "the chosen file travels in the record";
}

TEST_F(Interaction, CancelledColourChooserKeepsTheColour)
{
    auto player = start("miscFlags = 0x1\nbackgroundColor = 0x112233\n");
    ASSERT_NE(window_, nullptr);
    OptionsSheet options(*player, window_);
    ASSERT_NE(options.sheet(), nullptr);
    const HWND misc = options.page(4);
    PostMessageA(misc, WM_COMMAND, MAKEWPARAM(IDC_BACKGROUND_SWATCH, STN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(misc, IDC_BACKGROUND_SWATCH)));
    const HWND chooser = systemDialogOver(*player, options.sheet());
    ASSERT_NE(chooser, nullptr);
    SetDlgItemTextA(chooser, 706, "255");
    PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(waitFor([&] { return !IsWindow(chooser); }));
    options.press(IDOK);
    EXPECT_EQ(readSettings(storedOptions().value_or(std::vector<std::uint8_t>{}), folder_).backgroundColor, 0x112233u);
}

TEST_F(Interaction, TrayIconFollowsTheOptions)
{
    auto player = start("caption = Tray Options\n");
    ASSERT_NE(window_, nullptr);
    EXPECT_FALSE(trayIconShown(window_));
    {
        OptionsSheet options(*player, window_);
        ASSERT_NE(options.sheet(), nullptr);
        const HWND behaviour = options.page(3);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(behaviour, IDC_APPLICATION_ICON))) << "only with the tray icon";
        OptionsSheet::click(behaviour, IDC_SYSTEM_TRAY);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(behaviour, IDC_APPLICATION_ICON)));
        options.press(IDOK);
    }
    EXPECT_TRUE(waitFor([&] { return trayIconShown(window_); }));
    {
        OptionsSheet options(*player, window_);
        ASSERT_NE(options.sheet(), nullptr);
        OptionsSheet::click(options.page(3), IDC_SYSTEM_TRAY);
        options.press(IDOK);
    }
    EXPECT_TRUE(waitFor([&] { return !trayIconShown(window_); }));
}

TEST_F(KioskPlayer, OptionsUndoThemAndApplyTheNewOnes)
{
    auto player = startKiosk();
    ASSERT_NE(window_, nullptr);
    EXPECT_EQ(machine(), kRestricted);
    OptionsSheet options(*player, window_);
    ASSERT_NE(options.sheet(), nullptr);
    OptionsSheet::click(options.page(2), IDC_NO_TASK_SWITCH);
    options.press(IDOK);
    // The sheet closes before the player has re-applied everything.
    EXPECT_TRUE(waitFor([] { return machine() == "no saver taskbar"; }))
        << "the taskbar free again, the screen saver still off: " << machine();
    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
    EXPECT_EQ(machine(), kUnrestricted);
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
