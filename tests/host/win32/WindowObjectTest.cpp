// "Window" objects on real windows: what the properties read and change,
// what the methods do, windows of another process, windows that are gone.
#include <gtest/gtest.h>

#include <thread>

#include "tests/host/win32/WindowTestSupport.h"

namespace lumbra::test {
namespace {

using namespace std::chrono_literals;

RECT windowRect(HWND hwnd)
{
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    return rect;
}

class WindowObject : public ::testing::Test {
protected:
    WindowScript script;
    TestWindow window{L"Plain window", nullptr, {120, 130, 420, 330}};

    void SetUp() override { script.setHandle("h", window.hwnd()); }
};

TEST_F(WindowObject, MadeOnlyForWindows)
{
    EXPECT_EQ(script.value("var w = new Window(h); w.handle == h"), "true");
    EXPECT_EQ(script.value("Window(h).toString()"), "[object Window]");
    EXPECT_EQ(script.value("String(Window)"), "[object Window]");
    EXPECT_EQ(script.value("Window(123456)"), "null");
    EXPECT_EQ(script.value("new Window(0)"), "null");
    EXPECT_EQ(script.value("Window(String(h))"), "null");
    EXPECT_EQ(script.value("Window()"), "null");
    EXPECT_EQ(script.value("$AW_SLIDE + ',' + $AW_ACTIVATE + ',' + $AW_BLEND + ',' + $AW_HIDE + ',' + $AW_CENTER"),
              "262144,131072,524288,65536,16");
    EXPECT_EQ(script.value("$AW_HOR_POSITIVE + $AW_HOR_NEGATIVE * 10 + $AW_VER_POSITIVE * 100 + $AW_VER_NEGATIVE * 1000"),
              "8421");
}

TEST_F(WindowObject, EdgesAndSizes)
{
    EXPECT_EQ(script.value("var w = Window(h); [w.left, w.top, w.width, w.height].join()"), "120,130,300,200");
    // A larger left edge makes the window narrower; the right edge stays.
    script.value("w.left = 150");
    RECT r = windowRect(window.hwnd());
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.right, 420);
    script.value("w.top = 100");
    r = windowRect(window.hwnd());
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.bottom, 330);
    // Width and height keep the left and top edges.
    script.value("w.width = 100; w.height = 50");
    r = windowRect(window.hwnd());
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.right, 250);
    EXPECT_EQ(r.top, 100);
    EXPECT_EQ(r.bottom, 150);
    // Only Integers count.
    script.value("w.left = '10'; w.width = 3.5; w.height = null");
    EXPECT_EQ(windowRect(window.hwnd()).left, 150);
    EXPECT_EQ(script.value("[w.left, w.top, w.width, w.height].join()"), "150,100,100,50");

    // Placing a hidden window shows it.
    ShowWindow(window.hwnd(), SW_HIDE);
    script.value("w.left = 140");
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
}

TEST_F(WindowObject, MoveTakesEdgesNotSizes)
{
    script.value("var w = Window(h); w.move(20, 30)");
    RECT r = windowRect(window.hwnd());
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right, 420); // the right and bottom edges stay
    EXPECT_EQ(r.bottom, 330);
    script.value("w.move(10, 20, 110, 70)");
    r = windowRect(window.hwnd());
    EXPECT_EQ(r.right - r.left, 100);
    EXPECT_EQ(r.bottom - r.top, 50);
    script.value("w.move('x', null, 210)"); // non-Integers are missing
    r = windowRect(window.hwnd());
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 210);
}

TEST_F(WindowObject, ChildCoordinatesAreThoseOfTheParent)
{
    TestWindow child(L"child", script.main.hwnd(), {5, 6, 55, 36});
    script.setHandle("c", child.hwnd());
    EXPECT_EQ(script.value("var c = Window(c); [c.left, c.top, c.width, c.height].join()"), "5,6,50,30");
    EXPECT_EQ(script.value("c.parent.handle == Window(h).parent.handle"), "false");
    script.setHandle("m", script.main.hwnd());
    EXPECT_EQ(script.value("c.parent.handle == m"), "true");
    EXPECT_EQ(script.value("Window(m).parent.handle"), "0");
    script.value("c.left = 1");
    POINT corner{0, 0};
    MapWindowPoints(child.hwnd(), script.main.hwnd(), &corner, 1);
    RECT r = windowRect(child.hwnd());
    MapWindowPoints(nullptr, script.main.hwnd(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.right, 55);

    // A Window object becomes the parent; other values are ignored.
    script.value("c.parent = 5; c.parent = 'x'");
    EXPECT_EQ(GetParent(child.hwnd()), script.main.hwnd());
    script.value("c.parent = Window(h)");
    EXPECT_EQ(GetParent(child.hwnd()), window.hwnd());
}

TEST_F(WindowObject, TextStateAndStyle)
{
    EXPECT_EQ(script.value("var w = Window(h); w.caption"), "Plain window");
    script.value("w.caption = 12");
    wchar_t text[32];
    GetWindowTextW(window.hwnd(), text, 32);
    EXPECT_EQ(std::wstring(text), L"12");
    EXPECT_EQ(script.value("w.className"), "LumbraHostTestWindow");
    script.value("w.className = 'x'; w.handle = 1; w.visible = false");
    EXPECT_EQ(script.value("w.className + ' ' + (w.handle == h) + ' ' + w.visible"), "LumbraHostTestWindow true true");

    script.value("w.enable = 0");
    EXPECT_FALSE(IsWindowEnabled(window.hwnd()));
    EXPECT_EQ(script.value("w.enable"), "false");
    script.value("w.enable = 'yes'");
    EXPECT_TRUE(IsWindowEnabled(window.hwnd()));

    EXPECT_EQ(script.value("w.windowState"), "normal");
    script.value("w.windowState = 'MAXIMIZED'");
    EXPECT_TRUE(IsZoomed(window.hwnd()));
    EXPECT_EQ(script.value("w.windowState"), "maximized");
    script.value("w.windowState = 1"); // a show command: normal
    EXPECT_EQ(script.value("w.windowState"), "normal");
    script.value("w.windowState = 'Minimized'");
    EXPECT_EQ(script.value("w.windowState"), "minimized");
    script.value("w.windowState = 0; w.windowState = 'tiny'; w.windowState = true");
    EXPECT_TRUE(IsIconic(window.hwnd()));
    script.value("w.windowState = 'normal'");
    EXPECT_EQ(script.value("w.windowState"), "normal");

    script.value("w.hide()");
    EXPECT_FALSE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ(script.value("w.visible"), "false");
    script.value("w.show()");
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));

    script.value("w.modifyStyle(0x00C00000, 0)"); // WS_CAPTION off
    EXPECT_EQ(GetWindowLongW(window.hwnd(), GWL_STYLE) & WS_CAPTION, 0);
    script.value("w.modifyStyle(null, 0x00C00000)");
    EXPECT_EQ(GetWindowLongW(window.hwnd(), GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    script.value("w.modifyStyleEx(0, 0x10)"); // WS_EX_ACCEPTFILES
    EXPECT_NE(GetWindowLongW(window.hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
    EXPECT_EQ(script.value("w.update()"), "true");
}

TEST_F(WindowObject, ChildrenCreatedFoundAndListed)
{
    EXPECT_EQ(script.value("var b = Window.create('BUTTON'); [b.left, b.top, b.width, b.height, b.visible].join()"),
              "0,0,200,20,true");
    script.setHandle("m", script.main.hwnd());
    EXPECT_EQ(script.value("b.parent.handle == m"), "true");
    EXPECT_EQ(script.value("b.caption"), "");
    EXPECT_EQ(script.value("Window.create('NoSuchWindowClass')"), "null");
    EXPECT_EQ(script.value("Window.create(5)"), "null");

    TestWindow inner(L"inner", script.main.hwnd(), {0, 30, 50, 60});
    TestWindow innermost(L"innermost", inner.hwnd(), {0, 0, 10, 10});
    EXPECT_EQ(script.value("var all = Window(m).getChildren(); all.length"), "3");
    EXPECT_EQ(script.value("var names = []; for (var i = 0; i < all.length; i++) names[i] = all[i].caption; "
                           "names.sort(); names.join()"),
              ",inner,innermost");
    EXPECT_EQ(script.value("Window(h).getChildren().length"), "0");

    EXPECT_EQ(script.value("Window.getWindowsByName('plain WINDOW').length"), "1");
    EXPECT_EQ(script.value("Window.getWindowsByName('plain WINDOW')[0].handle == h"), "true");
    EXPECT_EQ(script.value("Window.getWindowsByName('no such title here').length"), "0");
    EXPECT_EQ(script.value("var every = Window.getWindowsByName(); every.length >= 2"), "true");
    EXPECT_EQ(script.value("Window.getWindowsByName('').length == every.length"), "true");
}

TEST_F(WindowObject, FindingNothingGivesAnEmptyWindow)
{
    EXPECT_EQ(script.value("var none = Window.find('NoSuchClassAnywhere'); none.handle"), "0");
    EXPECT_EQ(script.value("none.toString()"), "[object Window]");
    EXPECT_EQ(script.value("none.left + ',' + none.caption + ',' + none.show() + ',' + none.animate(1, 2)"),
              "undefined,undefined,undefined,false");
    EXPECT_EQ(script.value("none.getChildren()"), "undefined");
    EXPECT_EQ(script.value("none.left = 5; none.left"), "5"); // its own property object answers
    EXPECT_EQ(script.value("Window.find('LumbraHostTestWindow', 'Plain window').handle == h"), "true");
    EXPECT_EQ(script.value("Window.find(null, 'Plain window').handle == h"), "true");
    EXPECT_EQ(script.value("Window.find('LumbraHostTestWindow', 'Other title').handle"), "0");
}

TEST_F(WindowObject, AnimateAndCenter)
{
    script.value("var w = Window(h)");
    EXPECT_EQ(script.value("w.animate(50, $AW_HIDE | $AW_BLEND)"), "true");
    EXPECT_FALSE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ(script.value("w.animate(50, $AW_BLEND)"), "true");
    EXPECT_TRUE(IsWindowVisible(window.hwnd()));
    EXPECT_EQ(script.value("w.animate('50', $AW_BLEND) + ',' + w.animate(50)"), "false,false");

    // Over the main window, which is visible.
    SetWindowPos(script.main.hwnd(), nullptr, 200, 200, 400, 300, SWP_NOZORDER);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 100, 60, SWP_NOZORDER);
    script.value("w.center()");
    RECT r = windowRect(window.hwnd());
    EXPECT_EQ(r.left, 200 + (400 - 100) / 2);
    EXPECT_EQ(r.top, 200 + (300 - 60) / 2);
    // A child over its parent's client area.
    TestWindow child(L"child", window.hwnd(), {0, 0, 20, 10});
    script.setHandle("c", child.hwnd());
    script.value("Window(c).center()");
    RECT client{};
    GetClientRect(window.hwnd(), &client);
    EXPECT_EQ(script.value("Window(c).left"), std::to_string((client.right - 20) / 2));
}

TEST_F(WindowObject, FlyIntoTheCornerOfTheWorkArea)
{
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    SetWindowPos(window.hwnd(), nullptr, 0, 0, 40, 30, SWP_NOZORDER);
    EXPECT_EQ(script.value("var moves = 0; var w = Window(h); w.onMove = function() { moves++; }; "
                           "w.fly(); moves"),
              "41"); // from (right, bottom - 30) one pixel a step to the corner
    RECT r = windowRect(window.hwnd());
    EXPECT_EQ(r.left, area.right - 40);
    EXPECT_EQ(r.top, area.bottom - 30);
    EXPECT_EQ(r.right - r.left, 40);

    script.value("w.fly(2, 1, false, 0)"); // out of the top-left corner, upwards
    r = windowRect(window.hwnd());
    EXPECT_EQ(r.left, area.left);
    EXPECT_EQ(r.top, area.top - 30);

    EXPECT_EQ(script.value("moves = 0; w.fly2(10, 10, 20, 15, 0); moves"), "11");
    r = windowRect(window.hwnd());
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 15);
    EXPECT_EQ(script.value("moves = 0; w.fly2(10, 10, 20, 15); w.fly2(1, 2, 3, 4, '0'); moves"), "0");
}

TEST_F(WindowObject, AForeignTopLevelWindow)
{
    const std::wstring exe = programFolder() + L"foreign_window.exe";
    std::wstring command = L"\"" + exe + L"\" LumbraForeignClass \"Foreign one\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForInputIdle(process.hProcess, 10000);
    ASSERT_TRUE(pumpUntil([] { return FindWindowW(L"LumbraForeignClass", L"Foreign one") != nullptr; }));

    EXPECT_EQ(script.value("var f = Window.find('LumbraForeignClass', 'Foreign one'); f.caption + '/' + f.className"),
              "Foreign one/LumbraForeignClass");
    script.value("f.move(300, 310, 500, 420)");
    const HWND foreign = FindWindowW(L"LumbraForeignClass", L"Foreign one");
    RECT r = windowRect(foreign);
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.bottom, 420);
    EXPECT_EQ(script.value("Window.getWindowsByName('FOREIGN ONE')[0].className"), "LumbraForeignClass");
    script.value("f.close()");
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(script.value("f.left + ',' + f.handle"), "undefined," + std::to_string(reinterpret_cast<std::uintptr_t>(foreign)));
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

TEST_F(WindowObject, AnObjectOutlivingItsWindow)
{
    auto doomed = std::make_unique<TestWindow>(L"doomed");
    script.setHandle("d", doomed->hwnd());
    EXPECT_EQ(script.value("var d = Window(d); d.onMove = function() {}; d.caption"), "doomed");
    doomed.reset();
    EXPECT_EQ(script.value("d.caption"), "undefined");
    EXPECT_EQ(script.value("d.move(1, 2, 3, 4); d.show(); d.fly(0, 0, true, 0); d.center(); d.close(); d.update()"),
              "false");
    EXPECT_EQ(script.value("d.getChildren() + ',' + d.onMove"), "undefined,undefined");
    // A new window that happens to get the same handle is not the old one's.
    script.collect();
}

} // namespace
} // namespace lumbra::test
