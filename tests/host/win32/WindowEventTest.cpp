// Events of "Window" objects from real messages and real input: closing with
// its rule, hover tracking with the mouse, move and size loops, activation,
// onMessage, one subclassing shared by every object of a window, and
// handlers that fail, close their window or let their object go.
#include <gtest/gtest.h>

#include <thread>

#include "tests/host/win32/WindowTestSupport.h"

namespace lumbra::test {
namespace {

using namespace std::chrono_literals;

class WindowEvents : public ::testing::Test {
protected:
    WindowScript script;
    TestWindow window{L"Event window", nullptr, {100, 100, 400, 300}};

    void SetUp() override { script.setHandle("h", window.hwnd()); }
    int global(const char* name) { return std::stoi(script.value(name)); }
};

TEST_F(WindowEvents, ObjectsOfOneWindowShareHandlersAndOneSubclassing)
{
    const LONG_PTR original = procedureOf(window.hwnd());
    script.value("var a = Window(h); var b = Window(h); var moved = '';"
                 "a.onMove = function(x, y) { moved += this.tag + x + ':' + y + ' '; }");
    const LONG_PTR routed = procedureOf(window.hwnd());
    EXPECT_NE(routed, original);
    EXPECT_EQ(script.value("b.onMove == a.onMove"), "true");
    EXPECT_EQ(script.value("Window(h).onMove == a.onMove"), "true"); // a third object, at once unreachable
    EXPECT_EQ(procedureOf(window.hwnd()), routed);

    // The newest living object receives the events.
    script.value("a.tag = 'a'; b.tag = 'b'; var c = Window(h); c.tag = 'c'");
    SetWindowPos(window.hwnd(), nullptr, 50, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(script.value("moved"), "c50:60 ");
    script.value("delete c; moved = ''");
    SetWindowPos(window.hwnd(), nullptr, 51, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(script.value("moved"), "b51:60 ");

    // A handler set through one object is replaced through another.
    script.value("b.onMove = function() { moved = 'replaced'; }; b.onMove = 'not a function'");
    SetWindowPos(window.hwnd(), nullptr, 52, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(script.value("moved"), "replaced");

    script.value("a = null");
    script.collect();
    EXPECT_EQ(procedureOf(window.hwnd()), routed); // b still holds the window
    script.value("b = null");
    script.collect();
    EXPECT_EQ(procedureOf(window.hwnd()), original);
    script.value("moved = 'none'");
    SetWindowPos(window.hwnd(), nullptr, 53, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_EQ(script.value("moved"), "none");
}

TEST_F(WindowEvents, QueryCloseDecidesForAChildWindow)
{
    TestWindow child(L"child", script.main.hwnd(), {0, 0, 50, 50});
    script.setHandle("c", child.hwnd());
    script.value("var log = ''; var w = Window(c); w.onClose = function() { log += 'close '; };"
                 "w.onQueryClose = function() { log += 'query '; }");
    script.value("w.close()"); // posted: nothing happens before the message is dispatched
    EXPECT_EQ(script.value("log"), "");
    pumpFor(100ms);
    EXPECT_EQ(script.value("log"), "query "); // nothing returned counts as false
    EXPECT_TRUE(IsWindow(child.hwnd()));

    script.value("w.onQueryClose = function() { log += 'fail '; throw 'oops'; }");
    SendMessageW(child.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(child.hwnd())); // a failing handler counts as false
    script.value("w.onQueryClose = function() { return 0; }");
    SendMessageW(child.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(child.hwnd()));

    script.value("log = ''; w.onQueryClose = function() { log += 'query '; return 'yes'; }");
    SendMessageW(child.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(script.value("log"), "query close ");
    EXPECT_FALSE(IsWindow(child.hwnd()));
    EXPECT_EQ(script.value("w.caption"), "undefined");
}

TEST_F(WindowEvents, WithoutQueryCloseAWindowCloses)
{
    script.value("var closed = 0; var w = Window(h); w.onClose = function() { closed++; throw 'broken'; }");
    SendMessageW(window.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_EQ(global("closed"), 1);
    EXPECT_FALSE(IsWindow(window.hwnd())); // the failing handler did not stop it
}

TEST_F(WindowEvents, TheMainWindowClosesThroughThePlayer)
{
    const HWND main = script.main.hwnd();
    const LONG_PTR original = procedureOf(main);
    script.setHandle("m", main);
    script.value("var log = ''; var m = Window(m); m.onClose = function() { log += 'close'; };"
                 "m.onMessage = function(message) { if (message == 0x8125) log += ' message'; }");
    EXPECT_NE(procedureOf(main), original);
    SendMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(script.value("log"), "close");
    EXPECT_TRUE(IsWindow(main)); // swallowed: the player closes it in its own order
    EXPECT_EQ(script.main.count(WM_CLOSE), 0);
    EXPECT_EQ(script.main.count(WM_APP + 100), 1);
    EXPECT_EQ(procedureOf(main), original); // given back at once
    SendMessageW(main, 0x8125, 0, 0); // later messages no longer reach the script
    EXPECT_EQ(script.value("log"), "close");
    EXPECT_EQ(script.value("m.caption"), "Main window"); // the object still works
}

TEST_F(WindowEvents, HoverTrackingWithTheMouse)
{
    TestWindow other(L"elsewhere", nullptr, {600, 100, 800, 300});
    moveMouseTo(700, 200);
    pumpFor(100ms);
    script.value("var log = ''; var hovers = 0; var w = Window(h);"
                 "w.onEnter = function() { log += 'enter '; };"
                 "w.onHover = function() { hovers++; };"
                 "w.onLeave = function() { log += 'leave(' + hovers + ') '; }");
    moveMouseTo(250, 200);
    ASSERT_TRUE(pumpUntil([&] { return script.value("log") == "enter "; }, 5s))
        << script.value("log") << " moves seen: " << window.count(WM_MOUSEMOVE) << " other: " << other.count(WM_MOUSEMOVE);
    EXPECT_EQ(global("hovers"), 0);
    // One onHover every 500 ms while the mouse stays.
    pumpFor(1600ms);
    moveMouseTo(260, 210); // moving inside does not enter again
    pumpFor(100ms);
    EXPECT_EQ(script.value("log"), "enter ");
    const int hovers = global("hovers");
    EXPECT_GE(hovers, 2);
    EXPECT_LE(hovers, 4);
    moveMouseTo(700, 200);
    ASSERT_TRUE(pumpUntil([&] { return script.value("log").find("leave") != std::string::npos; }, 5s));
    pumpFor(700ms);
    EXPECT_EQ(script.value("log"), "enter leave(" + std::to_string(global("hovers")) + ") ");
    EXPECT_LE(global("hovers"), hovers + 1);
    EXPECT_NE(GetCapture(), window.hwnd());

    // Tracking switched off by the private message, and on again.
    SendMessageW(window.hwnd(), WM_APP + 657, 0, 0);
    script.value("log = ''");
    moveMouseTo(250, 200);
    pumpFor(300ms);
    EXPECT_EQ(script.value("log"), "");
    SendMessageW(window.hwnd(), WM_APP + 658, 0, 0);
    moveMouseTo(255, 205);
    ASSERT_TRUE(pumpUntil([&] { return script.value("log") == "enter "; }, 5s));
    moveMouseTo(700, 200);
    ASSERT_TRUE(pumpUntil([&] { return script.value("log").find("leave") != std::string::npos; }, 5s));
}

// Drags the window (which answers as its own caption) with the real mouse
// from another thread while this one runs the system's move loop.
void dragCaption(HWND hwnd, int dx, int dy)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    moveMouseTo(x, y);
    pumpFor(100ms);
    std::thread hand([=] {
        INPUT press{};
        press.type = INPUT_MOUSE;
        press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        SendInput(1, &press, sizeof press);
        std::this_thread::sleep_for(200ms);
        for (int step = 1; step <= 10; ++step) {
            moveMouseTo(x + dx * step / 10, y + dy * step / 10);
            std::this_thread::sleep_for(30ms);
        }
        INPUT release{};
        release.type = INPUT_MOUSE;
        release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &release, sizeof release);
    });
    pumpFor(1500ms);
    hand.join();
    pumpFor(100ms);
}

TEST_F(WindowEvents, AMoveLoopOfTheRealMouse)
{
    TestWindow dragged(L"Dragged", nullptr, {100, 400, 300, 500}, TestWindow::Drag::Anywhere);
    script.setHandle("h", dragged.hwnd());
    script.value("var log = []; var moving = 0; var w = Window(h);"
                 "w.onEnterSizeMove = function() { log[log.length] = 'enter'; };"
                 "w.onExitSizeMove = function() { log[log.length] = 'exit'; };"
                 "w.onMoving = function(edge, r) { moving++; r.top = 350; r.bottom = r.top + 100; }");
    dragCaption(dragged.hwnd(), 80, 60);
    EXPECT_EQ(script.value("log.join()"), "enter,exit");
    EXPECT_GE(global("moving"), 1);
    RECT r{};
    GetWindowRect(dragged.hwnd(), &r);
    EXPECT_GT(r.left, 100);  // moved sideways with the mouse
    EXPECT_EQ(r.top, 350);    // but held at the top edge the handler chose
}

TEST_F(WindowEvents, SizingAndSizeFromMessages)
{
    script.value("var sized = ''; var w = Window(h);"
                 "w.onSize = function(type, width, height) { sized = type + ':' + width + 'x' + height; };"
                 "w.onSizing = function(edge, r) { r.right = r.left + 123; r.bottom = 'tall'; return edge; }");
    RECT proposal{10, 20, 300, 400};
    SendMessageW(window.hwnd(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&proposal));
    EXPECT_EQ(proposal.left, 10);
    EXPECT_EQ(proposal.right, 133);
    EXPECT_EQ(proposal.bottom, 400); // not an Integer: unchanged
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 250, 150, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(script.value("sized"), "0:" + std::to_string(client.right) + "x" + std::to_string(client.bottom));

    // A failing handler does not stop the message: what it set before is taken.
    script.value("w.onSizing = function(edge, r) { r.left = 1; throw 'no'; r.top = 2; }");
    RECT second{10, 20, 300, 400};
    SendMessageW(window.hwnd(), WM_SIZING, WMSZ_LEFT, reinterpret_cast<LPARAM>(&second));
    EXPECT_EQ(second.left, 1);
    EXPECT_EQ(second.top, 20);
}

TEST_F(WindowEvents, ActivationRightButtonAndOtherMessages)
{
    script.value("var log = ''; var w = Window(h);"
                 "w.onActivate = function() { log += 'on '; };"
                 "w.onDeactivate = function() { log += 'off '; };"
                 "w.onMessage = function(message, wParam, lParam) { if (message == 0x8123) log += wParam + '/' + lParam + ' '; }");
    SendMessageW(window.hwnd(), WM_ACTIVATEAPP, TRUE, 0);
    SendMessageW(window.hwnd(), WM_ACTIVATEAPP, FALSE, 0);
    SendMessageW(window.hwnd(), 0x8123, 7, -2);
    EXPECT_EQ(script.value("log"), "on off 7/-2 ");
    EXPECT_EQ(window.count(0x8123), 1); // and on to the window's own procedure
    // Without a right-button handler (set only by the Flash player) the
    // button goes to the window as usual.
    SendMessageW(window.hwnd(), WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(window.count(WM_RBUTTONDOWN), 1);
}

TEST_F(WindowEvents, AHandlerThatLetsTheLastObjectGo)
{
    const LONG_PTR original = procedureOf(window.hwnd());
    script.value("var seen = 0; var w = Window(h); w.onMessage = function(m) { if (m == 0x8124) { seen++; delete w; } }");
    SendMessageW(window.hwnd(), 0x8124, 0, 0);
    EXPECT_EQ(global("seen"), 1);
    EXPECT_EQ(window.count(0x8124), 1);
    EXPECT_EQ(procedureOf(window.hwnd()), original);
    SendMessageW(window.hwnd(), 0x8124, 0, 0);
    EXPECT_EQ(global("seen"), 1);
}

TEST_F(WindowEvents, AHandlerThatClosesItsOwnWindow)
{
    TestWindow child(L"child", script.main.hwnd(), {0, 0, 50, 50});
    script.setHandle("c", child.hwnd());
    script.value("var moves = 0; var w = Window(c);"
                 "w.onMove = function() { moves++; this.close(); this.move(0, 0, 5, 5); };"
                 "w.onClose = function() { this.move(1, 1); }");
    SetWindowPos(child.hwnd(), nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(child.hwnd()); }, 5s));
    EXPECT_GE(global("moves"), 1);
    EXPECT_EQ(script.value("w.left"), "undefined");
    script.value("w = null");
    script.collect();
}

TEST_F(WindowEvents, AWindowDestroyedWhileItsObjectLives)
{
    auto doomed = std::make_unique<TestWindow>(L"doomed");
    script.setHandle("d", doomed->hwnd());
    script.value("var d = Window(d); d.onMessage = function() {}");
    doomed.reset();
    // A new window may get the old handle; the old object does not follow it.
    TestWindow fresh(L"fresh");
    EXPECT_EQ(script.value("d.caption"), "undefined");
    script.setHandle("f", fresh.hwnd());
    EXPECT_EQ(script.value("Window(f).caption"), "fresh");
    script.value("d = null");
    script.collect();
}

TEST_F(WindowEvents, TheEngineEndsBeforeItsWindows)
{
    const LONG_PTR original = procedureOf(window.hwnd());
    script.value("var a = Window(h); var b = Window(h); a.onMove = function() {}; a.onMessage = function() {}");
    script.host.reset(); // the player quits: every script object dies with the engine
    EXPECT_EQ(procedureOf(window.hwnd()), original);
    SetWindowPos(window.hwnd(), nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(window.hwnd(), 0x8126, 0, 0);
    EXPECT_EQ(window.count(0x8126), 1);
}

} // namespace
} // namespace lumbra::test
