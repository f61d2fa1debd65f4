// Script menus in a packaged player, driven with real keys: a menu bar
// loaded from the package's [menus], its caption accelerator, and its items
// chosen from the keyboard, observed through the trace file the script writes.
#include "PlayerProcess.h"
#include "UserInput.h"

#include "control/movie/MovieDescription.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

namespace lumbra::test {
namespace {

class ScriptMenus : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = scratchFolder(std::string("ScriptMenus") +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_ / "project");
        std::filesystem::create_directories(folder_ / "temp");
        trace_ = folder_ / "trace.txt";
    }

    std::unique_ptr<PlayerProcess> start(const std::string& script, const std::string& menus)
    {
        std::ofstream(folder_ / "project" / "init.ovs")
            << "Application.traceToFile('" << trace_.generic_string() << "');\n" << script;
        // With a packaged movie the player's own Ctrl+O (open a movie) is off.
        writeFile(folder_ / "project" / "main.swf", movie::buildMovie("movie 200 100\nframe\nactions {\nstop\n}\n"));
        const auto exe = folder_ / "App.exe";
        packageProject(folder_ / "project",
                       packageSection("LumbraMenus/Test") + "[settings]\nexitKeys = 0\n[movies]\nmovie = main.swf\n"
                           "[scripts]\nInitialize = init.ovs\n[menus]\n" + menus,
                       exe);
        auto player = std::make_unique<PlayerProcess>(
            exe, "", std::map<std::string, std::string>{{"TMP", (folder_ / "temp").string()},
                                                        {"LUMBRA_REPORT_LOG", (folder_ / "report.log").string()}});
        window_ = player->waitForMainWindow();
        return player;
    }

    // The script's lines, without the engine's warnings.
    std::vector<std::string> traced() const
    {
        std::vector<std::string> lines = readLines(trace_);
        std::erase_if(lines, [](const std::string& line) { return line.starts_with("Warning: "); });
        return lines;
    }
    bool tracedLine(const std::string& line) const
    {
        return waitFor([&] { return std::ranges::count(traced(), line) > 0; });
    }
    long count(const std::string& line) const { return static_cast<long>(std::ranges::count(traced(), line)); }

    std::filesystem::path folder_, trace_;
    HWND window_ = nullptr;
};

TEST_F(ScriptMenus, PackagedMenuBarWithAcceleratorsAndKeyboardChoices)
{
    auto player = start("var bar = new Menu();\n"
                        "trace('load ' + bar.load('Main') + ' ' + new Menu().load('Missing'));\n"
                        "trace('set ' + bar.setMenu());\n"
                        "bar.enableAccel = true;\n"
                        "Menu.onCommand = function (name) { trace('command ' + name); };\n"
                        "Menu.onUpdateItem = function (name, item) {\n"
                        "  trace('update ' + name); if (name == 'quit') item.enable = false; };\n"
                        "trace('ready');\n",
                        "menu = Main\npopup = &File\nitem = open | &Open...\\tCTRL+O\nitem = open | Open &again\n"
                        "separator =\nitem = quit | E&xit\nend =\n");
    ASSERT_NE(window_, nullptr);
    // Keys count only once the whole script has run: accelerators are
    // switched on after the bar is set.
    ASSERT_TRUE(tracedLine("ready"));
    EXPECT_EQ(traced()[0], "load true false");
    EXPECT_EQ(count("set true"), 1);
    EXPECT_NE(GetMenu(window_), nullptr) << "the window has the bar";

    bringToFront(window_);
    pressKeys({VK_CONTROL, 'O'});
    EXPECT_TRUE(tracedLine("command open")) << "Ctrl+O from the caption";

    // Opening File updates its items first (the system asks for them on a
    // translated accelerator too, so count from here).
    const long updates = count("update quit");
    pressKeys({VK_MENU, 'F'});
    EXPECT_TRUE(waitFor([&] { return count("update quit") == updates + 1; }));
    pressKeys({'A'});
    EXPECT_TRUE(waitFor([&] { return count("command open") == 2; })) << "the second item, same name";

    pressKeys({VK_MENU, 'F'});
    EXPECT_TRUE(waitFor([&] { return count("update quit") == updates + 2; }));
    pressKeys({'X'}); // disabled by the update handler
    pressKeys({VK_ESCAPE});
    pressKeys({VK_ESCAPE});
    waitFor([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_EQ(count("command quit"), 0);
    EXPECT_EQ(traced().back(), "update quit") << "nothing ran after the last update";

    PostMessageA(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(player->waitForExit(), 0u);
}

} // namespace
} // namespace lumbra::test
