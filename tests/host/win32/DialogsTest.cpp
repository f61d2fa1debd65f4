// Dialogs under Wine: a script opens each dialog, the test finds it, works
// its controls by id and checks what the script received.
#include "DialogWatcher.h"

#include "../FakePlayerServices.h"
#include "../ScriptHost.h"
#include "host/win32/Dialogs.h"
#include "tests/package/TempFolder.h"

#include <cderr.h>
#include <dlgs.h>

namespace lumbra {
namespace {

using test::DialogWatcher;
using test::pressButton;
using test::windowText;

class DialogsTest : public ::testing::Test {
protected:
    DialogsTest()
    {
        CoInitialize(nullptr);
        owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
        player.mainWindowHandle = owner;
    }
    ~DialogsTest() override
    {
        DestroyWindow(owner);
        CoUninitialize();
    }

    // Script text of a path.
    static std::string quoted(const std::string& text)
    {
        std::string literal = "\"";
        for (char c : text)
            literal += c == '\\' ? std::string("\\\\") : std::string(1, c);
        return literal + "\"";
    }

    static orvet::HostClasses classes(test::FakePlayerServices& player)
    {
        orvet::HostClasses classes;
        classes.host = &player;
        classes.dialogs = registerDialogsClass;
        return classes;
    }

    HWND owner = nullptr;
    test::FakePlayerServices player;
    test::ScriptHost host{classes(player)};
    test::TempFolder folder;
};

TEST_F(DialogsTest, MessageBoxWithOnlyATextSaysLumbraWithAnOkButton)
{
    std::string caption, button;
    DialogWatcher watcher(owner, [&](HWND dialog) {
        caption = windowText(dialog);
        button = windowText(GetDlgItem(dialog, IDOK));
        pressButton(dialog, IDOK);
    });
    EXPECT_EQ(host.value("Dialogs.msgBox(\"Hello\")"), "1");
    EXPECT_TRUE(watcher.found());
    EXPECT_EQ(caption, "Lumbra");
    EXPECT_EQ(button, "OK");
}

TEST_F(DialogsTest, MessageBoxCaptionAndTypeAreTheScripts)
{
    std::string caption, text;
    DialogWatcher watcher(owner, [&](HWND dialog) {
        caption = windowText(dialog);
        text = test::findChildWithText(dialog, "42") ? "42" : "";
        pressButton(dialog, IDNO);
    });
    EXPECT_EQ(host.value("Dialogs.msgBox(42, 7, 4)"), "7"); // MB_YESNO, answered No
    EXPECT_EQ(caption, "7");
    EXPECT_EQ(text, "42");
}

TEST_F(DialogsTest, FileOpenGivesTheTypedPath)
{
    const std::string path = (folder / "chosen.txt").string();
    test::writeFile(path, std::string("x"));
    DialogWatcher watcher(owner, [&](HWND dialog) {
        SetDlgItemTextA(dialog, cmb13, path.c_str());
        pressButton(dialog, IDOK);
    });
    EXPECT_EQ(host.value("Dialogs.fileOpen(\"Texts|*.txt|All|*.*\", \"txt\")"), path);
}

TEST_F(DialogsTest, FileOpenWithMultipleSelectionGivesFolderAndNames)
{
    test::writeFile(folder / "a.txt", std::string("a"));
    test::writeFile(folder / "b.txt", std::string("b"));
    DialogWatcher watcher(owner, [&](HWND dialog) {
        SetDlgItemTextA(dialog, cmb13, "\"a.txt\" \"b.txt\"");
        pressButton(dialog, IDOK);
    });
    SetCurrentDirectoryA(folder.path().string().c_str());
    host.value("var files = Dialogs.fileOpen(\"All|*.*\", \"\", \"\", true)");
    EXPECT_EQ(host.value("files.length"), "3");
    EXPECT_EQ(host.value("files[1] + \",\" + files[2]"), "a.txt,b.txt");
    EXPECT_EQ(host.value("files[0]"), folder.path().string());
}

TEST_F(DialogsTest, CancelledDialogsGiveNull)
{
    {
        DialogWatcher watcher(owner, [](HWND dialog) { pressButton(dialog, IDCANCEL); });
        EXPECT_EQ(host.value("Dialogs.fileOpen()"), "null");
        // The system's text for the dialog's code (0: cancelled) is left for the host.
        EXPECT_STRNE(host.ctx().errorBuffer, "");
    }
    {
        DialogWatcher watcher(owner, [](HWND dialog) { pressButton(dialog, IDCANCEL); });
        EXPECT_EQ(host.value("Dialogs.fileSave(\"All|*.*\", \"txt\", \"name\", 0x20)"), "null");
    }
    {
        DialogWatcher watcher(owner, [](HWND dialog) { pressButton(dialog, IDCANCEL); });
        EXPECT_EQ(host.value("Dialogs.browse(\"Pick a folder\")"), "null");
    }
}

TEST_F(DialogsTest, FileSaveAddsTheDefaultExtension)
{
    const std::string typed = (folder / "scores").string();
    DialogWatcher watcher(owner, [&](HWND dialog) {
        SetDlgItemTextA(dialog, cmb13, typed.c_str());
        pressButton(dialog, IDOK);
    });
    EXPECT_EQ(host.value("Dialogs.fileSave(\"Scores|*.ini\", \"ini\")"), typed + ".ini");
}

TEST_F(DialogsTest, BrowseStartsAtTheInitialFolderAndShowsItsPath)
{
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    bool statusShown = false;
    DialogWatcher watcher(owner, [&](HWND dialog) {
        statusShown = test::findChildWithText(dialog, windows) != nullptr;
        pressButton(dialog, IDOK);
    });
    EXPECT_EQ(host.value("Dialogs.browse(\"Pick\", " + quoted(windows) + ")"), windows);
    EXPECT_TRUE(statusShown);
}

TEST_F(DialogsTest, OtherMembers)
{
    EXPECT_EQ(host.value("Dialogs.toString()"), "[object Dialogs]");
    EXPECT_EQ(host.value("Dialogs.msgBox()"), "undefined");
    EXPECT_EQ(host.value("Dialogs.anything"), "undefined");
}

} // namespace
} // namespace lumbra
