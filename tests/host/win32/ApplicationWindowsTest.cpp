// The Application and FlashPlayer classes over real windows and the system's
// timers: timers counted over real time, the nested message loop of
// "processMsg", the main and movie windows as "Window" objects and the
// movie window's right-button handler.
#include <gtest/gtest.h>

#include <algorithm>

#include "host/HostClasses.h"
#include "script/runtime/Collector.h"
#include "tests/host/win32/WindowTestSupport.h"

namespace lumbra::test {
namespace {

using namespace std::chrono_literals;

class ApplicationWindows : public ::testing::Test {
protected:
    ApplicationWindows()
    {
        player.mainWindowHandle = main.hwnd();
        player.flashWindowHandle = movie.hwnd();
        host = std::make_unique<ScriptHost>(host::hostClasses(static_cast<PlayerServices*>(&player)));
    }

    int number(const std::string& program) { return std::stoi(host->value(program)); }

    FakePlayerServices player;
    TestWindow main{L"Main window", nullptr, {600, 500, 900, 700}};
    TestWindow movie{L"Movie window", main.hwnd(), {0, 0, 300, 200}};
    std::unique_ptr<ScriptHost> host;
};

TEST_F(ApplicationWindows, TimersTickOverRealTimeUntilCleared)
{
    host->run("var a = 0, b = 0, once = 0, failing = 0;"
              "function countA(step) { a += step; }"
              "function step(k) { b += k; } var o = {}; o.step = step;"
              "function bad() { failing++; throw 'tick failed'; }"
              "function onlyOnce() { once++; Application.clearInterval(selfId); }"
              "var ida = Application.setInterval(countA, 20, 1);"
              "var idb = Application.setInterval(o, 'step', 30, 2);"
              "var idf = Application.setInterval(bad, 20);"
              "var selfId = Application.setInterval(onlyOnce, 10);");
    EXPECT_NE(number("ida"), 0);
    EXPECT_NE(number("ida"), number("idb"));
    pumpUntil([&] { return number("a") >= 5 && number("b") >= 6 && number("failing") >= 3; });
    // Generous bounds: ticks come no faster than asked, and they do come.
    EXPECT_GE(number("a"), 5);
    EXPECT_LT(number("a"), 200);
    EXPECT_EQ(number("b") % 2, 0);
    EXPECT_GE(number("failing"), 3) << "a target that throws keeps its timer";
    EXPECT_EQ(number("once"), 1) << "cleared inside its own tick";

    host->run("Application.clearInterval(ida); Application.clearInterval(idb)");
    const int a = number("a"), b = number("b");
    pumpFor(200ms);
    EXPECT_EQ(number("a"), a);
    EXPECT_EQ(number("b"), b);
    EXPECT_EQ(number("once"), 1);

    // The engine's end kills the timers still running: one left would tick
    // into the engine that is gone.
    host.reset();
    pumpFor(150ms);
}

TEST_F(ApplicationWindows, ProcessMsgOffersMessagesToThePlayerFirst)
{
    constexpr UINT kTaken = WM_APP + 40, kPassed = WM_APP + 41;
    player.consumed = kTaken;
    PostMessageW(main.hwnd(), kTaken, 0, 0);
    PostMessageW(main.hwnd(), kPassed, 0, 0);
    EXPECT_EQ(host->value("processMsg()"), "true");
    EXPECT_NE(std::find(player.preTranslated.begin(), player.preTranslated.end(), kTaken), player.preTranslated.end());
    EXPECT_EQ(main.count(kTaken), 0) << "consumed by the player";
    EXPECT_EQ(main.count(kPassed), 1);

    // A close requested meanwhile ends the loop.
    player.pendingClose = true;
    PostMessageW(main.hwnd(), kPassed, 0, 0);
    EXPECT_EQ(host->value("processMsg()"), "false");
    EXPECT_TRUE(player.pendingClose) << "the close stays pending for the command to finish";
}

TEST_F(ApplicationWindows, MainAndMovieWindowsAsWindowObjects)
{
    EXPECT_EQ(host->value("var w = getMainWnd(); (w === getMainWnd()) + ' ' + w"), "true [object Window]");
    EXPECT_EQ(number("getMainWnd().handle"), static_cast<int>(reinterpret_cast<std::intptr_t>(main.hwnd())));
    EXPECT_EQ(host->value("var f = FlashPlayer.window; (f === FlashPlayer.window) + ' ' + (f.parent.handle == w.handle)"),
              "true true");
    // Handlers set through the cached object belong to the window's record.
    host->run("var moved = 0; getMainWnd().onMove = function() { moved++; }");
    EXPECT_EQ(host->value("typeof Window(getMainWnd().handle).onMove"), "function");
    SetWindowPos(main.hwnd(), nullptr, 610, 510, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_GE(number("moved"), 1);

    player.mainWindowHandle = nullptr;
    player.flashWindowHandle = nullptr;
    EXPECT_EQ(host->value("getMainWnd()"), "null");
    EXPECT_EQ(host->value("FlashPlayer.window"), "null");
}

TEST_F(ApplicationWindows, TheMovieWindowsRightButtonHandler)
{
    // Without a handler the player keeps its own right-button handling.
    EXPECT_EQ(SendMessageW(movie.hwnd(), kScriptRightButtonMessage, 0, 0), 0);
    host->run("var pressed = 0; FlashPlayer.onContextMenu = function() { pressed++; this.tag = 'self'; }");
    EXPECT_EQ(host->value("FlashPlayer.onContextMenu"), "undefined");
    EXPECT_EQ(SendMessageW(movie.hwnd(), kScriptRightButtonMessage, 0, 0), 1);
    EXPECT_EQ(number("pressed"), 1);
    EXPECT_EQ(host->value("FlashPlayer.window.tag"), "self");
    // A press on the window itself is the handler's too, and goes no further.
    SendMessageW(movie.hwnd(), WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(number("pressed"), 2);
    EXPECT_EQ(movie.count(WM_RBUTTONDOWN), 0);
    // The handler lives in the record the cached object holds.
    host->run("var junk = []; for (var i = 0; i < 1000; i++) junk.push({i: i}); junk = null");
    orvet::collect(host->ctx());
    EXPECT_EQ(SendMessageW(movie.hwnd(), kScriptRightButtonMessage, 0, 0), 1);

    host->run("FlashPlayer.onContextMenu = 'none'");
    EXPECT_EQ(SendMessageW(movie.hwnd(), kScriptRightButtonMessage, 0, 0), 0);
    SendMessageW(movie.hwnd(), WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(movie.count(WM_RBUTTONDOWN), 1);
    EXPECT_EQ(number("pressed"), 3);
}

} // namespace
} // namespace lumbra::test
