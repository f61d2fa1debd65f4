// Packaged applications whose scripts and movies drive the player, started
// as processes: what they did is read from the trace files their scripts
// write and from how the process ends.
#include "PlayerProcess.h"

#include "control/movie/MovieDescription.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <thread>

namespace lumbra::test {
namespace {

class PlayerScripts : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        project_ = folder_ / "project";
        temp_ = folder_ / "temp";
        std::filesystem::create_directories(project_);
        std::filesystem::create_directories(temp_);
        trace_ = folder_ / "trace.txt";
        log_ = folder_ / "messages.log";
    }

    // A script file of the project that first makes the trace file its output.
    void script(const std::string& name, const std::string& body)
    {
        std::ofstream(project_ / (name + ".ovs")) << "Application.traceToFile('" << trace_.generic_string()
                                                  << "');\n"
                                                  << body;
        scripts_ += name + " = " + name + ".ovs\n";
    }
    void plainScript(const std::string& name, const std::string& body)
    {
        std::ofstream(project_ / (name + ".ovs")) << body;
        scripts_ += name + " = " + name + ".ovs\n";
    }

    // A movie whose first frame sends the commands, in order.
    void movieSending(const std::vector<std::pair<std::string, std::string>>& commands)
    {
        std::string actions;
        for (const auto& [command, argument] : commands)
            actions += "fscommand \"" + command + "\" \"" + argument + "\"\n";
        writeFile(project_ / "main.swf", movie::buildMovie("movie 200 100\nframe\nactions {\n" + actions + "stop\n}\n"));
        movies_ = "[movies]\nmovie = main.swf\n";
    }

    std::filesystem::path packaged()
    {
        const auto exe = folder_ / "App.exe";
        packageProject(project_, packageSection("Acme/Scripts\\1.0") + movies_ + "[scripts]\n" + scripts_, exe);
        return exe;
    }

    std::map<std::string, std::string> environment() const
    {
        return {{"TMP", temp_.string()}, {"TEMP", temp_.string()}, {"LUMBRA_REPORT_LOG", log_.string()}};
    }

    bool workingFolderGone() const { return std::filesystem::is_empty(temp_); }

    std::filesystem::path folder_, project_, temp_, trace_, log_;
    std::string scripts_, movies_;
};

// Lines of the trace without the engine's warnings.
std::vector<std::string> scriptLines(const std::filesystem::path& file)
{
    std::vector<std::string> lines = readLines(file);
    std::erase_if(lines, [](const std::string& line) { return line.rfind("Warning: ", 0) == 0; });
    return lines;
}

TEST_F(PlayerScripts, StartupScriptAndTheMovieCommandsRunUntilQuit)
{
    script("Initialize", "trace('init'); shared = 'from init';");
    plainScript("Count", "if (typeof n == 'undefined') n = 0; n++; trace('count ' + n);");
    plainScript("Later", "trace('later ' + n);");
    plainScript("Last", "trace('last'); Application.traceToFile();");
    movieSending({{"ORVET_RUN", "count"},
                  {"orvet_run", "Count"},
                  {"Orvet_Run", "NoSuchScript"},
                  {"Orvet_Eval", "trace(shared + ' ' + n)"},
                  {"Orvet_AsynRun", "Later"},
                  {"Orvet_AsynRun", "Last"},
                  {"Orvet_Trace", "ignored"},
                  {"SomethingElse", "ignored"},
                  {"Orvet_Quit", ""},
                  {"Orvet_Eval", "trace(typeof shared)"}});
    PlayerProcess player(packaged(), "", environment());
    const HWND window = player.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    // The queued scripts run when the player is idle; the last one closes the trace.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (scriptLines(trace_).size() < 7 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(scriptLines(trace_), (std::vector<std::string>{"init", "count 1", "count 2", "from init 2", "undefined",
                                                              "later undefined", "last"}));
    EXPECT_TRUE(readLines(log_).empty()) << "unknown names show nothing";
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_TRUE(workingFolderGone());
}

TEST_F(PlayerScripts, QuitFromTheMovieClosesTheWindowAndCleansUp)
{
    script("Initialize", "trace('init');");
    movieSending({{"Orvet_Eval", "trace('before quit')"}, {"quit", ""}, {"Orvet_Eval", "trace('after quit')"}});
    PlayerProcess player(packaged(), "", environment());
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_EQ(scriptLines(trace_), (std::vector<std::string>{"init", "before quit", "after quit"}))
        << "the close waits for the commands of the frame";
    EXPECT_TRUE(workingFolderGone());
}

TEST_F(PlayerScripts, StartupScriptReturningFalseEndsStartup)
{
    script("Initialize", "trace('init'); false;");
    movieSending({{"Orvet_Eval", "trace('movie ran')"}});
    PlayerProcess player(packaged(), "", environment());
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_EQ(scriptLines(trace_), std::vector<std::string>{"init"});
    EXPECT_TRUE(readLines(log_).empty());
    EXPECT_TRUE(workingFolderGone());
}

TEST_F(PlayerScripts, ExecRunsItsCommandLine)
{
    const auto marker = folder_ / "exec.txt";
    script("Initialize", "trace('init');");
    // The command line's backslashes survive the movie text as written.
    std::string line = "cmd.exe /c echo ran>" + marker.string();
    std::string escaped;
    for (char c : line)
        escaped += c == '\\' ? std::string("\\\\") : std::string(1, c);
    movieSending({{"exec", escaped}, {"Orvet_Eval", "trace('after exec')"}});
    PlayerProcess player(packaged(), "", environment());
    ASSERT_NE(player.waitForMainWindow(), nullptr);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(marker) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(std::filesystem::exists(marker));
    EXPECT_EQ(scriptLines(trace_), (std::vector<std::string>{"init", "after exec"}));
}

TEST_F(PlayerScripts, InstallerSwitchesRunTheirScriptsWithoutAWindow)
{
    script("AfterInstall", "trace('after install ' + (typeof Application));");
    script("BeforeUninst", "trace('before uninstall');");
    script("Initialize", "trace('must not run');");
    const auto exe = packaged();
    {
        PlayerProcess player(exe, "/afterINSTALL ignored", environment());
        EXPECT_EQ(player.waitForExit(), 0u);
        EXPECT_EQ(scriptLines(trace_), std::vector<std::string>{"after install object"});
    }
    {
        PlayerProcess player(exe, "/BeforeUninst", environment());
        EXPECT_EQ(player.waitForExit(), 0u);
        EXPECT_EQ(scriptLines(trace_), std::vector<std::string>{"before uninstall"});
    }
    EXPECT_TRUE(workingFolderGone());
    EXPECT_TRUE(readLines(log_).empty());
}

} // namespace
} // namespace lumbra::test
