// Real keys, clicks and wheel turns into a packaged player's movie: the movie
// reports what it saw through fscommand to the start-up script, which writes
// the trace file read here.
#include "PlayerProcess.h"
#include "UserInput.h"

#include "ActionAssembler.h"
#include "ClipAssembly.h"

#include "control/movie/MovieWriter.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lumbra::test {
namespace {

using movie::test::Asm;
using movie::test::callMethod;
using movie::test::getVar;
using movie::test::Place;
using movie::test::placeObject2;

// Opens fscommand("Orvet_Eval", "trace('<prefix>" + ...: the caller pushes the
// value, closeReport adds it and sends the line.
Asm& openReport(Asm& a, std::string_view prefix)
{
    return a.str("FSCommand:Orvet_Eval").str("trace('" + std::string(prefix));
}
Asm& closeReport(Asm& a) { return a.op(0x47).str("')").op(0x47).record(0x9A, {0}); }
Asm report(std::string_view text)
{
    Asm a;
    openReport(a, text).str("");
    return closeReport(a);
}

// A 200 x 100 movie: a 40 x 40 clip "btn" at (20, 20) that reports its press
// and release; the root reports every key (code and character) and wheel
// turn; the key "q" makes the movie quit.
std::vector<std::uint8_t> inputMovie()
{
    movie::MovieWriter writer(4000, 2000, 24, 8);
    std::uint16_t box = writer.defineShape({movie::Outline::rectangle({0, 0, 800, 800})}, {0xFFFF0000});
    movie::TimelineWriter inner;
    inner.tag(26, placeObject2({1, box, 0, 0, "", std::nullopt, {}}));
    std::uint16_t clip = writer.defineSprite(inner);
    Asm quit;
    quit.str("FSCommand:quit").str("").record(0x9A, {0});
    writer.root().tag(26, placeObject2({1, clip, 20, 20, "btn", std::nullopt,
                                        {{movie::test::kPress, 0, report("press")},
                                         {movie::test::kRelease, 0, report("release")},
                                         {movie::test::kKeyPress, 'q', quit}}}));

    Asm key;
    openReport(key, "key ");
    callMethod(key, "Key", "getCode", 0).op(0x47).str(" ").op(0x47);
    callMethod(key, "Key", "getAscii", 0);
    closeReport(key);
    Asm wheel;
    openReport(wheel, "wheel ");
    getVar(wheel, "delta");
    closeReport(wheel);
    Asm code;
    movie::test::setHandler(code, "_root", "onKeyDown", key);
    getVar(code, "_root").str("onMouseWheel").function("", {"delta"}, wheel).op(0x4F);
    for (const char* source : {"Key", "Mouse"}) {
        getVar(code, "_root");
        callMethod(code, source, "addListener", 1).op(0x17);
    }
    code.op(0x07); // stop
    writer.root().actions(movie::test::actionsOf(code));
    return writer.finish(false);
}

// A point of the movie on the screen, the movie filling the window's client area.
POINT moviePoint(HWND window, int x, int y)
{
    RECT client;
    GetClientRect(window, &client);
    POINT point{x * client.right / 200, y * client.bottom / 100};
    ClientToScreen(window, &point);
    return point;
}

TEST(MovieInput, KeysClicksAndTheWheelReachTheMovie)
{
    const auto folder = scratchFolder("MovieInput");
    const auto project = folder / "project", temp = folder / "temp";
    std::filesystem::create_directories(project);
    std::filesystem::create_directories(temp);
    std::ofstream(project / "Initialize.ovs") << "Application.traceToFile(Application.cmdItems[0]);\n";
    writeFile(project / "input.swf", inputMovie());
    const auto exe = folder / "MovieInput.exe";
    packageProject(project,
                   packageSection("Acme/MovieInput") +
                       "[movies]\nmovie = input.swf\n[scripts]\nInitialize = Initialize.ovs\n",
                   exe);

    const auto trace = folder / "trace.txt";
    PlayerProcess player(exe, "\"" + trace.string() + "\"",
                         {{"TMP", temp.string()}, {"LUMBRA_REPORT_LOG", (folder / "messages.log").string()}});
    HWND window = player.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    bringToFront(window);
    click(moviePoint(window, 40, 40)); // the click also gives the movie the keyboard
    ASSERT_TRUE(waitFor([&] { return readLines(trace).size() >= 2; }));
    pressKeys({'A'});
    pressKeys({VK_LEFT});
    pressKeys({VK_SHIFT, 'B'});
    turnWheel(1);
    ASSERT_TRUE(waitFor([&] { return readLines(trace).size() >= 7; }));
    pressKeys({'Q'});
    EXPECT_EQ(player.waitForExit(), 0u);

    // Wheel turns come in lines: three a notch unless the system is set otherwise.
    UINT lines = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    EXPECT_EQ(readLines(trace), (std::vector<std::string>{
                                    "press",
                                    "release",
                                    "key 65 97",
                                    "key 37 0",
                                    "key 16 0",
                                    "key 66 66",
                                    "wheel " + std::to_string(lines),
                                    "key 81 113",
                                }));
}

} // namespace
} // namespace lumbra::test
