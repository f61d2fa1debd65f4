// Fuzz target: parse a movie, play a few frames with its actions, draw it in memory and
// click around, so that hostile files show any crash, hang or overrun.
#include "control/movie/MoviePlayer.h"
#include "control/movie/RasterCanvas.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    lumbra::movie::MoviePlayer player;
    player.setFsCommandHandler([](const std::u16string&, const std::u16string&) {});
    player.setTraceHandler([](const std::u16string&) {});
    if (!player.load({data, size}))
        return 0;
    // The same file once more on a level above, reached through its paths.
    player.loadLevel(1, {data, size});
    // A small surface keeps runs fast while every drawing path still runs.
    player.setViewport(80, 60);
    lumbra::movie::RasterCanvas canvas(80, 60);
    for (int frame = 0; frame < 4; ++frame) {
        player.advance();
        player.mouseMove(40.0 * frame, 30.0 * frame);
        player.mouseDown(40.0 * frame, 30.0 * frame);
        player.mouseUp(40.0 * frame, 30.0 * frame);
        player.render(canvas);
    }
    player.gotoFrame(0);
    player.getVariable(u"/:a");
    player.tCallFrame(u"/", 1);
    player.tGetProperty(u"/", 8);
    player.tGotoFrame(u"_level1", 1);
    player.getVariable(u"_level1:a");
    player.unloadLevel(1);
    return 0;
}
