// A packaged application whose scripts talk to the movie and the player:
// the start-up script opens a trace file and starts a timer, the movie sends
// its commands frame by frame, the scripts answer through FlashPlayer, and
// the application ends itself. Everything is observed from outside, in the
// trace file the scripts write.
#include "PlayerProcess.h"

#include "control/movie/MovieDescription.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lumbra::test {
namespace {

void writeText(const std::filesystem::path& file, std::string_view text)
{
    std::ofstream(file, std::ios::binary) << text;
}

TEST(ApplicationScripts, MovieCommandsRunScriptsThatAnswerThroughFlashPlayer)
{
    const auto folder = scratchFolder("ApplicationScripts");
    const auto project = folder / "project", temp = folder / "temp";
    std::filesystem::create_directories(project);
    std::filesystem::create_directories(temp);

    writeText(project / "Initialize.ovs",
              "Application.traceToFile(Application.cmdItems[0]);\n"
              "trace('init ' + typeof FlashPlayer + ' ' + Application.SysTray);\n"
              "var ticks = 0;\n"
              "function tick(step) { ticks += step; }\n"
              "Application.setInterval(tick, 10, 1);\n"
              "function loaded(path) { trace('loaded ' + (path == getMovies()[0])); }\n"
              "Application.onMovieLoaded = loaded;\n"
              "Application.Interaction.hotKey = 'ctrl+alt+q';\n"
              "trace('hot key ' + Application.Interaction.hotKey);\n"
              "Application.setBasePath('attachments');\n"
              "trace('base ' + (Application.getBasePath() == null));\n");
    writeText(project / "Report.ovs",
              "trace('run ' + FlashPlayer.getVariable('answer'));\n"
              "var mark = 1;\n"
              "trace('frames ' + FlashPlayer.getMovieInfo(getMovies()[0]).frameCount + ' ' + FlashPlayer.totalFrames);\n");
    writeText(project / "Later.ovs", "trace('async ' + mark + ' ' + FlashPlayer.getVariable('missing'));\n");
    // Frame 1 answers at once; the asynchronous run waits for idle time; the
    // timer has ticked by frame 3; after Orvet_Quit a fresh engine knows
    // nothing of the earlier globals (and its timer is gone); "quit" ends it.
    writeFile(project / "commands.swf",
              movie::buildMovie("movie 200 100 rate 12\n"
                                "frame\n"
                                "  actions { fscommand \"Orvet_Eval\" \"trace('eval ' + (1 + 2))\"\n"
                                "            fscommand \"Orvet_Eval\" \"FlashPlayer.setVariable('answer', 'from eval')\"\n"
                                "            fscommand \"orvet_run\" \"Report\"\n"
                                "            fscommand \"Orvet_Run\" \"NoSuchScript\"\n"
                                "            fscommand \"Orvet_AsynRun\" \"Later\" }\n"
                                "frame\n"
                                "frame\n"
                                "  actions { fscommand \"Orvet_Eval\" \"trace('ticks ' + (ticks > 0))\"\n"
                                "            fscommand \"Orvet_Eval\" \"var box = FlashPlayer.movieToWindow(0, 200, 0, 100)\"\n"
                                "            fscommand \"Orvet_Eval\" \"trace('box ' + box.left + ' ' + box.right + ' ' + box.top + ' ' + box.bottom)\"\n"
                                "            fscommand \"Orvet_Quit\"\n"
                                "            fscommand \"Orvet_Eval\" \"trace('fresh ' + typeof ticks + ' ' + typeof mark)\" }\n"
                                "frame\n"
                                "  actions { stop\n"
                                "            fscommand \"quit\" }\n"));
    const auto exe = folder / "Commands.exe";
    packageProject(project,
                   packageSection("Acme/Commands") +
                       "[movies]\nmovie = commands.swf\n"
                       "[scripts]\nInitialize = Initialize.ovs\nReport = Report.ovs\nLater = Later.ovs\n",
                   exe);

    const auto trace = folder / "trace.txt";
    PlayerProcess player(exe, "\"" + trace.string() + "\"",
                         {{"TMP", temp.string()}, {"LUMBRA_REPORT_LOG", (folder / "messages.log").string()}});
    EXPECT_EQ(player.waitForExit(), 0u);
    // The movie's first frame runs while it loads, so its commands come
    // before "onMovieLoaded"; reading a global that a fresh engine lacks is
    // the engine's own warning.
    EXPECT_EQ(readLines(trace), (std::vector<std::string>{
                                    "init object [object SysTray]",
                                    "hot key CTRL+ALT+Q",
                                    "base true",
                                    "eval 3",
                                    "run from eval",
                                    "frames 4 4",
                                    "loaded true",
                                    "async 1 undefined",
                                    "ticks true",
                                    "box 0 200 0 100",
                                    "Warning: using undefined variable \"ticks\"",
                                    "Warning: using undefined variable \"mark\"",
                                    "fresh undefined undefined",
                                }));
    EXPECT_TRUE(readLines(folder / "messages.log").empty());
}

} // namespace
} // namespace lumbra::test
