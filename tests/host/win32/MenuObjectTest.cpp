// "Menu" objects on real system menus: a fake player whose main window is a
// window of the test that does what the player's main window does for
// script menus (item updates before a pop-up shows, item commands, the
// accelerators in the message loop). Pop-ups are driven with real key
// presses, sent when the menu loop waits for input.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/win32/MenuClass.h"
#include "script/runtime/Collector.h"
#include "tests/host/win32/WindowTestSupport.h"

namespace lumbra::test {
namespace {

void pressKey(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    SendInput(1, &input, sizeof input);
}

// Presses the keys in order and releases them in reverse order.
void pressKeys(const std::vector<WORD>& keys)
{
    for (WORD key : keys)
        pressKey(key, false);
    for (auto key = keys.rbegin(); key != keys.rend(); ++key)
        pressKey(*key, true);
}

// What the main window saw of a pop-up while it was open.
struct ShownItem {
    UINT id;
    UINT state;
    std::string text;
};

class MenuScript : public ::testing::Test {
protected:
    void SetUp() override
    {
        player.mainWindowHandle = main.hwnd();
        SetWindowSubclass(main.hwnd(), route, 0, reinterpret_cast<DWORD_PTR>(this));
        SetForegroundWindow(main.hwnd());
        orvet::HostClasses classes;
        classes.host = &player;
        classes.menu = host::registerMenuClass;
        script = std::make_unique<ScriptHost>(classes);
        ASSERT_NE(player.scriptCommands, nullptr) << "the class serves the script commands";
        value("var trail = []; function note(text) { trail.push(text); }");
    }
    void TearDown() override { RemoveWindowSubclass(main.hwnd(), route, 0); }

    std::string value(const std::string& program) { return script->value(program); }
    std::string trail() { return value("trail.join(',')"); }

    // Keys pressed one after the other when the next menu loop first waits
    // for input. A menu that never gets them is closed after a while, so a
    // failure cannot hang the test.
    void whenShown(std::vector<WORD> keys)
    {
        pending = std::move(keys);
        SetTimer(main.hwnd(), kWatchdog, 5000, closeMenu);
    }
    static void CALLBACK closeMenu(HWND hwnd, UINT, UINT_PTR id, DWORD)
    {
        KillTimer(hwnd, id);
        EndMenu();
    }

    // The player's message loop: script accelerators before dispatching.
    void pumpWithAccelerators(std::chrono::milliseconds time)
    {
        const auto end = std::chrono::steady_clock::now() + time;
        while (std::chrono::steady_clock::now() < end) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (player.scriptCommands && msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST &&
                    player.scriptCommands->translateAccelerator(msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(10);
        }
    }

    static LRESULT CALLBACK route(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self)
    {
        auto& test = *reinterpret_cast<MenuScript*>(self);
        ScriptCommands* commands = test.player.scriptCommands;
        switch (message) {
        case WM_INITMENUPOPUP: {
            const auto menu = reinterpret_cast<HMENU>(wParam);
            test.popups.push_back(menu);
            for (int i = 0; commands && i < GetMenuItemCount(menu); ++i)
                if (const UINT id = GetMenuItemID(menu, i); id >= 47000 && id <= 56999)
                    commands->onUpdateState(menu, id);
            return 0;
        }
        case WM_ENTERIDLE:
            if (wParam == MSGF_MENU && !test.popups.empty()) {
                const HMENU menu = test.popups.back();
                test.shown.clear();
                for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                    char text[64] = "";
                    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
                    test.shown.push_back({GetMenuItemID(menu, i), GetMenuState(menu, i, MF_BYPOSITION), text});
                }
                for (WORD key : std::exchange(test.pending, {}))
                    pressKeys({key});
            }
            return 0;
        case WM_EXITMENULOOP:
            KillTimer(hwnd, kWatchdog);
            break;
        case WM_COMMAND:
            if (commands && commands->onCommand(LOWORD(wParam)))
                return 0;
            break;
        }
        return DefSubclassProc(hwnd, message, wParam, lParam);
    }

    FakePlayerServices player;
    TestWindow main{L"Main window", nullptr, {200, 200, 600, 500}};
    std::unique_ptr<ScriptHost> script;
    static constexpr UINT_PTR kWatchdog = 77;
    std::vector<WORD> pending;
    std::vector<HMENU> popups;
    std::vector<ShownItem> shown;
};

TEST_F(MenuScript, ShowReturnsTheChosenItemsNameOrNull)
{
    value("var m = new Menu(); m.createPopupMenu(); m.appendItem('first', 'First'); m.appendItem();"
          "m.appendItem('second', 'Second');");
    whenShown({VK_DOWN, VK_DOWN, VK_RETURN});
    EXPECT_EQ(value("m.show(250, 250)"), "second") << "the separator is passed over";
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, "First");
    EXPECT_NE(shown[1].state & MF_SEPARATOR, 0u);

    whenShown({VK_ESCAPE});
    EXPECT_EQ(value("m.show()"), "null") << "dismissed";

    value("var bare = new Menu(); bare.createPopupMenu(); bare.appendItem(1); bare.appendItem(null);");
    whenShown({VK_DOWN, VK_RETURN, VK_ESCAPE});
    EXPECT_EQ(value("bare.show(250, 250)"), "null") << "a separator-only menu";
    EXPECT_EQ(value("new Menu().show()"), "null") << "no menu";
}

// Identifiers worked out by hand: "a" hashes to 97, "ab" and "open" both to
// 82 modulo 191, so the second of them steps by 191.
TEST_F(MenuScript, IdentifiersFollowTheNameHashAndOneNameReachesOnCommandTwice)
{
    value("Menu.onCommand = function (name) { note(name + (this == Menu)); };"
          "var m = Menu(); m.createPopupMenu();"
          "m.appendItem('a', 'A'); m.appendItem('open', 'Open'); m.appendItem('ab', 'AB'); m.appendItem('open', 'Again');");
    whenShown({VK_ESCAPE});
    value("m.show(250, 250)");
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_EQ(shown[0].id, 47097u);
    EXPECT_EQ(shown[1].id, 47082u);
    EXPECT_EQ(shown[2].id, 47082u + 191);
    EXPECT_EQ(shown[3].id, 47082u + 382);
    SendMessageW(main.hwnd(), WM_COMMAND, shown[1].id, 0);
    SendMessageW(main.hwnd(), WM_COMMAND, shown[3].id, 0);
    SendMessageW(main.hwnd(), WM_COMMAND, 47001, 0); // no item
    EXPECT_EQ(trail(), "opentrue,opentrue");
    EXPECT_FALSE(player.scriptCommands->onCommand(47001));

    value("m.removeItem(1)");
    EXPECT_FALSE(player.scriptCommands->onCommand(shown[1].id)) << "a removed item's identifier is free again";
    value("m.appendItem('ab', 'AB again')");
    whenShown({VK_ESCAPE});
    value("m.show(250, 250)");
    EXPECT_EQ(shown.back().id, 47082u);
}

TEST_F(MenuScript, UpdateHandlerRunsBeforeThePopupShows)
{
    value("Menu.onUpdateItem = function (name, item) {"
          "  note(name);"
          "  if (name == 'cut') item.enable = false;"
          "  if (name == 'bold') item.check = 1;"
          "  if (name == 'paste') item.caption = 'Paste here';"
          "  if (name == 'undo') item.caption = 5;"
          "};"
          "var m = new Menu(); m.createPopupMenu(); m.appendItem('cut', 'Cut'); m.appendItem('bold', 'Bold');"
          "m.appendItem('paste', 'Paste'); m.appendItem('undo', 'Undo');");
    whenShown({VK_ESCAPE});
    value("m.show(250, 250)");
    EXPECT_EQ(trail(), "cut,bold,paste,undo");
    ASSERT_EQ(shown.size(), 4u);
    EXPECT_NE(shown[0].state & MF_GRAYED, 0u) << "disabled before it showed";
    EXPECT_NE(shown[1].state & MF_CHECKED, 0u);
    EXPECT_EQ(shown[2].text, "Paste here");
    EXPECT_EQ(shown[3].text, "Undo") << "a caption that is no String is ignored";
    EXPECT_EQ(shown[3].state & (MF_GRAYED | MF_CHECKED), 0u);
}

TEST_F(MenuScript, CaptionAcceleratorSendsTheCommand)
{
    value("Menu.onCommand = function (name) { note(name); };"
          "var m = new Menu(); m.createPopupMenu(); m.appendItem('open', 'Open\\t CTRL+O ');"
          "m.appendItem('none', 'None\\t'); m.appendItem('save', 'Save\\tctrl+shift+s'); m.enableAccel = true;");
    SetForegroundWindow(main.hwnd());
    pressKeys({VK_CONTROL, 'O'});
    pressKeys({'O'});
    pressKeys({VK_CONTROL, VK_SHIFT, 'S'});
    pumpWithAccelerators(std::chrono::milliseconds(500));
    EXPECT_EQ(trail(), "open,save");

    value("m.enableAccel = false;");
    pressKeys({VK_CONTROL, 'O'});
    pumpWithAccelerators(std::chrono::milliseconds(300));
    EXPECT_EQ(trail(), "open,save") << "the table is gone";
}

TEST_F(MenuScript, ThrowingHandlersLeaveAWarningAndTheMenuWorks)
{
    value("Menu.onUpdateItem = function () { throw 'update failed'; };"
          "Menu.onCommand = function () { undefinedFunction(); };"
          "var m = new Menu(); m.createPopupMenu(); m.appendItem('x', 'X');");
    whenShown({VK_DOWN, VK_RETURN});
    EXPECT_EQ(value("m.show(250, 250)"), "x");
    EXPECT_TRUE(player.scriptCommands->onCommand(shown[0].id));
    ASSERT_GE(script->traced.size(), 2u);
    EXPECT_NE(script->traced[0].find("update failed"), std::string::npos) << script->traced[0];
}

TEST_F(MenuScript, HandlerThatDestroysTheShownMenu)
{
    value("Menu.onUpdateItem = function (name) { m.createPopupMenu(); m.appendItem('later', 'Later'); };"
          "var m = new Menu(); m.createPopupMenu(); m.appendItem('x', 'X');");
    whenShown({VK_DOWN, VK_RETURN, VK_ESCAPE});
    EXPECT_EQ(value("m.show(250, 250)"), "null") << "its item was forgotten with it";
    EXPECT_FALSE(IsMenu(popups[0])) << "destroyed once the loop ended";
    value("Menu.onUpdateItem = function (name) { delete m; };");
    whenShown({VK_DOWN, VK_RETURN, VK_ESCAPE});
    EXPECT_EQ(value("var shownMenu = m; shownMenu.show(250, 250)"), "null");
    EXPECT_FALSE(IsMenu(popups.back())) << "the object died while its menu showed";
}

TEST_F(MenuScript, SubMenusAreHandedOverBorrowedAndGivenBack)
{
    value("var bar = new Menu(); bar.createMenu(); var file = new Menu(); file.createPopupMenu();"
          "file.appendItem('open', 'Open');");
    EXPECT_EQ(value("bar.appendItem(file, 'File')"), "true");
    EXPECT_EQ(value("bar.appendItem(file, 'Again')"), "false") << "it belongs to the bar now";
    EXPECT_EQ(value("file.appendItem(bar, 'Loop')"), "false") << "a menu never goes into itself";
    EXPECT_EQ(value("var sub = bar.getSubMenu(0); sub.appendItem('save', 'Save')"), "true");
    EXPECT_EQ(value("bar.getSubMenu(5) === null"), "true");
    EXPECT_EQ(value("bar.getSubMenu('0') === null"), "true");
    EXPECT_EQ(value("bar.setMenu()"), "true");
    EXPECT_NE(GetMenu(main.hwnd()), nullptr);
    const HMENU barMenu = GetMenu(main.hwnd());
    const HMENU fileMenu = GetSubMenu(barMenu, 0);
    ASSERT_NE(fileMenu, nullptr);

    EXPECT_EQ(value("bar.removeItem(0)"), "true") << "detached, back with its object";
    value("delete sub; bar.createMenu();");
    EXPECT_EQ(GetMenu(main.hwnd()), nullptr) << "a released bar leaves the window first";
    EXPECT_FALSE(IsMenu(barMenu));
    EXPECT_TRUE(IsMenu(fileMenu)) << "the detached menu lives with its object";
    value("file = null;");
    orvet::collect(script->ctx());
    EXPECT_FALSE(IsMenu(fileMenu)) << "and dies with it";
}

// A 16 x 16 icon file: the directory, one entry, then a 32-bit colour
// bitmap (height doubled for the mask) of one colour and an empty mask.
std::vector<std::uint8_t> iconFile()
{
    std::vector<std::uint8_t> bytes;
    auto u16 = [&](unsigned v) { bytes.insert(bytes.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); };
    auto u32 = [&](unsigned v) { u16(v & 0xFFFF); u16(v >> 16); };
    const unsigned imageSize = 40 + 16 * 16 * 4 + 16 * 4;
    u16(0), u16(1), u16(1);                            // reserved, type icon, one image
    bytes.insert(bytes.end(), {16, 16, 0, 0}), u16(1), u16(32), u32(imageSize), u32(22);
    u32(40), u32(16), u32(32), u16(1), u16(32), u32(0), u32(0), u32(0), u32(0), u32(0), u32(0);
    for (int pixel = 0; pixel < 16 * 16; ++pixel)
        u32(0xFF2060C0);
    bytes.insert(bytes.end(), 16 * 4, 0);
    return bytes;
}

TEST_F(MenuScript, ItemIconsComeFromBesideTheProgram)
{
    // Without an archive appended to the program, files beside it are used.
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path folder = std::filesystem::path(temp) / "lumbra-menu-icons";
    std::filesystem::create_directories(folder / "icons");
    {
        const std::vector<std::uint8_t> icon = iconFile();
        std::ofstream(folder / "icons" / "open.ico", std::ios::binary)
            .write(reinterpret_cast<const char*>(icon.data()), std::streamsize(icon.size()));
    }
    std::ofstream(folder / "App.exe") << "MZ, no archive";
    player.program = (folder / "App.exe").string();
    player.folder = (folder / "work").string() + "\\";
    value("var m = new Menu(); m.createPopupMenu(); m.appendItem('open', 'Open', 'icons/open.ico');"
          "m.appendItem('none', 'None', 'icons/missing.ico');");
    whenShown({VK_ESCAPE});
    value("m.show(250, 250)");
    ASSERT_EQ(popups.size(), 1u);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_BITMAP;
    ASSERT_TRUE(GetMenuItemInfoW(popups[0], 0, TRUE, &item));
    EXPECT_NE(item.hbmpItem, nullptr) << "the icon shows";
    ASSERT_TRUE(GetMenuItemInfoW(popups[0], 1, TRUE, &item));
    EXPECT_EQ(item.hbmpItem, nullptr) << "a missing icon file leaves the item plain";
    EXPECT_EQ(shown.size(), 2u);
    std::filesystem::remove_all(folder);
}

TEST_F(MenuScript, MembersWithoutAMenuOrWithWrongArguments)
{
    EXPECT_EQ(value("Menu.toString() + new Menu()"), "[object Menu][object Menu]");
    EXPECT_EQ(value("var m = new Menu(); [m.setMenu(), m.appendItem('a', 'A'), m.insertItem(0), m.removeItem(0),"
                    "m.getSubMenu(0) === null, m.show() === null].join()"),
              "false,false,false,false,true,true");
    EXPECT_EQ(value("m.load('nothing here')"), "false");
    EXPECT_EQ(value("m.createPopupMenu()"), "true");
    EXPECT_EQ(value("[m.insertItem('x'), m.insertItem(-1), m.removeItem(3), m.removeItem('0'), m.insertItem(0),"
                    "m.insertItem(0, 'a', 'A', 7), m.appendItem({}, 'X')].join()"),
              "false,false,false,false,true,true,true");
    EXPECT_EQ(value("typeof Menu.onCommand + typeof m.enableAccel"), "undefinedundefined");
    value("Menu.onCommand = 5; m.onUpdateItem = function () {};");
    EXPECT_EQ(value("typeof Menu.onCommand + typeof Menu.onUpdateItem"), "undefinedfunction");
    EXPECT_EQ(value("typeof Menu.show() + typeof Menu.createPopupMenu()"), "undefinedundefined")
        << "the class object holds no menu and makes none";
}

TEST_F(MenuScript, NothingIsLeftWhenTheEngineGoes)
{
    value("var bar = new Menu(); bar.createMenu(); var p = new Menu(); p.createPopupMenu();"
          "p.appendItem('a', 'A\\tCTRL+A'); bar.appendItem(p, 'P'); bar.setMenu(); bar.enableAccel = true;"
          "var loose = new Menu(); loose.createPopupMenu(); loose.appendItem('b', 'B');");
    const HMENU barMenu = GetMenu(main.hwnd());
    ASSERT_NE(barMenu, nullptr);
    const HMENU popup = GetSubMenu(barMenu, 0);
    orvet::DestroyEngine(std::move(script->engine));
    EXPECT_EQ(GetMenu(main.hwnd()), nullptr);
    EXPECT_FALSE(IsMenu(barMenu));
    EXPECT_FALSE(IsMenu(popup));
    EXPECT_EQ(player.scriptCommands, nullptr);
}

} // namespace
} // namespace lumbra::test
