// Movies that load movies: into clips, onto levels, through MovieClipLoader,
// and symbols imported from other movies. The movies are compiled from source
// (or written tag by tag) into a temporary folder that plays the main movie's
// own folder. Expected texts follow the language reference's descriptions of
// loadMovie, loadMovieNum, _levelN, _root, _lockroot and MovieClipLoader.
#include "MovieTestSupport.h"
#include "control/movie/HeadlessPlay.h"
#include "control/movie/LocalFiles.h"
#include "control/movie/MoviePlayer.h"
#include "control/movie/MovieWriter.h"
#include "control/movie/TagCodes.h"
#include "tests/package/TempFolder.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

#include <string>

namespace lumbra::movie::test {
namespace {

using lumbra::test::TempFolder;

void writeSource(const TempFolder& folder, const std::string& name, std::string_view source, int frames = 1,
                 int version = 8)
{
    lumbra::test::writeFile(folder / name, actionscript::compileMovie(source, version, frames));
}

// Plays a movie of the folder for `frames` frames; its trace output.
std::string play(const TempFolder& folder, long frames, const char* name = "main.swf")
{
    std::string out;
    auto error = playHeadless(lumbra::test::readFile(folder / name), frames,
                              [&out](std::string_view line) { out += line; }, {folder.path(), {}});
    return error ? "error: " + *error : out;
}

TEST(MovieLoading, LoadedMovieReplacesTheClipsContentOnTheNextFrame)
{
    TempFolder folder;
    writeSource(folder, "child.swf", R"(
trace("child 1: " + this + " " + _root + " " + _url + " " + _name + " " + _x + " " + keep);
var v = "child var";
#frame
trace("child 2: " + _currentframe);
#frame
stop();
)");
    writeSource(folder, "main.swf", R"(
#clip holder
onClipEvent (load) { trace("load event: " + this._totalframes); }
#endclip
holder.keep = "kept?";
holder._x = 30;
holder.loadMovie("child.swf");
trace("asked: " + holder._totalframes + " " + holder.keep);
#frame
trace("main 2: " + holder._x + " " + holder._name + " " + holder.keep + " " + holder.v + " " + holder._totalframes
      + " " + holder._framesloaded + " " + holder._url);
trace("bytes: " + (holder.getBytesLoaded() == holder.getBytesTotal()) + " " + (holder.getBytesTotal() > 20)
      + " " + holder.getSWFVersion());
#frame
holder.unloadMovie();
#frame
trace("main 4: " + holder + " " + holder._totalframes + " " + holder.v);
)", 4);
    EXPECT_EQ(play(folder, 4), "asked: 1 kept?\n"
                               "load event: 1\n"
                               "child 1: _level0.holder _level0 child.swf holder 30 undefined\n"
                               "load event: 3\n"
                               "main 2: 30 holder undefined child var 3 3 child.swf\n"
                               "bytes: true true 8\n"
                               "child 2: 2\n"
                               "main 4: _level0.holder 1 undefined\n");
}

TEST(MovieLoading, LevelsAreReachedByEveryKindOfPath)
{
    TempFolder folder;
    writeSource(folder, "upper.swf", R"(
#clip a
#endclip
a.b = "deep";
var who = "upper";
trace("upper: " + this + " " + _root + " " + a + " " + _level0.who + " " + _target + " " + a._target);
)", 1, 6);
    writeSource(folder, "main.swf", R"(
var who = "main";
trace("before: " + _level1 + " " + typeof (_level1) + " " + eval("_level1"));
loadMovieNum("upper.swf", 1);
#frame
trace("paths: " + _level1 + " " + _level1.who + " " + _LEVEL1.a.b + " " + eval("_level1/a:b") + " " + eval("_level1.a"));
trace("props: " + getProperty("_level1", _totalframes) + " " + getProperty("_level1/a", _name));
setProperty("_level1/a", _x, 12);
tellTarget ("_level1/a") { trace("told: " + _x + " " + _target); }
trace("empty: " + _level2 + " " + _level2.x + " " + eval("_level2/a:b"));
_level1.a.loadMovie("missing.swf");
unloadMovieNum(1);
#frame
trace("after unload: " + _level1 + " " + typeof (_level1));
)", 3);
    EXPECT_EQ(play(folder, 3), "before: undefined undefined undefined\n"
                               "upper: _level1 _level1 _level1.a main _level1 _level1/a\n"
                               "paths: _level1 upper deep deep _level1.a\n"
                               "props: 1 a\n"
                               "told: 12 _level1/a\n"
                               "empty: undefined undefined undefined\n"
                               "after unload: undefined undefined\n");
}

TEST(MovieLoading, RootOfALoadedMovieAndLockroot)
{
    TempFolder folder;
    writeSource(folder, "sub/child.swf", R"(
trace("child root: " + _root + " " + _url);
_root.fromChild = "set through _root";
loadMovieNum("grand.swf", 2);
)");
    writeSource(folder, "sub/grand.swf", R"(trace("grand: " + this + " " + _url);)");
    writeSource(folder, "main.swf", R"(
#clip free
#endclip
#clip locked
#endclip
locked._lockroot = true;
free.loadMovie("sub/child.swf");
loadMovie("sub/child.swf", "locked");
#frame
#frame
trace("main: " + fromChild + " " + locked.fromChild + " " + _level2);
)", 3);
    EXPECT_EQ(play(folder, 3), "child root: _level0 sub/child.swf\n"
                               "child root: _level0.locked sub/child.swf\n"
                               "grand: _level2 sub/grand.swf\n"
                               "main: set through _root set through _root _level2\n");
}

TEST(MovieLoading, FailedLoadsLeaveTheTargetAsItWas)
{
    TempFolder folder;
    lumbra::test::writeFile(folder / "notamovie.swf", std::string("this is text, not a movie"));
    lumbra::test::writeFile(folder.path().parent_path() / "outside-lumbra.swf",
                            actionscript::compileMovie("trace('outside');", 8));
    writeSource(folder, "main.swf", R"(
#clip holder
var mine = "mine";
#endclip
holder.loadMovie("missing.swf");
loadMovie("notamovie.swf", holder);
loadMovie("../outside-lumbra.swf", "holder");
loadMovieNum("http://example.com/remote.swf", 3);
loadMovieNum("", 4);
#frame
trace(holder.mine + " " + holder._totalframes + " " + _level3 + " " + _level4);
)", 2);
    EXPECT_EQ(play(folder, 2), "mine 1 undefined undefined\n");
    std::filesystem::remove(folder.path().parent_path() / "outside-lumbra.swf");
}

TEST(MovieLoading, MovieClipLoaderTellsItsListenersInOrder)
{
    TempFolder folder;
    writeSource(folder, "child.swf", R"(
trace("child frame 1");
var ready = "ready";
)");
    writeSource(folder, "main.swf", R"(
#clip holder
#endclip
var mcl = new MovieClipLoader();
var log = function (name) { return function (t, a, b) { trace(name + " " + t + (a == undefined ? "" : " " + a)
    + (b == undefined ? "" : " " + b)); }; };
mcl.onLoadStart = log("self start");
var other = {};
other.onLoadStart = log("start");
other.onLoadProgress = function (t, loaded, total) { trace("progress " + t + " " + (loaded == total) + " " + (total > 0)); };
other.onLoadComplete = log("complete");
other.onLoadInit = function (t) { trace("init " + t + " " + t.ready + " " + mcl.getProgress(t).bytesTotal
    + " " + (mcl.getProgress(t).bytesLoaded == t.getBytesTotal())); };
other.onLoadError = log("error");
trace(mcl.addListener(other) + " " + mcl.loadClip("child.swf", holder) + " " + mcl.loadClip("child.swf"));
mcl.loadClip("nothing.swf", "holder.none");
mcl.loadClip("missing.swf", 5);
#frame
mcl.removeListener(other);
mcl.loadClip("child.swf", "_level2");
#frame
trace("levels: " + _level5 + " " + _level2.ready + " " + typeof (MovieClipLoader.prototype.addListener));
mcl.unloadClip(2);
#frame
trace("unloaded: " + _level2);
)", 4, 7);
    std::string out = play(folder, 4);
    // The loaded file's length is what getProgress gives.
    auto length = std::to_string(lumbra::test::readFile(folder / "child.swf").size());
    EXPECT_EQ(out, "true true false\n"
                   "self start _level0.holder\n"
                   "start _level0.holder\n"
                   "progress _level0.holder true true\n"
                   "complete _level0.holder 0\n"
                   "child frame 1\n"
                   "init _level0.holder ready " + length + " true\n"
                   "error undefined URLNotFound\n" // no level 5 to name
                   "self start _level2\n"
                   "child frame 1\n"
                   "levels: undefined ready function\n"
                   "unloaded: undefined\n");
}

TEST(MovieLoading, ALevelZeroLoadReplacesTheWholeMovieInTheSameStage)
{
    TempFolder folder;
    writeSource(folder, "next.swf", R"(
trace("next movie: " + _root.from + " " + _level1);
fscommand("quit");
)");
    lumbra::test::writeFile(folder / "upper.swf", actionscript::compileMovie("", 8));
    MovieWriter small(2000, 1000, 24);
    small.root().actions(actionscript::compileActions(R"(
loadMovieNum("upper.swf", 1);
var from = "first";
loadMovieNum("next.swf", 0);
trace("first movie");
)", 6));
    small.root().showFrame();
    small.root().actions(actionscript::compileActions(R"(trace("first movie, frame 2");)", 6));
    std::vector<std::string> traces;
    MoviePlayer player;
    player.setFileReader([&folder](const std::u16string& url) {
        auto file = fileInFolder(folder.path(), url);
        return file ? readDataFile(*file) : std::nullopt;
    });
    player.setTraceHandler([&traces](const std::u16string& text) { traces.push_back(narrow(text)); });
    ASSERT_TRUE(player.load(small.finish(false)));
    Rect stage = player.info().frame;
    player.advance();
    EXPECT_EQ(traces, (std::vector<std::string>{"first movie", "next movie: undefined undefined"}));
    EXPECT_EQ(player.info().frame.xMax, stage.xMax) << "the stage keeps its size";
    EXPECT_EQ(player.info().frame.yMax, stage.yMax);
    EXPECT_TRUE(player.loadedLevels().empty());
    EXPECT_EQ(player.info().version, 8);
}

// A movie that loads itself, over itself or into a clip of its own, every
// frame: the player goes on, and nesting stops at a bound.
TEST(MovieLoading, SelfLoadingMoviesKeepRunning)
{
    TempFolder folder;
    writeSource(folder, "self.swf", R"(
trace("self " + _level0.n);
_level0.n = 1; // a fresh movie each time: never seen
loadMovieNum("self.swf", 0);
)");
    EXPECT_EQ(play(folder, 4, "self.swf"), "self undefined\nself undefined\nself undefined\nself undefined\n");

    writeSource(folder, "main.swf", R"(
trace(this);
this.createEmptyMovieClip("inner", 1);
inner.loadMovie("main.swf");
)");
    std::string deepest = "_level0";
    for (int i = 0; i < 8; ++i)
        deepest += ".inner";
    std::string out = play(folder, 20);
    EXPECT_NE(out.find(deepest + "\n"), std::string::npos) << out;
    EXPECT_EQ(out.find(deepest + ".inner"), std::string::npos) << out;
}

// Tag bodies written by hand: ImportAssets (version 7 form) and
// ImportAssets2 (two reserved bytes after the URL).
std::vector<std::uint8_t> importTag(bool second, std::string_view url, std::uint16_t id, std::string_view name)
{
    std::vector<std::uint8_t> body(url.begin(), url.end());
    body.push_back(0);
    if (second) {
        body.push_back(1);
        body.push_back(0);
    }
    body.insert(body.end(), {1, 0, std::uint8_t(id & 0xFF), std::uint8_t(id >> 8)});
    body.insert(body.end(), name.begin(), name.end());
    body.push_back(0);
    return body;
}

std::vector<std::uint8_t> exportTag(std::uint16_t id, std::string_view name)
{
    std::vector<std::uint8_t> body{1, 0, std::uint8_t(id & 0xFF), std::uint8_t(id >> 8)};
    body.insert(body.end(), name.begin(), name.end());
    body.push_back(0);
    return body;
}

TEST(MovieLoading, ImportedSymbolsAreUsableUnderTheirImportNames)
{
    TempFolder folder;
    {
        MovieWriter library(2000, 2000, 12, 8);
        TimelineWriter inner;
        inner.actions(actionscript::compileActions(R"(trace("inner of the library symbol: " + this);)", 8));
        std::uint16_t innerId = library.defineSprite(inner);
        TimelineWriter thing;
        thing.place({1, innerId, {}, u"part"});
        thing.actions(actionscript::compileActions(R"(trace("library symbol: " + this);)", 8));
        std::uint16_t thingId = library.defineSprite(thing);
        library.root().tag(tag::ExportAssets, exportTag(thingId, "Thing"));
        lumbra::test::writeFile(folder / "lib" / "library.swf", library.finish(true));
    }
    MovieWriter main(2000, 2000, 12, 8);
    main.root().tag(tag::ImportAssets, importTag(false, "lib/library.swf", 40, "thing"));
    main.root().tag(tag::ImportAssets2, importTag(true, "lib/library.swf", 41, "Thing"));
    // A movie that imports from itself a name it exports under the imported id: no symbol, and no hang.
    main.root().tag(tag::ImportAssets, importTag(false, "main.swf", 42, "Loop"));
    main.root().tag(tag::ExportAssets, exportTag(42, "Loop"));
    main.root().tag(tag::ImportAssets2, importTag(true, "lib/missing.swf", 43, "Gone"));
    main.root().place({1, 40, {}, u"placed"});
    main.root().place({2, 42, {}, u"looped"});
    main.root().actions(actionscript::compileActions(R"(
trace("placed: " + placed + " " + looped);
trace("attached: " + attachMovie("Thing", "att", 10) + " " + attachMovie("Loop", "l", 11)
      + " " + attachMovie("Gone", "g", 12));
)", 8));
    lumbra::test::writeFile(folder / "main.swf", main.finish(false));
    EXPECT_EQ(play(folder, 1), "placed: _level0.placed undefined\n"
                               "attached: _level0.att undefined undefined\n"
                               "library symbol: _level0.placed\n"
                               "inner of the library symbol: _level0.placed.part\n"
                               "library symbol: _level0.att\n"
                               "inner of the library symbol: _level0.att.part\n");
}

TEST(MovieLoading, EachMovieKeepsItsOwnRegisteredClasses)
{
    // Both movies export a symbol "ball" (under the same character id) and
    // register a class for it: each movie's instances take its own class.
    // The version 6 child keeps its own rules in a version 8 player: names
    // without case, undefined as empty text.
    TempFolder folder;
    writeSource(folder, "child.swf", R"(
#export ball
function ChildBall() { trace("child ball " + this); }
ChildBall.prototype = new MovieClip();
trace("child registers " + Object.registerClass("ball", ChildBall));
var b = attachMovie("ball", "cb", 1);
trace("child made " + (b instanceof ChildBall));
var Mixed = "case";
var o = {Key: "any case"};
trace("child names " + mixed + " " + o.KEY + " " + undefined + "|");
_global.childJoin = function (x) { return "[" + x + "]"; };
)",
                1, 6);
    writeSource(folder, "main.swf", R"(
#export ball
function MainBall() { trace("main ball " + this); }
MainBall.prototype = new MovieClip();
trace("main registers " + Object.registerClass("ball", MainBall));
attachMovie("ball", "mb", 1);
createEmptyMovieClip("holder", 5);
holder.loadMovie("child.swf");
#frame
var again = attachMovie("ball", "mb2", 2);
trace("main made " + (again instanceof MainBall));
var inChild = holder.attachMovie("ball", "cb2", 3);
trace("child's symbol " + (inChild instanceof MainBall));
trace("unregister " + Object.registerClass("ball", null) + " " + Object.registerClass("nothing", MainBall));
attachMovie("ball", "mb3", 4);
trace(typeof mb3.__proto__ == typeof MainBall.prototype && !(mb3 instanceof MainBall));
trace(childJoin(undefined) + " " + undefined + " " + holder.o.KEY + " " + holder.o.Key);
)",
                2);
    EXPECT_EQ(play(folder, 2), "main registers true\n"
                               "main ball _level0.mb\n"
                               "child registers true\n"
                               "child ball _level0.holder.cb\n"
                               "child made true\n"
                               "child names case any case |\n"
                               "main ball _level0.mb2\n"
                               "main made true\n"
                               "child ball _level0.holder.cb2\n"
                               "child's symbol false\n"
                               "unregister true false\n"
                               "true\n"
                               "[] undefined any case any case\n");
}

TEST(MovieLoading, DataEventsComeBeforeTheNextFramesEnterFrame)
{
    TempFolder folder;
    lumbra::test::writeFile(folder / "vars.txt", std::string("word=arrived"));
    writeSource(folder, "main.swf", R"(
#clip box
onClipEvent (enterFrame) { trace("enterFrame " + _root.n + " " + word); }
onClipEvent (data) { trace("data " + _root.n + " " + word); }
#endclip
var n = 1;
box.loadVariables("vars.txt");
trace("frame 1");
#frame
n = 2;
trace("frame 2 " + box.word);
#frame
n = 3;
trace("frame 3");
)",
                3);
    EXPECT_EQ(play(folder, 3), "frame 1\n"
                               "data 1 arrived\n"
                               "enterFrame 1 arrived\n"
                               "frame 2 arrived\n"
                               "enterFrame 2 arrived\n"
                               "frame 3\n");
}

} // namespace
} // namespace lumbra::movie::test
