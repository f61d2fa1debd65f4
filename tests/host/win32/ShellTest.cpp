// "Shell" on the system: programs started and their main windows, documents
// opened through the shell, and the special folders, each checked against
// the system's own answer for the folder's published CSIDL number.
#include <gtest/gtest.h>

#include <shlobj.h>

#include "tests/host/win32/WindowTestSupport.h"

namespace lumbra::test {
namespace {

using namespace std::chrono_literals;

std::string narrow(const std::wstring& text)
{
    std::string out;
    for (const wchar_t c : text)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// A script string literal of a path.
std::string literal(const std::wstring& path)
{
    std::string out = "'";
    for (const wchar_t c : path) {
        if (c == L'\\' || c == L'\'')
            out += '\\';
        out += static_cast<char>(c);
    }
    return out + "'";
}

class Shell : public ::testing::Test {
protected:
    WindowScript script;
};

TEST_F(Shell, PropertiesAreNothing)
{
    EXPECT_EQ(script.value("Shell.toString()"), "[object Shell]");
    EXPECT_EQ(script.value("Shell.anything"), "undefined");
    EXPECT_EQ(script.value("Shell.run = 5; Shell.temp = 1; typeof Shell.temp"), "undefined");
    EXPECT_EQ(script.value("Shell.run()"), "null");
    EXPECT_EQ(script.value("Shell.run(5)"), "null");
    EXPECT_EQ(script.value("Shell.open() + ',' + Shell.print(1) + ',' + Shell.explore(null)"),
              "undefined,undefined,undefined");
    EXPECT_EQ(script.value("Shell.getSpecialFolder()"), "null");
    EXPECT_EQ(script.value("Shell.getSpecialFolder(5)"), "null");
}

TEST_F(Shell, SpecialFolders)
{
    const struct {
        const char* name;
        int csidl;
    } shellFolders[] = {
        {"appdata", CSIDL_APPDATA}, {"cookies", CSIDL_COOKIES}, {"desktop", CSIDL_DESKTOPDIRECTORY},
        {"desktop all", CSIDL_COMMON_DESKTOPDIRECTORY}, {"favorites", CSIDL_FAVORITES}, {"fonts", CSIDL_FONTS},
        {"history", CSIDL_HISTORY}, {"internet cache", CSIDL_INTERNET_CACHE}, {"my documents", CSIDL_PERSONAL},
        {"nethood", CSIDL_NETHOOD}, {"printers", CSIDL_PRINTHOOD}, {"programs", CSIDL_PROGRAMS},
        {"programs all", CSIDL_COMMON_PROGRAMS}, {"recent", CSIDL_RECENT}, {"sendto", CSIDL_SENDTO},
        {"startmenu", CSIDL_STARTMENU}, {"startmenu all", CSIDL_COMMON_STARTMENU}, {"startup", CSIDL_STARTUP},
        {"startup all", CSIDL_COMMON_STARTUP}, {"templates", CSIDL_TEMPLATES},
    };
    for (const auto& folder : shellFolders) {
        wchar_t path[MAX_PATH] = L"";
        const bool exists = SUCCEEDED(SHGetFolderPathW(nullptr, folder.csidl, nullptr, SHGFP_TYPE_CURRENT, path));
        EXPECT_EQ(script.value(std::string("Shell.getSpecialFolder('") + folder.name + "')"),
                  exists ? narrow(path) : "null")
            << folder.name;
    }

    wchar_t windows[MAX_PATH], system[MAX_PATH], temp[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(script.value("Shell.getSpecialFolder('WINDOWS')"), narrow(windows));
    EXPECT_EQ(script.value("Shell.getSpecialFolder('System')"), narrow(system));
    ASSERT_GT(GetEnvironmentVariableW(L"TMP", temp, MAX_PATH), 0u);
    EXPECT_EQ(script.value("Shell.getSpecialFolder('Temp')"), narrow(temp));
    EXPECT_EQ(script.value("Shell.getSpecialFolder('recycle bin')"), "null");
    EXPECT_EQ(script.value("Shell.getSpecialFolder('trash')"), "null");

    // TMP first, then TEMP, then the Windows folder; ProgramFiles, then the registry.
    const std::wstring savedTmp = temp;
    wchar_t programFiles[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"ProgramFiles", programFiles, MAX_PATH);
    SetEnvironmentVariableW(L"TMP", nullptr);
    SetEnvironmentVariableW(L"TEMP", L"C:\\other temp");
    EXPECT_EQ(script.value("Shell.getSpecialFolder('temp')"), "C:\\other temp");
    SetEnvironmentVariableW(L"TEMP", nullptr);
    EXPECT_EQ(script.value("Shell.getSpecialFolder('temp')"), narrow(windows));
    SetEnvironmentVariableW(L"TMP", savedTmp.c_str());
    SetEnvironmentVariableW(L"TEMP", savedTmp.c_str());
    SetEnvironmentVariableW(L"ProgramFiles", L"D:\\Programs");
    EXPECT_EQ(script.value("Shell.getSpecialFolder('Program Files')"), "D:\\Programs");
    SetEnvironmentVariableW(L"ProgramFiles", nullptr);
    EXPECT_NE(script.value("Shell.getSpecialFolder('program files')"), "null");
    SetEnvironmentVariableW(L"ProgramFiles", programFiles);
}

TEST_F(Shell, RunGivesTheNewProgramsMainWindow)
{
    const std::wstring exe = programFolder() + L"foreign_window.exe";
    const std::string command = narrow(L"\"" + exe + L"\" LumbraRunClass \"Started by Shell\"");
    EXPECT_EQ(script.value("var w = Shell.run(" + literal(std::wstring(command.begin(), command.end())) +
                           ", 1, 60, 70, 300, 200); w.caption"),
              "Started by Shell");
    const HWND started = FindWindowW(L"LumbraRunClass", L"Started by Shell");
    ASSERT_NE(started, nullptr);
    EXPECT_EQ(script.value("w.handle") , std::to_string(reinterpret_cast<std::uintptr_t>(started)));
    script.value("w.move(200, 210, 400, 330)");
    RECT r{};
    GetWindowRect(started, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.bottom, 330);
    script.value("w.close()");
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(started); }, 10s));
}

TEST_F(Shell, RunOfAWineProgram)
{
    EXPECT_EQ(script.value("var n = Shell.run('notepad.exe'); n.className"), "Notepad");
    script.value("n.move(10, 20, 410, 320)");
    EXPECT_EQ(script.value("[n.left, n.top, n.width, n.height].join()"), "10,20,400,300");
    const HWND notepad = FindWindowW(L"Notepad", nullptr);
    script.value("n.close()");
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(notepad); }, 10s));
}

TEST_F(Shell, RunThatFails)
{
    EXPECT_EQ(script.value("Shell.run('C:\\\\no\\\\such\\\\program.exe')"), "null");
    EXPECT_FALSE(script.errorText().empty());
    EXPECT_EQ(script.errorText().find('\n'), std::string::npos);
}

TEST_F(Shell, OpenThroughTheShell)
{
    const std::wstring folder = programFolder();
    EXPECT_EQ(script.value("Shell.open('foreign_window.exe', " + literal(folder) + ", 'LumbraOpenClass Opened')"),
              "undefined");
    ASSERT_TRUE(pumpUntil([] { return FindWindowW(L"LumbraOpenClass", L"Opened") != nullptr; }, 10s));
    PostMessageW(FindWindowW(L"LumbraOpenClass", L"Opened"), WM_CLOSE, 0, 0);
    EXPECT_TRUE(pumpUntil([] { return FindWindowW(L"LumbraOpenClass", L"Opened") == nullptr; }, 10s));
}

} // namespace
} // namespace lumbra::test
