// "FlashPlayer" and "MovieClip" against a fake control.
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "HostFixture.h"
#include "script/runtime/Collector.h"

namespace lumbra::test {
namespace {

class FlashPlayerTest : public HostFixture {
protected:
    FakeControl& control = player.control;
    std::u16string variable(const std::u16string& name) { return control.variables.at(name); }
};

TEST_F(FlashPlayerTest, BoundNamesAreReachedThroughMovieClips)
{
    run("FlashPlayer.bindData('a.b', 7, 'game.player.score')");
    EXPECT_EQ(value("FlashPlayer.a.toString()"), "[object MovieClip]");
    EXPECT_EQ(value("FlashPlayer.a.b"), "undefined");
    EXPECT_EQ(value("typeof FlashPlayer.a.c"), "undefined");
    run("FlashPlayer.game.player.score = 42; FlashPlayer.a.b = 'text'");
    orvet::collect(ctx());
    EXPECT_EQ(value("FlashPlayer.GAME.Player.score"), "int 42");
    run("FlashPlayer.updateData(false)");
    EXPECT_EQ(variable(u"game.player.score"), u"42");
    EXPECT_EQ(variable(u"a.b"), u"text");

    run("var clip = FlashPlayer.a; FlashPlayer.unbindData('a.b')");
    EXPECT_EQ(value("FlashPlayer.a"), "undefined");
    EXPECT_EQ(value("clip.b"), "undefined");
    run("FlashPlayer.unbindAll()");
    EXPECT_EQ(value("FlashPlayer.game"), "undefined");
    run("FlashPlayer.notBound = 3");
    EXPECT_EQ(value("FlashPlayer.notBound"), "undefined");
}

TEST_F(FlashPlayerTest, UpdateDataConvertsFlashTexts)
{
    control.variables = {{u"oct", u"007"}, {u"hex", u"0x1F"}, {u"half", u"1.5"}, {u"word", u"abc"},
                         {u"empty", u""}, {u"yes", u"true"}};
    run("FlashPlayer.bindData('oct', 'hex', 'half', 'word', 'empty', 'yes', 'missing');"
        "FlashPlayer.missing = 'kept'; FlashPlayer.updateData()");
    EXPECT_EQ(value("FlashPlayer.oct"), "int 7");
    EXPECT_EQ(value("FlashPlayer.hex"), "int 31");
    EXPECT_EQ(value("FlashPlayer.half"), "float 1.5");
    EXPECT_EQ(value("FlashPlayer.word"), "abc");
    EXPECT_EQ(value("FlashPlayer.empty"), "int 0");
    EXPECT_EQ(value("FlashPlayer.yes"), "bool true");
    EXPECT_EQ(value("FlashPlayer.missing"), "kept");
}

TEST_F(FlashPlayerTest, ArraysAndObjects)
{
    control.variables = {{u"list.length", u"3"}, {u"list.0", u"1"}, {u"list.1", u"undefined"}, {u"list.2", u"x"},
                         {u"big.length", u"5001"}, {u"big", u"a,,b,c"}, {u"bad.length", u"-1"}, {u"bad", u"q"}};
    EXPECT_EQ(value("var l = FlashPlayer.getArray('list'); l.length + ':' + l[0] + ':' + typeof l[1] + ':' + l[2]"),
              "3:1:undefined:x");
    EXPECT_EQ(value("typeof FlashPlayer.getArray('list')[0]"), "number");
    EXPECT_EQ(value("var b = FlashPlayer.getArray('big'); b.length + ':' + b.join('|')"), "3:a|b|c");
    EXPECT_EQ(value("FlashPlayer.getArray('bad').join()"), "q");
    EXPECT_EQ(value("FlashPlayer.getArray('none')"), "undefined");
    EXPECT_EQ(value("FlashPlayer.getArray(1)"), "undefined");

    control.log.clear();
    run("FlashPlayer.putArray('out', [1, 'two', true])");
    EXPECT_EQ(control.log, (std::vector<std::string>{"SetVariable(out.0,1)", "SetVariable(out.1,two)", "SetVariable(out.2,true)"}));
    control.log.clear();
    run("var sparse = []; sparse[1000000] = 'far'; FlashPlayer.putArray('s', sparse); FlashPlayer.putArray('s', 'no')");
    EXPECT_EQ(control.log, std::vector<std::string>{"SetVariable(s.1000000,far)"});

    control.variables = {{u"o.x", u"10"}, {u"o.y", u"abc"}};
    EXPECT_EQ(value("var o = FlashPlayer.getObject('o', 'x', ['y', 5, 'z']); typeof o.x + ':' + o.x + ':' + o.y + ':' + typeof o.z"),
              "string:10:abc:undefined");
    EXPECT_EQ(value("FlashPlayer.getObject('o')"), "undefined");
    EXPECT_EQ(value("FlashPlayer.getObject('o', 'x', 3)"), "undefined");

    control.log.clear();
    run("FlashPlayer.putObject('p', {a: 1, b: 'two', c: [1, 2], d: {}, e: null, f: 1.5})");
    std::sort(control.log.begin(), control.log.end());
    EXPECT_EQ(control.log, (std::vector<std::string>{"SetVariable(p.a,1)", "SetVariable(p.b,two)", "SetVariable(p.c,1,2)",
                                                     "SetVariable(p.f,1.5)"}));
}

TEST_F(FlashPlayerTest, ControlMethodsCheckArgumentKinds)
{
    EXPECT_EQ(value("FlashPlayer.setVariable('v', 'hello')"), "bool true");
    EXPECT_EQ(value("FlashPlayer.getVariable('v')"), "hello");
    EXPECT_EQ(value("FlashPlayer.getVariable('none')"), "undefined");
    EXPECT_EQ(value("FlashPlayer.setVariable('v', 5)"), "undefined");
    control.log.clear();
    EXPECT_EQ(value("FlashPlayer.targetSetPropertyNum('/a', 2, 5)"), "undefined");
    EXPECT_TRUE(control.log.empty());
    EXPECT_EQ(value("FlashPlayer.targetSetPropertyNum('/a', 2, 5.5)"), "bool true");
    EXPECT_EQ(control.log, std::vector<std::string>{"TSetPropertyNum(/a,2,5.500000)"});
    EXPECT_EQ(value("FlashPlayer.play()"), "bool true");
    control.failing = {u"Play", u"CurrentFrame", u"TCurrentLabel", u"TotalFrames"};
    EXPECT_EQ(value("FlashPlayer.play()"), "bool false");
    EXPECT_EQ(value("FlashPlayer.currentFrame()"), "int -1");
    EXPECT_EQ(value("FlashPlayer.targetCurrentLabel('/')"), "undefined");
    EXPECT_EQ(value("FlashPlayer.totalFrames"), "int -1");
    control.results[u"IsPlaying"] = true;
    control.results[u"TGetPropertyNum"] = 12.5;
    EXPECT_EQ(value("FlashPlayer.isPlaying()"), "bool true");
    EXPECT_EQ(value("FlashPlayer.targetGetPropertyNum('/', 1)"), "float 12.5");
    EXPECT_EQ(value("FlashPlayer.gotoFrame('3')"), "undefined");
    EXPECT_EQ(value("FlashPlayer.toString()"), "[object FlashPlayer]");
}

TEST_F(FlashPlayerTest, PropertiesFollowTheControl)
{
    control.properties[u"Playing"] = false;
    run("FlashPlayer.playing = 1; FlashPlayer.quality = 2; FlashPlayer.quality = '3'; FlashPlayer.movie = 'm.swf';"
        "FlashPlayer.bgColor = '#ff0000'; FlashPlayer.menu = false; FlashPlayer.totalFrames = 9;");
    EXPECT_EQ(control.log, (std::vector<std::string>{"Playing=true", "Quality=2", "Movie=m.swf", "BGColor=#ff0000", "Menu=false"}));
    EXPECT_EQ(value("FlashPlayer.playing"), "bool true");
    EXPECT_EQ(value("FlashPlayer.quality"), "int 2");
    EXPECT_EQ(value("FlashPlayer.movie"), "m.swf");
    control.properties[u"WMode"] = std::u16string();
    EXPECT_EQ(value("FlashPlayer.wmode"), "undefined");
}

// One Window object for the player window, kept in its global; the
// right-button handler goes to that window's routing record.
TEST_F(FlashPlayerTest, WindowIsOneCachedObjectThatCarriesTheContextMenuHandler)
{
    EXPECT_EQ(value("var w = FlashPlayer.window; w === FlashPlayer.window && w === $_LUMBRA_FLASHPLAYER_WINDOW_"),
              "bool true");
    EXPECT_EQ(value("FlashPlayer.window.fakeWindow"), "int " + std::to_string(0x5678));
    EXPECT_EQ(player.windowObjectsMade, 1);
    run("FlashPlayer.window = 5; $_LUMBRA_FLASHPLAYER_WINDOW_ = {fakeWindow: 1}");
    EXPECT_EQ(value("FlashPlayer.window.fakeWindow"), "int " + std::to_string(0x5678));
    EXPECT_EQ(player.windowObjectsMade, 2);

    EXPECT_EQ(value("FlashPlayer.onContextMenu = function() {}; FlashPlayer.onContextMenu"), "undefined");
    EXPECT_EQ(player.rightButtonHandlers[0x5678], "function");
    run("FlashPlayer.onContextMenu = 'menu'");
    EXPECT_EQ(player.rightButtonHandlers[0x5678], "none");
    EXPECT_EQ(player.windowObjectsMade, 2);

    player.flashHandle = 0; // no player window
    EXPECT_EQ(value("FlashPlayer.window"), "null");
    run("FlashPlayer.onContextMenu = function() {}");
    EXPECT_EQ(player.rightButtonHandlers.size(), 1u);
    player.flashHandle = 0x5678;
    player.windowClass = false; // a build without Window objects
    run("$_LUMBRA_FLASHPLAYER_WINDOW_ = null");
    EXPECT_EQ(value("FlashPlayer.window"), "undefined");
}

TEST_F(FlashPlayerTest, WithoutAControlEverythingIsUndefined)
{
    player.hasControl = false;
    EXPECT_EQ(value("FlashPlayer.play()"), "undefined");
    EXPECT_EQ(value("FlashPlayer.getVariable('v')"), "undefined");
    EXPECT_EQ(value("FlashPlayer.getArray('v')"), "undefined");
    EXPECT_EQ(value("FlashPlayer.movie"), "undefined");
    EXPECT_EQ(value("FlashPlayer.movieToWindow(1, 2, 3, 4)"), "undefined");
    run("FlashPlayer.quality = 1; FlashPlayer.updateData(); FlashPlayer.putObject('p', {a: 1})");
}

TEST_F(FlashPlayerTest, MovieToWindowFollowsTheScaleMode)
{
    control.properties[u"ScaleMode"] = 0;
    EXPECT_EQ(value("var r = FlashPlayer.movieToWindow(10, 10, 10, 10); [r.left, r.right, r.top, r.bottom].join()"),
              "20,20,120,120");
    control.properties[u"ScaleMode"] = 3;
    EXPECT_EQ(value("r = FlashPlayer.movieToWindow(0, '550', 0, 400); [r.left, r.right, r.top, r.bottom].join()"),
              "275,825,300,700");
    EXPECT_EQ(value("FlashPlayer.movieToWindow(1, 2, 3)"), "undefined");
    player.movie = {0, 0};
    EXPECT_EQ(value("FlashPlayer.movieToWindow(1, 2, 3, 4)"), "undefined");
}

// A movie header by hand: "FWS", version 6, length 1000, a frame rectangle
// of 0..11000 by 0..8000 twips (5-bit field size 15), rate 24.0, 3 frames.
std::vector<std::uint8_t> movieHeader()
{
    std::vector<std::uint8_t> bytes = {'F', 'W', 'S', 6, 0xe8, 0x03, 0, 0};
    // nbits = 15: 01111, then xMin 0, xMax 11000, yMin 0, yMax 8000 in 15 bits each.
    std::uint64_t bits = 0;
    int count = 0;
    const auto push = [&](std::uint32_t value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            bits = bits << 1 | ((value >> i) & 1);
            if (++count % 8 == 0) {
                bytes.push_back(static_cast<std::uint8_t>(bits));
                bits = 0;
            }
        }
    };
    push(15, 5);
    push(0, 15);
    push(11000, 15);
    push(0, 15);
    push(8000, 15);
    if (count % 8)
        bytes.push_back(static_cast<std::uint8_t>(bits << (8 - count % 8)));
    for (std::uint8_t b : {0, 24, 3, 0})
        bytes.push_back(b);
    return bytes;
}

TEST_F(FlashPlayerTest, MovieInfoFromAMovieOrAProgramWithOne)
{
    const auto folder = std::filesystem::temp_directory_path() / "lumbra-host-movieinfo";
    std::filesystem::create_directories(folder);
    const std::vector<std::uint8_t> header = movieHeader();
    {
        std::ofstream(folder / "m.SWF", std::ios::binary).write(reinterpret_cast<const char*>(header.data()), header.size());
        std::ofstream exe(folder / "p.exe", std::ios::binary);
        exe << "MZ program bytes";
        exe.write(reinterpret_cast<const char*>(header.data()), header.size());
        // The projector trailer: a marker word, then the movie's length.
        const std::uint8_t tail[8] = {0x56, 0x34, 0x12, 0xfa, static_cast<std::uint8_t>(header.size()), 0, 0, 0};
        exe.write(reinterpret_cast<const char*>(tail), 8);
        std::ofstream(folder / "plain.exe", std::ios::binary) << "MZ nothing appended here";
    }
    const std::string movie = (folder / "m.SWF").string();
    EXPECT_EQ(value("var i = FlashPlayer.getMovieInfo('" + movie + "');"
                    "[i.frameSize.xMin, i.frameSize.xMax, i.frameSize.yMin, i.frameSize.yMax, i.rate, i.frameCount,"
                    " i.version, i.size].join()"),
              "0,550,0,400,24,3,6,1000");
    EXPECT_EQ(value("FlashPlayer.getMovieInfo('" + (folder / "p.exe").string() + "').frameSize.xMax"), "int 550");
    EXPECT_EQ(value("FlashPlayer.getMovieInfo('" + (folder / "plain.exe").string() + "')"), "null");
    EXPECT_EQ(value("FlashPlayer.getMovieInfo('" + (folder / "none.swf").string() + "')"), "null");
    EXPECT_EQ(value("FlashPlayer.getMovieInfo()"), "undefined");
}

} // namespace
} // namespace lumbra::test
