// "MCI" in a packaged player started as a user starts it: the start-up
// script plays a wave file to its end and opens a video, writing what it
// sees to a trace file; the test finds the video's playback window inside
// the player's Flash window from outside and closes the player.
#include "MediaFiles.h"
#include "PlayerProcess.h"

#include "control/movie/MovieDescription.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <thread>

namespace lumbra::test {
namespace {

using namespace std::chrono_literals;

// Waits until the file has a line that begins with `start`; that line, or "".
std::string waitForLine(const std::filesystem::path& file, const std::string& start, const PlayerProcess& player)
{
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline && player.waitForExit(0ms) == STILL_ACTIVE) {
        for (const std::string& line : readLines(file))
            if (line.rfind(start, 0) == 0)
                return line;
        std::this_thread::sleep_for(50ms);
    }
    return "";
}

BOOL CALLBACK findPlayback(HWND hwnd, LPARAM found)
{
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    if (std::wstring_view(name) != L"Lumbra_Playback_Window" || !IsWindowVisible(hwnd))
        return TRUE;
    *reinterpret_cast<HWND*>(found) = hwnd;
    return FALSE;
}

TEST(PackagedMci, AWavePlaysToItsEndAndAVideoShowsInsideTheFlashWindow)
{
    const auto folder = scratchFolder("PackagedMci");
    const auto project = folder / "project";
    std::filesystem::create_directories(project);
    writeWave(folder / "tune.wav", 300);
    writeVideo(folder / "clip.avi", 40, 30, 5);
    std::ofstream(project / "Initialize.ovs", std::ios::binary)
        << "Application.traceToFile(Application.cmdItems[0]);\n"
           "var sound = new MCI();\n"
           "sound.fileName = Application.cmdItems[1];\n"
           "sound.onNotify = function(code) { trace('notice ' + code + ' ' + (this == sound) + ' ' + this.position); };\n"
           "sound.command = 'open';\n"
           "sound.notify = true;\n"
           "trace('sound ' + sound.error + ' ' + sound.alias + ' ' + sound.length);\n"
           "var video = new MCI();\n"
           "video.fileName = Application.cmdItems[2];\n"
           "video.left = 12; video.top = 8;\n"
           "video.command = 'open';\n"
           "var w = video.playerWindow;\n"
           "trace('video ' + video.error + ' ' + video.alias + ' ' + [w.left, w.top, w.width, w.height].join());\n"
           "sound.command = 'play';\n";
    writeFile(project / "still.swf", movie::buildMovie("movie 320 240 rate 12\nframe\n  actions { stop }\n"));
    const auto exe = folder / "Media.exe";
    packageProject(project,
                   packageSection("Acme/Media") + "[movies]\nmovie = still.swf\n[scripts]\nInitialize = Initialize.ovs\n",
                   exe);

    const auto trace = folder / "trace.txt";
    PlayerProcess player(exe,
                         "\"" + trace.string() + "\" \"" + (folder / "tune.wav").string() + "\" \""
                             + (folder / "clip.avi").string() + "\"",
                         {{"LUMBRA_REPORT_LOG", (folder / "messages.log").string()}});
    const HWND main = player.waitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(waitForLine(trace, "notice", player), "notice 1 true 300");

    HWND playback = nullptr;
    EnumChildWindows(main, findPlayback, reinterpret_cast<LPARAM>(&playback));
    ASSERT_NE(playback, nullptr);
    const HWND flash = GetParent(playback);
    EXPECT_NE(flash, main); // inside the Flash window, itself inside the main window
    EXPECT_EQ(GetAncestor(flash, GA_ROOT), main);
    RECT video, host;
    GetWindowRect(playback, &video);
    GetWindowRect(flash, &host);
    EXPECT_EQ(video.left - host.left, 12);
    EXPECT_EQ(video.top - host.top, 8);
    EXPECT_EQ(video.right - video.left, 40);
    EXPECT_EQ(video.bottom - video.top, 30);

    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_EQ(readLines(trace), (std::vector<std::string>{
                                    "sound false _Orvet_MCI_0 300",
                                    "video false _Orvet_MCI_1 12,8,40,30",
                                    "notice 1 true 300",
                                }));
    EXPECT_TRUE(readLines(folder / "messages.log").empty());
}

} // namespace
} // namespace lumbra::test
