// "Application", its global functions, timers and hooks, against a fake player.
#include <filesystem>
#include <fstream>

#include "HostFixture.h"
#include "host/ApplicationClass.h"
#include "script/runtime/Collector.h"

namespace lumbra::test {
namespace {

using Reapply = HostPlayer::Reapply;

class ApplicationTest : public HostFixture {};

std::filesystem::path scratch(const std::string& name)
{
    auto folder = std::filesystem::temp_directory_path() / ("lumbra-host-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

TEST_F(ApplicationTest, ClassesAnswerToStringAndCallsGiveEquivalentValues)
{
    EXPECT_EQ(value("Application.toString()"), "[object Application]");
    EXPECT_EQ(value("Application.Appearance.toString()"), "[object Appearance]");
    EXPECT_EQ(value("Application.SizeAndPos + ''"), "[object SizeAndPos]");
    EXPECT_EQ(value("Application.Interaction.toString()"), "[object Interaction]");
    EXPECT_EQ(value("Application.Behaviour.toString()"), "[object Behaviour]");
    EXPECT_EQ(value("Application.SysTray.toString()"), "[object SysTray]");
    EXPECT_EQ(value("typeof FlashPlayer"), "object");
    EXPECT_EQ(value("var a = new Application(); a.isScr"), "bool false");
    EXPECT_EQ(value("var s = _Appearance_(); s.scaleMode"), "int 1");
    EXPECT_EQ(value("Application.isPreview"), "bool false");
    EXPECT_EQ(value("Application.traceWnd"), "null");
    EXPECT_EQ(value("Application.cursor"), "undefined");
    EXPECT_EQ(value("$BSRESIZABLE + $ASBOTTOMRIGHT + $KPDISABLEWINDOWKEYS + $CMHELP"), "int 4616");
    run("Application.isScr = true; Application.cmdLine = 'x'");
    EXPECT_EQ(value("Application.isScr"), "bool false");
}

TEST_F(ApplicationTest, CommandLine)
{
    EXPECT_EQ(value("Application.cmdLine"), player.line);
    EXPECT_EQ(value("var i = Application.cmdItems; i.length + ':' + i.join('|')"), "3:a|x y|d");
}

TEST_F(ApplicationTest, GlobalFunctions)
{
    EXPECT_EQ(value("getAppDir()"), "C:\\Apps\\Demo\\");
    EXPECT_EQ(value("getExeName()"), player.exe);
    player.exe = "";
    EXPECT_EQ(value("getAppDir()"), "undefined");
    EXPECT_EQ(value("getExeName()"), "undefined");

    EXPECT_EQ(value("getMovies().length"), "int 0");
    player.movies = {"C:\\w\\one.swf", "C:\\w\\two.swf"};
    EXPECT_EQ(value("getMovies().join('|')"), "C:\\w\\one.swf|C:\\w\\two.swf");

    player.additionalFiles["data\\x.txt"] = "C:\\w\\data\\x.txt";
    EXPECT_EQ(value("getAdditionalFile('data/x.txt')"), "C:\\w\\data\\x.txt");
    EXPECT_EQ(value("getAdditionalFile('none')"), "null");
    EXPECT_EQ(value("getAdditionalFile()"), "null");

    run("writeProfile('Main', 'count', 12)");
    EXPECT_EQ(player.profile["Main/count"], "12");
    EXPECT_EQ(value("readProfile('Main', 'count')"), "12");
    EXPECT_EQ(value("readProfile('Main', 'missing')"), "undefined");
    player.profile["Main/empty"] = "";
    EXPECT_EQ(value("readProfile('Main', 'empty')"), "undefined");
    run("writeProfile('Main', 'two')");
    EXPECT_EQ(player.profile.count("Main/two"), 0u);
    EXPECT_EQ(value("readProfile(1, 'count')"), "undefined");

    EXPECT_EQ(value("processMsg()"), "bool true");
    player.messagesAnswer = false;
    EXPECT_EQ(value("processMsg()"), "bool false");

    run("invoke('Report'); invoke(3); invoke()");
    EXPECT_EQ(player.invoked, std::vector<std::string>{"Report"});
}

TEST_F(ApplicationTest, SetWindowlessChoosesTheShape)
{
    ProjectSettings& s = player.projectSettings;
    run("setWindowless(true)");
    EXPECT_EQ(s.windowShape, 1u);
    run("setWindowless('heart')");
    EXPECT_EQ(s.windowShape, 2u);
    EXPECT_EQ(s.shapeMaskFile.view(), "heart");
    run("setWindowless(0)");
    EXPECT_EQ(s.windowShape, 0u);
    run("setWindowless({})");
    EXPECT_EQ(s.windowShape, 1u);
    run("setWindowless()");
    EXPECT_EQ(s.windowShape, 0u);
    EXPECT_EQ(player.reapplied, std::vector<Reapply>(5, Reapply::Shape));
}

TEST_F(ApplicationTest, SetIntervalCallsWithCopiedArgumentsUntilCleared)
{
    run("var seen = []; function f(a, b) { seen.push(a + b); }"
        "var id = Application.setInterval(f, 100, 1, 2);");
    const unsigned id = static_cast<unsigned>(run("id").integer);
    ASSERT_NE(id, 0u);
    ASSERT_TRUE(player.fire(id));
    ASSERT_TRUE(player.fire(id));
    EXPECT_EQ(value("seen.join(',')"), "3,3");
    run("Application.clearInterval(id)");
    EXPECT_FALSE(player.fire(id));
    EXPECT_TRUE(player.timers.empty());
    run("Application.clearInterval(id); Application.clearInterval(12345); Application.clearInterval('x')");
}

TEST_F(ApplicationTest, SetIntervalMethodFormAndRejectedForms)
{
    run("function step(k) { this.n += k; } function none() {}"
        "var o = {n: 0}; o.step = step; var id = Application.setInterval(o, 'step', 50, 5);");
    const unsigned id = static_cast<unsigned>(run("id").integer);
    player.fire(id);
    player.fire(id);
    EXPECT_EQ(value("o.n"), "int 10");
    EXPECT_EQ(value("Application.setInterval('f', 100)"), "int 0");
    EXPECT_EQ(value("Application.setInterval(none, '100')"), "int 0");
    EXPECT_EQ(value("Application.setInterval(none)"), "int 0");
    EXPECT_EQ(value("Application.setInterval(o, 'step')"), "int 0");
    EXPECT_EQ(value("Application.setInterval(none, -5)"), "int 0");
    EXPECT_EQ(player.timers.size(), 1u);
}

TEST_F(ApplicationTest, TimerValuesSurviveCollectionsAndErrorsKeepTheTimer)
{
    const unsigned id = static_cast<unsigned>(
        run("function count(box) { box.n++; trace('tick ' + box.n); } Application.setInterval(count, 10, {n: 0})").integer);
    run("var junk = []; for (var i = 0; i < 100; i++) junk.push({i: i});");
    orvet::collect(ctx());
    player.fire(id);
    orvet::collect(ctx());
    player.fire(id);
    EXPECT_EQ(traced, (std::vector<std::string>{"tick 1", "tick 2"}));

    const unsigned failing = static_cast<unsigned>(run("function bad() { throw 'bad tick'; } Application.setInterval(bad, 10)").integer);
    player.fire(failing);
    EXPECT_NE(std::string(ctx().errorBuffer).find("bad tick"), std::string::npos);
    EXPECT_TRUE(player.fire(failing));
}

TEST_F(ApplicationTest, ClearingATimerInsideItsOwnTickIsSafe)
{
    run("var count = 0; function once() { count++; Application.clearInterval(id); } var id = Application.setInterval(once, 10);");
    const unsigned id = static_cast<unsigned>(run("id").integer);
    EXPECT_TRUE(player.fire(id));
    EXPECT_FALSE(player.fire(id));
    EXPECT_EQ(value("count"), "int 1");
}

TEST_F(ApplicationTest, DestroyingTheEngineKillsEveryTimer)
{
    run("function none() {} Application.setInterval(none, 10); Application.setInterval(none, 20);");
    EXPECT_EQ(player.timers.size(), 2u);
    orvet::DestroyEngine(std::move(engine));
    EXPECT_TRUE(player.timers.empty());
}

TEST_F(ApplicationTest, TraceToFileOpensAndCloses)
{
    run("Application.traceToFile('C:\\\\log.txt')");
    EXPECT_EQ(player.traceFile, "C:\\log.txt");
    run("Application.traceToFile()");
    EXPECT_EQ(player.traceFile, "");
    run("Application.traceToFile('a.txt'); Application.traceToFile(5)");
    EXPECT_EQ(player.traceFile, ""); // a wrong kind closes as no path does
}

TEST_F(ApplicationTest, BasePathChoices)
{
    player.control.properties[u"Base"] = std::u16string();
    EXPECT_EQ(value("Application.getBasePath()"), "null");
    run("Application.setBasePath()");
    EXPECT_EQ(value("Application.getBasePath()"), "file:///C:/Apps/Demo/");
    player.control.log.clear();
    run("Application.setBasePath('attachments')");
    EXPECT_TRUE(player.control.log.empty());
    run("Application.setBasePath('movies')");
    EXPECT_TRUE(player.control.log.empty());
    player.movies = {"C:\\w\\m.swf"};
    run("Application.setBasePath('MOVIES')");
    EXPECT_EQ(value("Application.getBasePath()"), "file:///C:/w/");
    player.attachments = "C:\\w\\att\\";
    run("Application.setBasePath('Attachments')");
    EXPECT_EQ(value("Application.getBasePath()"), "file:///C:/w/att/");
    const auto folder = scratch("base");
    run("Application.setBasePath('" + folder.string() + "')");
    EXPECT_EQ(value("Application.getBasePath()"), "file:///" + folder.string() + "/");
    player.control.log.clear();
    run("Application.setBasePath('" + (folder / "nope").string() + "'); Application.setBasePath(5)");
    EXPECT_TRUE(player.control.log.empty());
    player.hasControl = false;
    EXPECT_EQ(value("Application.getBasePath()"), "null");
}

TEST_F(ApplicationTest, AssociateWritesTheTypeOnlyWhenItDiffers)
{
    EXPECT_EQ(value("Application.associate('.dem', 'DemoFile')"), "bool true");
    EXPECT_EQ(player.classesRoot["DemoFile\\DefaultIcon"], player.exe + ",1");
    EXPECT_EQ(player.classesRoot["DemoFile\\shell\\open\\command"], player.exe + " \"%1\"");
    EXPECT_EQ(player.classesRoot[".dem"], "DemoFile");
    EXPECT_EQ(value("Application.associate('.dem')"), "undefined");
}

TEST_F(ApplicationTest, GetMainWndKeepsOneObjectPerMainWindow)
{
    EXPECT_EQ(value("var w = getMainWnd(); w === getMainWnd() && w === $_LUMBRA_MAIN_WINDOW_"), "bool true");
    EXPECT_EQ(value("getMainWnd().fakeWindow"), "int " + std::to_string(0x1234));
    EXPECT_EQ(player.windowObjectsMade, 1);
    // A new main window, or a global that no longer holds its object: a new one.
    player.mainHandle = 0x4321;
    EXPECT_EQ(value("getMainWnd().fakeWindow"), "int " + std::to_string(0x4321));
    run("$_LUMBRA_MAIN_WINDOW_ = 7");
    EXPECT_EQ(value("getMainWnd() === $_LUMBRA_MAIN_WINDOW_"), "bool true");
    EXPECT_EQ(player.windowObjectsMade, 3);
    player.mainHandle = 0;
    EXPECT_EQ(value("getMainWnd()"), "null");
}

TEST_F(ApplicationTest, SendMessageAndWindowRequests)
{
    EXPECT_EQ(value("Application.sendMessage(0x1234, 16, 'x')"), "int 17");
    ASSERT_EQ(player.sent.size(), 1u);
    EXPECT_EQ(player.sent[0].window, 0x1234);
    EXPECT_EQ(player.sent[0].wParam, 0);
    EXPECT_EQ(value("Application.sendMessage(1, 2, 3, 4)"), "int 3");
    EXPECT_EQ(player.sent[1].lParam, 4);
    EXPECT_EQ(value("Application.sendMessage(1)"), "undefined");
    EXPECT_EQ(player.sent.size(), 2u);

    run("Application.about()");
    EXPECT_EQ(player.aboutCount, 1);
    run("Application.captureMouse = true");
    EXPECT_EQ(value("Application.captureMouse"), "bool true");
    run("Application.captureMouse = false; Application.setFocus = false");
    EXPECT_EQ(value("Application.captureMouse"), "bool false");
    EXPECT_EQ(value("Application.setFocus"), "bool false");
    run("Application.setFocus = true");
    EXPECT_EQ(value("Application.setFocus"), "bool true");
}

TEST_F(ApplicationTest, DragRegionFromNumbersOrAMask)
{
    run("Application.setDragRegion(1.9, '2', 10, 20)");
    ASSERT_TRUE(std::holds_alternative<PixelRect>(player.dragRegion));
    const PixelRect r = std::get<PixelRect>(player.dragRegion);
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.top, 2);
    EXPECT_EQ(r.right, 11);
    EXPECT_EQ(r.bottom, 22);

    const auto folder = scratch("masks");
    player.working = folder.string() + "/";
    std::vector<std::uint8_t> block(48, 0);
    block[0] = 32; // RGNDATAHEADER.dwSize
    {
        std::ofstream out(folder / "drag.msk", std::ios::binary);
        const std::uint8_t count[4] = {48, 0, 0, 0};
        out.write(reinterpret_cast<const char*>(count), 4);
        out.write(reinterpret_cast<const char*>(block.data()), 48);
        std::ofstream shortFile(folder / "short.msk", std::ios::binary);
        const std::uint8_t wrong[6] = {200, 0, 0, 0, 1, 2};
        shortFile.write(reinterpret_cast<const char*>(wrong), 6);
    }
    run("Application.setDragRegion('drag')");
    ASSERT_TRUE(std::holds_alternative<std::vector<std::uint8_t>>(player.dragRegion));
    EXPECT_EQ(std::get<std::vector<std::uint8_t>>(player.dragRegion), block);
    run("Application.setDragRegion('short')");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(player.dragRegion));
    run("Application.setDragRegion('drag'); Application.setDragRegion('missing')");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(player.dragRegion));
    run("Application.setDragRegion(1, 2); ");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(player.dragRegion));
}

TEST_F(ApplicationTest, CursorProperty)
{
    player.loadableFiles = {"hand.cur", "C:\\w\\arrow.cur"};
    player.additionalFiles["arrow.cur"] = "C:\\w\\arrow.cur";
    run("Application.cursor = 'HIDE'");
    EXPECT_EQ(player.cursorShown, 0);
    run("Application.cursor = 'hand.cur'; Application.cursor = 'arrow.cur'; Application.cursor = 'bad.cur';"
        "Application.cursor = null; Application.cursor = 5");
    EXPECT_EQ(player.cursorShown, 1);
    EXPECT_EQ(player.cursors, (std::vector<std::string>{"hand.cur", "C:\\w\\arrow.cur", "clear"}));
}

TEST_F(ApplicationTest, HooksHoldOnlyFunctionsAndAnswerThePlayer)
{
    EXPECT_EQ(value("Application.onGetMovie"), "undefined");
    EXPECT_FALSE(host::askChoiceHook(*engine, host::ChoiceHook::Movie));
    run("Application.onGetMovie = 'nope'");
    EXPECT_EQ(value("Application.onGetMovie"), "undefined");
    run("function movie(o) { o.value = 'C:\\\\m\\\\other.swf'; return true; }"
        "function control(o) { o.value = 'x.ocx'; return false; }"
        "function badValue(o) { o.value = 3; return true; } function fails(o) { throw 'no'; }"
        "var loaded = ''; function onLoaded(p) { loaded = p; }"
        "Application.onGetMovie = movie; Application.onGetFlashPlayer = control; Application.onMovieLoaded = onLoaded;");
    EXPECT_EQ(value("typeof Application.onGetMovie"), "function");
    EXPECT_EQ(host::askChoiceHook(*engine, host::ChoiceHook::Movie), "C:\\m\\other.swf");
    EXPECT_FALSE(host::askChoiceHook(*engine, host::ChoiceHook::FlashPlayer));
    run("Application.onGetFlashPlayer = badValue");
    EXPECT_FALSE(host::askChoiceHook(*engine, host::ChoiceHook::FlashPlayer));
    run("Application.onGetFlashPlayer = fails");
    EXPECT_FALSE(host::askChoiceHook(*engine, host::ChoiceHook::FlashPlayer));
    orvet::collect(ctx());
    host::notifyMovieLoaded(*engine, "C:\\m\\movie.swf");
    EXPECT_EQ(value("loaded"), "C:\\m\\movie.swf");
    run("Application = 1");
    EXPECT_FALSE(host::askChoiceHook(*engine, host::ChoiceHook::Movie));
}

} // namespace
} // namespace lumbra::test
