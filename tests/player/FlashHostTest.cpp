// The movie control's host window in this process, with the real control
// loaded from its file: the player's Flash menu commands, their menu state,
// the movie's commands and the sprite bounds query.
#include "PlayerProcess.h"

#include "player/CShockwaveFlash.h"

#include "control/movie/MovieDescription.h"

#include <gtest/gtest.h>

#include <thread>

namespace lumbra::test {
namespace {

using Host = CShockwaveFlash;

class FlashHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() { OleInitialize(nullptr); }
    static void TearDownTestSuite() { OleUninitialize(); }

    void SetUp() override
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "FlashHostTestParent";
        RegisterClassA(&windowClass);
        parent_ = CreateWindowExA(0, windowClass.lpszClassName, "", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                                  320, 240, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(parent_, nullptr);
        ASSERT_TRUE(SUCCEEDED(host_.create(parent_, builtControl().string())));
        menu_ = CreatePopupMenu();
        for (UINT id : {Host::zoomIn, Host::zoomOut, Host::fullSize, Host::showAll, Host::qualityLow,
                        Host::qualityMedium, Host::qualityHigh, Host::play, Host::loop, Host::rewind})
            AppendMenuA(menu_, MF_STRING, id, "item");
        folder_ = scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override
    {
        DestroyMenu(menu_);
        host_.destroy();
        DestroyWindow(parent_);
    }

    UINT state(UINT id)
    {
        host_.updateMenu(menu_);
        return GetMenuState(menu_, id, MF_BYCOMMAND);
    }
    bool checked(UINT id) { return (state(id) & MF_CHECKED) != 0; }

    std::string movie(const std::string& description)
    {
        const auto file = folder_ / "movie.swf";
        writeFile(file, movie::buildMovie(description));
        return file.string();
    }

    // Lets the control play until `done` holds (or a generous time passed).
    template <class Done>
    void pumpUntil(Done done)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        MSG message;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    HWND parent_ = nullptr;
    HMENU menu_ = nullptr;
    Host host_;
    std::filesystem::path folder_;
};

TEST_F(FlashHost, ZoomOutIsUnavailableUntilZoomInWasUsed)
{
    EXPECT_TRUE(state(Host::zoomOut) & MF_GRAYED);
    EXPECT_TRUE(host_.onCommand(Host::zoomIn));
    EXPECT_EQ(host_.zoomCounter(), 1);
    EXPECT_FALSE(state(Host::zoomOut) & MF_GRAYED);
    EXPECT_TRUE(host_.onCommand(Host::zoomOut));
    EXPECT_EQ(host_.zoomCounter(), 0);
    EXPECT_TRUE(state(Host::zoomOut) & MF_GRAYED);
}

TEST_F(FlashHost, TheCurrentQualityAndScaleModeAreChecked)
{
    for (UINT quality : {Host::qualityLow, Host::qualityMedium, Host::qualityHigh}) {
        EXPECT_TRUE(host_.onCommand(quality));
        for (UINT item : {Host::qualityLow, Host::qualityMedium, Host::qualityHigh})
            EXPECT_EQ(checked(item), item == quality) << quality << " " << item;
    }
    host_.onCommand(Host::showAll);
    EXPECT_TRUE(checked(Host::showAll));
    EXPECT_FALSE(checked(Host::fullSize));
    host_.onCommand(Host::fullSize);
    EXPECT_FALSE(checked(Host::showAll));
    EXPECT_TRUE(checked(Host::fullSize));
}

TEST_F(FlashHost, PlayAndLoopToggle)
{
    EXPECT_FALSE(checked(Host::play)) << "no movie";
    ASSERT_TRUE(host_.loadMovie(movie("movie 200 100\nframe\nframe\nframe\n"), true));
    EXPECT_EQ(host_.movieWidth(), 200);
    EXPECT_EQ(host_.movieHeight(), 100);
    EXPECT_TRUE(checked(Host::play));
    host_.onCommand(Host::play);
    EXPECT_FALSE(checked(Host::play));
    host_.onCommand(Host::play);
    EXPECT_TRUE(checked(Host::play));
    const bool looping = checked(Host::loop);
    host_.onCommand(Host::loop);
    EXPECT_NE(checked(Host::loop), looping);
    host_.onCommand(Host::loop);
    EXPECT_EQ(checked(Host::loop), looping);
}

TEST_F(FlashHost, OtherCommandsAreNotTheHosts)
{
    EXPECT_FALSE(host_.onCommand(Host::aboutFlash));
    EXPECT_FALSE(host_.onCommand(32777));
    EXPECT_EQ(SendMessageA(host_.window(), WM_COMMAND, Host::zoomIn, 0), 0);
    EXPECT_EQ(host_.zoomCounter(), 1) << "WM_COMMAND reaches the host's commands";
}

TEST_F(FlashHost, TheMoviesCommandsArriveAsAnsiText)
{
    std::vector<std::pair<std::string, std::string>> commands;
    host_.onFSCommand = [&](const char* command, const char* argument) { commands.emplace_back(command, argument); };
    ASSERT_TRUE(host_.loadMovie(
        movie("movie 100 100\nframe\nactions { fscommand \"Orvet_Eval\" \"trace('caf\xC3\xA9')\"; fscommand quit; stop }\n"),
        true));
    pumpUntil([&] { return commands.size() >= 2; });
    EXPECT_EQ(commands, (std::vector<std::pair<std::string, std::string>>{{"Orvet_Eval", "trace('caf\xE9')"},
                                                                          {"quit", ""}}));
    EXPECT_NE(host_.currentMovie().find("movie.swf"), std::string::npos);
}

TEST_F(FlashHost, SpriteBoundsAreReadFromTheMoviesVariablesInTwips)
{
    EXPECT_FALSE(host_.spriteBounds()) << "no clip path";
    ASSERT_TRUE(host_.loadMovie(movie("movie 100 100\nframe\nactions { set xMin \"10.9\"; set yMin \"-2.5\"; "
                                      "set xMax \"60\"; stop }\n"),
                                true));
    host_.setSpriteBoundsSource("_root", "");
    pumpUntil([&] { return host_.spriteBounds()->right != 0; }); // the first frame has run
    const std::optional<RECT> bounds = host_.spriteBounds();
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->left, 200);
    EXPECT_EQ(bounds->top, -40);
    EXPECT_EQ(bounds->right, 1200);
    EXPECT_EQ(bounds->bottom, 0) << "a variable that cannot be read gives 0";
}

} // namespace
} // namespace lumbra::test
