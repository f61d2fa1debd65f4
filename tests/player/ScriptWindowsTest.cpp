// Packaged players whose scripts reach into the player itself: the main and
// the movie's window as "Window" objects, the movie's right button taken
// from the player's context menu, the control chosen by the start-up
// script, and the nested message loop of "processMsg", in which the
// player's exit keys and accelerators still work. Observed from outside:
// trace files, the menu log, the dialogs that show, how the process ends.
#include "PlayerProcess.h"
#include "UserInput.h"

#include "control/movie/MovieDescription.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace lumbra::test {
namespace {

class ScriptWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = scratchFolder("ScriptWindows" +
                                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        project_ = folder_ / "project";
        temp_ = folder_ / "temp";
        std::filesystem::create_directories(project_);
        std::filesystem::create_directories(temp_);
        trace_ = folder_ / "trace.txt";
        log_ = folder_ / "messages.log";
        menuLog_ = folder_ / "menus.log";
    }

    // The start-up script, which first makes the trace file its output.
    void startupScript(const std::string& body)
    {
        std::ofstream(project_ / "Initialize.ovs") << "Application.traceToFile('" << trace_.generic_string()
                                                   << "');\n"
                                                   << body;
    }

    // A movie of `frames` frames; the last one stops and sends the commands.
    static std::vector<std::uint8_t> movieSending(int frames, const std::vector<std::string>& evals,
                                                  const std::string& last = "")
    {
        std::string text = "movie 200 100 rate 12\n";
        for (int i = 1; i < frames; ++i)
            text += "frame\n";
        text += "frame\n  actions { stop\n";
        for (const std::string& eval : evals)
            text += "    fscommand \"Orvet_Eval\" \"" + eval + "\"\n";
        if (!last.empty())
            text += "    fscommand \"" + last + "\"\n";
        return movie::buildMovie(text + "  }\n");
    }

    std::filesystem::path packaged(const std::string& package, const std::string& rest)
    {
        const auto exe = folder_ / "App.exe";
        packageProject(project_, package + "[scripts]\nInitialize = Initialize.ovs\n" + rest, exe);
        return exe;
    }

    std::unique_ptr<PlayerProcess> start(const std::filesystem::path& exe)
    {
        return std::make_unique<PlayerProcess>(exe, "",
                                               std::map<std::string, std::string>{
                                                   {"TMP", temp_.string()},
                                                   {"TEMP", temp_.string()},
                                                   {"LUMBRA_REPORT_LOG", log_.string()},
                                                   {"LUMBRA_MENU_LOG", menuLog_.string()},
                                               });
    }

    bool traced(const std::string& line) const
    {
        const std::vector<std::string> lines = readLines(trace_);
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    // A path as a script's string literal.
    static std::string literal(const std::filesystem::path& path) { return path.generic_string(); }

    std::filesystem::path folder_, project_, temp_, trace_, log_, menuLog_;
};

TEST_F(ScriptWindows, MainAndMovieWindowsAreOneWindowObjectEach)
{
    startupScript("var w = getMainWnd();\n"
                  "trace('main ' + w + ' ' + (w === getMainWnd()) + ' ' + w.className + ' ' + (w.handle != 0));\n"
                  "var f = FlashPlayer.window;\n"
                  "trace('movie ' + (f === FlashPlayer.window) + ' ' + f.className + ' ' +"
                  " (f.parent.handle == w.handle));\n"
                  "function asked() { trace('query close ' + (this === getMainWnd())); return true; }\n"
                  "w.onQueryClose = asked;\n");
    writeFile(project_ / "main.swf",
              movieSending(2, {"trace('cached ' + (getMainWnd() === $_LUMBRA_MAIN_WINDOW_) + ' ' +"
                               " (FlashPlayer.window === $_LUMBRA_FLASHPLAYER_WINDOW_))"},
                           "quit"));
    auto player = start(packaged(packageSection("Acme/Windows"), "[movies]\nmovie = main.swf\n"));
    EXPECT_EQ(player->waitForExit(), 0u);
    // "quit" closes through the main window's close message, which the
    // handler set at start-up answers.
    EXPECT_EQ(readLines(trace_), (std::vector<std::string>{
                                     "main [object Window] true LumbraMainFrame true",
                                     "movie true LumbraFlashHost true",
                                     "cached true true",
                                     "query close true",
                                 }));
    EXPECT_TRUE(readLines(log_).empty());
}

TEST_F(ScriptWindows, TheMoviesRightButtonGoesToTheScriptInsteadOfTheContextMenu)
{
    startupScript("var presses = 0;\n"
                  "function right() { presses++; trace('right ' + presses + ' ' +"
                  " (this.handle == FlashPlayer.window.handle)); }\n"
                  "FlashPlayer.onContextMenu = right;\n"
                  "trace('read back ' + FlashPlayer.onContextMenu);\n");
    auto player = start(packaged(packageSection("Acme/RightButton"), "[settings]\ncontextMenuFlags = 0x100\nrBtnClk = 1\n"));
    const HWND window = player->waitForMainWindow();
    ASSERT_NE(window, nullptr);
    bringToFront(window);
    click(centreOf(window), true);
    EXPECT_TRUE(waitFor([&] { return traced("right 1 true"); }));
    // Elsewhere, so that the second press is no double click.
    const POINT centre = centreOf(window);
    click({centre.x + 30, centre.y + 20}, true);
    EXPECT_TRUE(waitFor([&] { return traced("right 2 true"); }));
    // The player built its system menu, but never showed it as the context menu.
    const std::vector<std::string> menus = readLines(menuLog_);
    EXPECT_NE(std::find(menus.begin(), menus.end(), "[system menu]"), menus.end());
    EXPECT_EQ(std::find(menus.begin(), menus.end(), "[context menu]"), menus.end());
    EXPECT_EQ(readLines(trace_).front(), "read back undefined");
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
}

TEST_F(ScriptWindows, TheStartupScriptChoosesTheControl)
{
    // The package carries no control and none is installed: only the
    // script's choice lets the movie play.
    startupScript("function control(choice) { choice.value = '" + literal(builtControl()) + "'; return true; }\n"
                  "Application.onGetFlashPlayer = control;\n"
                  "trace('init ' + typeof FlashPlayer.totalFrames);\n");
    writeFile(project_ / "main.swf", movieSending(2, {"trace('playing ' + FlashPlayer.totalFrames)"}, "quit"));
    auto player = start(packaged("[package]\nidentity = Acme/Chooser\n", "[movies]\nmovie = main.swf\n"));
    EXPECT_EQ(player->waitForExit(), 0u);
    EXPECT_EQ(readLines(trace_), (std::vector<std::string>{"init undefined", "playing 2"}));
    EXPECT_TRUE(readLines(log_).empty());
}

TEST_F(ScriptWindows, AControlTheScriptChoosesButCannotLoadEndsTheStart)
{
    startupScript("function control(choice) { choice.value = '" + literal(folder_ / "none.ocx") +
                  "'; return true; }\n"
                  "Application.onGetFlashPlayer = control;\n"
                  "trace('init ' + typeof FlashPlayer.totalFrames);\n");
    auto player = start(packaged(packageSection("Acme/BadChoice"), ""));
    EXPECT_EQ(player->waitForExit(), 0u);
    // The packaged control worked while the start-up script ran.
    EXPECT_EQ(readLines(trace_), std::vector<std::string>{"init number"});
    EXPECT_EQ(readLines(log_), std::vector<std::string>{"Failed to load the Macromedia Flash Player!"});
    EXPECT_TRUE(std::filesystem::is_empty(temp_));
}

TEST_F(ScriptWindows, ProcessMsgKeepsThePlayersKeysAndAccelerators)
{
    // The movie comes from the start-up script, so the list is empty and
    // Ctrl+O (the player's accelerator) opens a movie; Esc is the exit key.
    writeFile(folder_ / "loop.swf",
              movieSending(2, {"trace('looping'); while (processMsg()) {} trace('loop ended')"}));
    startupScript("function movie(choice) { choice.value = getAppDir() + 'loop.swf'; return true; }\n"
                  "Application.onGetMovie = movie;\n");
    auto player = start(packaged(packageSection("Acme/Loop"), "[settings]\nexitKeys = 0x1\n"));
    const HWND window = player->waitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(waitFor([&] { return traced("looping"); }));
    bringToFront(window);
    pressKeys({VK_CONTROL, 'O'});
    HWND dialog = nullptr;
    EXPECT_TRUE(waitFor([&] { return (dialog = findProcessWindow(player->id(), "#32770", "Open Movie")) != nullptr; }));
    if (dialog)
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(waitFor([&] { return !IsWindow(dialog); }));
    bringToFront(window);
    pressKeys({VK_ESCAPE});
    EXPECT_EQ(player->waitForExit(), 0u);
    EXPECT_EQ(readLines(trace_), (std::vector<std::string>{"looping", "loop ended"}));
}

} // namespace
} // namespace lumbra::test
