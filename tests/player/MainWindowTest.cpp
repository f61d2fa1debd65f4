// The main window of real packaged players, read from outside: styles,
// size and position on the screen, the kept aspect ratio, mask regions in
// every scale mode, transparent movies in both renderers, and the
// open-movie command. The suite runs on a 1024 x 768 screen.
#include "PlayerProcess.h"
#include "WindowProbe.h"

#include "control/movie/MovieDescription.h"
#include "package/MaskShape.h"

#include <gtest/gtest.h>

#include <memory>

namespace lumbra::test {
namespace {

// A movie of 200 x 100 pixels: one red square at (50, 25), 50 pixels wide.
const char* const kSquareMovie = "movie 200 100\nshape square rect 50 25 50 50 fill #ff0000\nplace square depth 1\n";

// A mask of two rectangles in movie pixels: a bar over the movie's top
// half and a small block below it.
MaskShape twoBlockMask()
{
    MaskShape mask;
    mask.bounds = {0, 0, 200, 100};
    mask.rects = {{0, 0, 200, 50}, {20, 60, 60, 90}};
    return mask;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_ / "temp");
    }

    // Packages a project with `settings` lines and `extra` manifest sections;
    // its movie is `movie` (a description), or none when empty.
    std::filesystem::path packaged(const std::string& name, const std::string& settings,
                                   const std::string& movie = kSquareMovie, const std::string& extra = "")
    {
        const auto project = folder_ / name;
        std::filesystem::create_directories(project);
        std::string manifest = packageSection("Acme/" + name) + "[settings]\ncaption = " + name + "\n" + settings;
        if (!movie.empty()) {
            writeFile(project / "movie.swf", movie::buildMovie(movie));
            manifest += "[movies]\nmovie = movie.swf\n";
        }
        writeFile(project / "mask.msk", maskFile(twoBlockMask()));
        manifest += "[masks]\nblocks = mask.msk\n" + extra;
        const auto exe = folder_ / (name + ".exe");
        packageProject(project, manifest, exe);
        return exe;
    }

    std::unique_ptr<PlayerProcess> start(const std::filesystem::path& exe,
                                         std::map<std::string, std::string> environment = {})
    {
        environment["TMP"] = (folder_ / "temp").string();
        environment["LUMBRA_REPORT_LOG"] = (folder_ / "messages.log").string();
        return std::make_unique<PlayerProcess>(exe, "", environment);
    }

    // The player's window once it shows, with the caption it was given.
    static HWND windowOf(const PlayerProcess& player, const std::string& caption)
    {
        HWND window = nullptr;
        EXPECT_TRUE(waitUntil([&] { return (window = findWindow(player.id(), caption)) != nullptr; }))
            << "no window " << caption;
        return window;
    }

    std::filesystem::path folder_;
};

TEST_F(MainWindow, PercentSizeCentredPopupWithoutMaximizeOrHelp)
{
    ASSERT_EQ(screenSize().cx, 1024) << "the suite's screen is 1024 x 768";
    ASSERT_EQ(screenSize().cy, 768);
    auto player = start(packaged("Popup", "windowSize = 4\ncustomWidth = 10\ncustomHeight = 50\npos = 4\n"
                                          "borderStyle = 0x1\nborderIcons = 0x1001\n"));
    const HWND window = windowOf(*player, "Popup");
    ASSERT_NE(window, nullptr);
    const WindowFacts facts = readWindow(window);
    EXPECT_EQ(facts.window.left, 256);
    EXPECT_EQ(facts.window.top, 192);
    EXPECT_EQ(facts.width(), 512);
    EXPECT_EQ(facts.height(), 384);
    EXPECT_TRUE(facts.style & WS_POPUP);
    EXPECT_FALSE(facts.style & WS_CAPTION);
    EXPECT_FALSE(facts.style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(facts.exStyle & WS_EX_CONTEXTHELP);
    EXPECT_TRUE(facts.exStyle & WS_EX_APPWINDOW);
    EXPECT_FALSE(windowRegion(window)) << "a rectangle has no region";
}

TEST_F(MainWindow, ResizableWithoutTaskbarButtonKeepsItsRatio)
{
    // An 800 x 600 movie gives a 4:3 client area at (40, 30).
    auto player = start(packaged("Ratio", "borderStyle = 0x10100\nborderIcons = 0x100\nbKeepRatio = 1\npos = 9\n"
                                          "customX = 40\ncustomY = 30\n",
                                 "movie 800 600\nframe\n"));
    const HWND window = windowOf(*player, "Ratio");
    ASSERT_NE(window, nullptr);
    WindowFacts facts = readWindow(window);
    EXPECT_EQ(facts.window.left, 40);
    EXPECT_EQ(facts.window.top, 30);
    EXPECT_EQ(facts.clientWidth(), 800);
    EXPECT_EQ(facts.clientHeight(), 600);
    EXPECT_EQ(facts.style & (WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), DWORD(WS_CAPTION | WS_THICKFRAME | WS_SYSMENU));
    EXPECT_FALSE(facts.style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX));
    EXPECT_FALSE(facts.exStyle & WS_EX_APPWINDOW) << "no taskbar button";

    // The user drags the bottom edge up until the client area is 300 high:
    // the size loop's messages around the new size.
    const int frameHeight = facts.height() - facts.clientHeight();
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    SetWindowPos(window, nullptr, 0, 0, facts.width(), 300 + frameHeight, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    facts = readWindow(window);
    EXPECT_EQ(facts.clientHeight(), 300);
    EXPECT_EQ(facts.clientWidth(), 400) << "the width follows the height";
    EXPECT_EQ(facts.window.left, 40);
    EXPECT_EQ(facts.window.top, 30);

    // Then the right edge, to a client area 200 wide.
    const int frameWidth = facts.width() - facts.clientWidth();
    SendMessageA(window, WM_ENTERSIZEMOVE, 0, 0);
    SetWindowPos(window, nullptr, 0, 0, 200 + frameWidth, facts.height(), SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(window, WM_EXITSIZEMOVE, 0, 0);
    facts = readWindow(window);
    EXPECT_EQ(facts.clientWidth(), 200);
    EXPECT_EQ(facts.clientHeight(), 150) << "the height follows the width";
}

TEST_F(MainWindow, UnreadableMovieHeaderKeepsTheWindowSize)
{
    const auto project = folder_ / "Broken";
    std::filesystem::create_directories(project);
    // A compressed movie whose stream is not deflate data: the packager takes
    // it (its signature and length are right), the player cannot read its header.
    writeFile(project / "movie.swf", std::vector<std::uint8_t>{'C', 'W', 'S', 6, 100, 0, 0, 0, 'n', 'o', 't', ' ',
                                                               'z', 'l', 'i', 'b', ' ', 'd', 'a', 't', 'a'});
    const auto exe = folder_ / "Broken.exe";
    packageProject(project,
                   packageSection("Acme/Broken") + "[settings]\ncaption = Broken\npos = 8\n[movies]\nmovie = movie.swf\n",
                   exe);
    auto player = start(exe);
    const HWND window = windowOf(*player, "Broken");
    ASSERT_NE(window, nullptr);

    // The size the window was created with: the system's default for a new window.
    HWND reference = CreateWindowExA(WS_EX_APPWINDOW, "STATIC", "", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    const WindowFacts expected = readWindow(reference);
    DestroyWindow(reference);
    const WindowFacts facts = readWindow(window);
    EXPECT_EQ(facts.width(), expected.width());
    EXPECT_EQ(facts.height(), expected.height());
    EXPECT_EQ(facts.window.right, 1024) << "still placed bottom right";
    EXPECT_EQ(facts.window.bottom, 768);
}

// The mask of twoBlockMask() on a 200 x 100 movie in a 400 x 300 client
// area, as the transform of each scale mode maps it.
TEST_F(MainWindow, MaskRegionFollowsEveryScaleMode)
{
    struct Case {
        const char* name;
        const char* settings;
        XFORM transform; // movie pixels to client pixels
        bool centredUnscaled = false; // the offsets follow the client size
    };
    const std::string common = "windowShape = 2\nshapeMaskFile = blocks\nwindowSize = 3\ncustomWidth = 400\n"
                               "customHeight = 300\n";
    const std::vector<Case> cases = {
        {"ShowAll", "borderStyle = 0x1\nscaleMode = 1\n", {2, 0, 0, 2, 0, 50}},
        {"NoBorder", "borderStyle = 0x1\nscaleMode = 2\n", {3, 0, 0, 3, -100, 0}},
        {"ExactFit", "borderStyle = 0x1\nscaleMode = 0x100\n", {2, 0, 0, 3, 0, 0}},
        {"NoScale", "borderStyle = 0x1\nscaleMode = 0x10\n", {1, 0, 0, 1, 100, 100}},
        // With a caption the client area, and the mask with it, moves inside the window.
        {"Framed", "borderStyle = 0x10\nscaleMode = 0x10\n", {1, 0, 0, 1, 0, 0}, true},
    };
    // All players run at once; each is checked in turn.
    std::vector<std::unique_ptr<PlayerProcess>> players;
    for (const Case& c : cases)
        players.push_back(start(packaged(c.name, common + c.settings)));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const HWND window = windowOf(*players[i], cases[i].name);
        ASSERT_NE(window, nullptr);
        // The expected region for the window as it stands; the player sets
        // its region just after it shows the window.
        const auto expectedRegion = [&] {
            const WindowFacts facts = readWindow(window);
            XFORM transform = cases[i].transform;
            if (cases[i].centredUnscaled) {
                transform.eDx = static_cast<FLOAT>((facts.clientWidth() - 200) / 2);
                transform.eDy = static_cast<FLOAT>((facts.clientHeight() - 100) / 2);
            }
            transform.eDx += facts.client.left - facts.window.left;
            transform.eDy += facts.client.top - facts.window.top;
            const std::vector<std::uint8_t> data = regionData(twoBlockMask());
            return Region(ExtCreateRegion(&transform, static_cast<DWORD>(data.size()),
                                          reinterpret_cast<const RGNDATA*>(data.data())));
        };
        EXPECT_TRUE(waitUntil([&] { return windowRegion(window) == expectedRegion(); }, std::chrono::seconds(5)));
        const Region actual = windowRegion(window);
        ASSERT_TRUE(actual);
        if (std::string(cases[i].name) == "ShowAll") {
            // Hand-checked points: the bar is 400 x 100 from (0, 50); the
            // block 80 x 60 from (40, 170).
            EXPECT_TRUE(actual.contains(0, 50));
            EXPECT_TRUE(actual.contains(399, 149));
            EXPECT_FALSE(actual.contains(200, 150));
            EXPECT_TRUE(actual.contains(40, 170));
            EXPECT_FALSE(actual.contains(39, 170));
            EXPECT_FALSE(actual.contains(120, 170));
            EXPECT_FALSE(actual.contains(10, 40));
        }
    }
}

TEST_F(MainWindow, MissingMaskLeavesTheWindowRectangular)
{
    auto player = start(packaged("NoMask", "windowShape = 2\nshapeMaskFile = nowhere\nborderStyle = 0x1\n"));
    const HWND window = windowOf(*player, "NoMask");
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(windowRegion(window));
}

// A transparent movie placed at (100, 100) over a backdrop: the red square
// covers (150, 125) to (200, 175) of the screen; the rest of the movie is
// background only.
class TransparentMovie : public MainWindow {
protected:
    void expectOnlyTheSquareIsHit(const std::string& name, const std::map<std::string, std::string>& environment,
                                  bool layered)
    {
        BackdropWindow backdrop({0, 0, 600, 400});
        auto player = start(packaged(name, "windowShape = 1\nborderStyle = 0x1\npos = 9\ncustomX = 100\n"
                                           "customY = 100\n"),
                            environment);
        const HWND window = windowOf(*player, name);
        ASSERT_NE(window, nullptr);
        // Rendering starts with the first paint: wait for the outline.
        EXPECT_TRUE(waitUntil([&] { return topLevelAt(110, 110) == backdrop.handle(); }))
            << "a transparent pixel reaches the window below";
        EXPECT_EQ(bool(readWindow(window).exStyle & WS_EX_LAYERED), layered);
        EXPECT_EQ(topLevelAt(175, 150), window) << "the square is the player's";
        EXPECT_EQ(topLevelAt(150, 125), window);
        EXPECT_EQ(topLevelAt(149, 150), backdrop.handle());
        EXPECT_EQ(topLevelAt(200, 150), backdrop.handle());
        EXPECT_EQ(topLevelAt(290, 190), backdrop.handle());
        // What the screen shows: the red square, and the white backdrop
        // through the transparent pixels.
        EXPECT_TRUE(waitUntil([] { return screenPixel(175, 150) == RGB(255, 0, 0); })) << std::hex << screenPixel(175, 150);
        // The backdrop paints what the player leaves free as it is asked to.
        EXPECT_TRUE(waitUntil([] { return screenPixel(110, 110) == RGB(255, 255, 255); }))
            << std::hex << screenPixel(110, 110);
        EXPECT_EQ(screenPixel(290, 190), RGB(255, 255, 255));
        const Region region = windowRegion(window);
        ASSERT_TRUE(region);
        RECT box;
        GetRgnBox(region.get(), &box);
        EXPECT_EQ(box.left, 50);
        EXPECT_EQ(box.top, 25);
        EXPECT_EQ(box.right, 100);
        EXPECT_EQ(box.bottom, 75);
    }
};

TEST_F(TransparentMovie, LayeredWindowShowsOnlyTheShapes)
{
    expectOnlyTheSquareIsHit("Layered", {}, true);
}

TEST_F(TransparentMovie, RegionFallbackShowsOnlyTheShapes)
{
    expectOnlyTheSquareIsHit("Fallback", {{"LUMBRA_NO_LAYERED_WINDOWS", "1"}}, false);
}

TEST_F(MainWindow, OpenMovieCommandOnlyWithoutAPackagedMovie)
{
    writeFile(folder_ / "chosen.swf", movie::buildMovie("movie 320 240\nframe\n"));
    auto empty = start(packaged("Empty", "borderStyle = 0x1\n", ""));
    const HWND window = windowOf(*empty, "Empty");
    ASSERT_NE(window, nullptr);
    pressWithControl(window, 'O');
    HWND dialog = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (dialog = findWindow(empty->id(), "Open Movie")) != nullptr; }));
    SetDlgItemTextA(dialog, 201, (folder_ / "chosen.swf").string().c_str());
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(waitUntil([&] { return readWindow(window).clientWidth() == 320; }));
    EXPECT_EQ(readWindow(window).clientHeight(), 240);

    // With a packaged movie the command does nothing.
    auto packagedMovie = start(packaged("Full", "borderStyle = 0x1\n"));
    const HWND full = windowOf(*packagedMovie, "Full");
    ASSERT_NE(full, nullptr);
    // A dialog would hold the command until it closes.
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(full, WM_COMMAND, 57601, 0, SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(findWindow(packagedMovie->id(), "Open Movie"), nullptr);
}

} // namespace
} // namespace lumbra::test
