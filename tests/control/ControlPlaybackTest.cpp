// A movie playing in the control, seen as a container sees it: events,
// variables, frames, pictures and the mouse.
#include "tests/control/ControlHost.h"

#include "control/com/Guids.h"
#include "tests/control/TestMovie.h"

#include <gtest/gtest.h>

#include <urlmon.h>

#include <algorithm>
#include <fstream>

namespace lumbra::com::test {
namespace {

using movie::ActionWriter;
using movie::argb;

constexpr movie::Argb kRed = argb(255, 255, 0, 0);
constexpr movie::Argb kGrey = argb(255, 128, 128, 128);

class ControlPlayback : public ::testing::Test {
protected:
    // Writes `movie` as name.swf into the test folder and returns its path.
    std::u16string save(const TestMovie& movie, const std::wstring& name) {
        auto path = folder.path() / (name + L".swf");
        movie.save(path);
        auto text = path.wstring();
        return {text.begin(), text.end()};
    }

    HRESULT load(const std::u16string& path) { return host.putText(L"Movie", path); }

    std::u16string variable(const char16_t* name) {
        Bstr text(name);
        Variant result;
        if (FAILED(host.call(L"GetVariable", {textArg(text)}, result.get()))) return u"<none>";
        return std::u16string(bstrView(V_BSTR(result.get())));
    }

    TempFolder folder;
    ControlHost host{100, 100};
};

// Frames that each send one fscommand; the last stops the movie.
TestMovie countingMovie() {
    TestMovie movie(100, 100, 30, kGrey);
    movie.actions(ActionWriter().fsCommand(u"first", u"1").finish());
    movie.showFrame();
    movie.actions(ActionWriter().fsCommand(u"second", u"two words").finish());
    movie.showFrame();
    movie.label(u"end");
    movie.actions(ActionWriter().fsCommand(u"third", u"").stop().finish());
    movie.showFrame();
    return movie;
}

TEST_F(ControlPlayback, DeliversEveryFsCommandInFrameOrder) {
    ASSERT_EQ(load(save(countingMovie(), L"counting")), S_OK);
    ASSERT_TRUE(host.pumpUntil([&] { return host.commands.size() >= 3; }));
    host.pumpFor(200); // a stopped movie sends nothing more
    std::vector<FsCommand> expected = {{u"first", u"1"}, {u"second", u"two words"}, {u"third", u""}};
    EXPECT_EQ(host.commands, expected);
    EXPECT_EQ(host.getInt(L"ReadyState"), 4);
    // The load itself is announced after the first frame's commands.
    auto at = [&](DISPID id) { return std::find(host.events.begin(), host.events.end(), id) - host.events.begin(); };
    EXPECT_LT(at(kEventFSCommand), at(kEventProgress));
    EXPECT_LT(at(kEventProgress), at(kEventReadyStateChange));
    EXPECT_LT(at(kEventReadyStateChange), std::ptrdiff_t(host.events.size()));
}

TEST_F(ControlPlayback, FramesLabelsAndTotals) {
    host.putBool(L"Playing", false); // the first frame only, then nothing moves
    ASSERT_EQ(load(save(countingMovie(), L"frames")), S_OK);
    host.pumpFor(100);
    EXPECT_EQ(host.commands.size(), 1u);
    EXPECT_EQ(host.getInt(L"TotalFrames"), 3);
    EXPECT_EQ(host.getInt(L"CurrentFrame"), 0);
    EXPECT_FALSE(host.getInt(L"IsPlaying"));

    EXPECT_EQ(host.call(L"GotoFrame", {intArg(1)}), S_OK);
    EXPECT_EQ(host.getInt(L"CurrentFrame"), 1);
    EXPECT_EQ(host.getInt(L"FrameNum"), 1);

    Bstr root(u"/"), end(u"end");
    EXPECT_EQ(host.call(L"TGotoLabel", {textArg(root), textArg(end)}), S_OK);
    EXPECT_EQ(host.getInt(L"CurrentFrame"), 2);
    Variant label;
    ASSERT_EQ(host.call(L"TCurrentLabel", {textArg(root)}, label.get()), S_OK);
    EXPECT_EQ(bstrView(V_BSTR(label.get())), u"end");

    Bstr missing(u"/nowhere"), nolabel(u"nolabel");
    EXPECT_LT(host.call(L"TGotoLabel", {textArg(missing), textArg(end)}), 0);
    EXPECT_LT(host.call(L"TGotoLabel", {textArg(root), textArg(nolabel)}), 0);
    EXPECT_LT(host.call(L"GotoFrame", {intArg(99)}), 0);

    EXPECT_EQ(host.call(L"Rewind", {}), S_OK);
    EXPECT_EQ(host.getInt(L"CurrentFrame"), 0);
}

TEST_F(ControlPlayback, VariablesRoundTripAndShowInABoundField) {
    TestMovie movie(100, 100, 30, argb(255, 255, 255, 255));
    int field = movie.textField({0, 0, 100, 40}, u"greeting", u"");
    movie.place(field, 1);
    movie.actions(ActionWriter().stop().finish());
    movie.showFrame();
    ASSERT_EQ(load(save(movie, L"variables")), S_OK);

    auto darkPixels = [&] {
        Picture picture(100, 100);
        auto view = ComPtr<IDispatch>(host.control()).query<IViewObject>();
        RECTL bounds = {0, 0, 100, 100};
        view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.dc(), &bounds, nullptr, nullptr, 0);
        int dark = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 100; ++x) dark += picture.pixel(x, y) != 0xFFFFFF;
        return dark;
    };
    EXPECT_EQ(darkPixels(), 0);

    Bstr name(u"greeting"), value(u"Hello, W\u00f6rld");
    ASSERT_EQ(host.call(L"SetVariable", {textArg(name), textArg(value)}), S_OK);
    EXPECT_EQ(variable(u"greeting"), u"Hello, W\u00f6rld");
    EXPECT_GT(darkPixels(), 20);

    EXPECT_LT(host.call(L"GetVariable", {textArg(Bstr(u"/nowhere:thing"))}), 0);
}

TEST_F(ControlPlayback, DrawingHonoursTheBackgroundColour) {
    TestMovie movie(100, 100, 30, kGrey);
    movie.place(movie.rectangle({20, 20, 60, 60}, kRed), 1);
    movie.actions(ActionWriter().stop().finish());
    movie.showFrame();
    ASSERT_EQ(load(save(movie, L"picture")), S_OK);
    auto view = ComPtr<IDispatch>(host.control()).query<IViewObject>();
    ASSERT_TRUE(view);
    RECTL bounds = {0, 0, 100, 100};

    auto drawOver = [&](int background) {
        EXPECT_EQ(host.putInt(L"BackgroundColor", background), S_OK);
        Picture picture(100, 100);
        EXPECT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.dc(), &bounds, nullptr,
                             nullptr, 0),
                  S_OK);
        EXPECT_EQ(picture.pixel(40, 40), 0xFF0000u) << "inside the shape";
        EXPECT_EQ(picture.pixel(21, 21), 0xFF0000u);
        EXPECT_EQ(picture.pixel(5, 5), unsigned(background)) << "background";
        EXPECT_EQ(picture.pixel(70, 30), unsigned(background));
    };
    drawOver(0x000000);
    drawOver(0xFFFFFF);

    // The window paints the same picture.
    Picture painted(100, 100);
    SendMessageW(host.controlWindow(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(painted.dc()), PRF_CLIENT);
    EXPECT_EQ(painted.pixel(40, 40), 0xFF0000u);
    EXPECT_EQ(painted.pixel(5, 5), 0xFFFFFFu);

    // -1 returns to the movie's own colour.
    EXPECT_EQ(host.putInt(L"BackgroundColor", -1), S_OK);
    Picture picture(100, 100);
    view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, picture.dc(), &bounds, nullptr, nullptr, 0);
    EXPECT_EQ(picture.pixel(5, 5), 0x808080u);
}

TEST_F(ControlPlayback, AButtonClickedWithTheMouseRunsItsAction) {
    TestMovie movie(100, 100, 30, kGrey);
    int shape = movie.rectangle({0, 0, 50, 50}, kRed);
    movie.place(movie.button(shape, ActionWriter().fsCommand(u"clicked", u"yes").finish()), 1);
    movie.actions(ActionWriter().stop().finish());
    movie.showFrame();
    ASSERT_EQ(load(save(movie, L"button")), S_OK);
    HWND window = host.controlWindow();
    ASSERT_TRUE(window);

    // A click outside the button does nothing.
    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(80, 80));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(80, 80));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(80, 80));
    host.pumpFor(100);
    EXPECT_TRUE(host.commands.empty());

    PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(25, 25));
    PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(25, 25));
    PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(25, 25));
    ASSERT_TRUE(host.pumpUntil([&] { return !host.commands.empty(); }));
    EXPECT_EQ(host.commands.front(), (FsCommand{u"clicked", u"yes"}));
}

TEST_F(ControlPlayback, AMovieThatCannotBeLoadedLeavesTheCurrentOne) {
    auto good = save(countingMovie(), L"good");
    ASSERT_EQ(load(good), S_OK);
    EXPECT_LT(load(u"C:\\no\\such\\movie.swf"), 0);
    // Network URLs fail with their own status: only local files are played.
    EXPECT_EQ(load(u"http://example.com/movie.swf"), INET_E_UNKNOWN_PROTOCOL);
    EXPECT_EQ(host.putText(L"Base", u"https://example.com/movies/"), S_OK);
    EXPECT_EQ(load(u"relative.swf"), INET_E_UNKNOWN_PROTOCOL);
    EXPECT_EQ(host.putText(L"Base", u""), S_OK);
    auto junk = folder.path() / L"junk.swf";
    std::ofstream(junk, std::ios::binary) << "this is not a movie at all";
    auto junkText = junk.wstring();
    EXPECT_LT(load({junkText.begin(), junkText.end()}), 0);
    EXPECT_EQ(host.getText(L"Movie"), good);
    EXPECT_EQ(host.getInt(L"TotalFrames"), 3);
}

TEST_F(ControlPlayback, RelativeMoviesAreFoundThroughBaseAndFileUrls) {
    save(countingMovie(), L"relative");
    auto base = folder.path().wstring();
    ASSERT_EQ(host.putText(L"Base", {base.begin(), base.end()}), S_OK);
    EXPECT_EQ(load(u"relative.swf"), S_OK);

    std::wstring url = L"file:///" + (folder.path() / L"relative.swf").wstring();
    for (auto& c : url)
        if (c == L'\\') c = L'/';
    EXPECT_EQ(host.putText(L"Base", u""), S_OK);
    EXPECT_EQ(load({url.begin(), url.end()}), S_OK);
    EXPECT_EQ(load(u""), S_OK); // unloads
    EXPECT_LT(host.call(L"TotalFrames", {}), 0);
}

TEST_F(ControlPlayback, MoviesLoadOntoLevelsFromTheContainerAndFromTheMovie) {
    // The upper movie announces itself and its level's variable path works.
    TestMovie upper(100, 100, 30, kGrey);
    upper.actions(ActionWriter().fsCommand(u"upper", u"").stop().finish());
    upper.showFrame();
    save(upper, L"upper");
    // The main movie loads it onto level 2 itself (relative to its own folder),
    // then stops.
    TestMovie main(100, 100, 30, kGrey);
    main.actions(ActionWriter().getUrl(u"upper.swf", u"_level2").stop().finish());
    main.showFrame();
    ASSERT_EQ(load(save(main, L"main")), S_OK);
    ASSERT_TRUE(host.pumpUntil([&] { return !host.commands.empty(); }));
    EXPECT_EQ(host.commands, (std::vector<FsCommand>{{u"upper", u""}}));
    Bstr level2(u"_level2");
    Variant frame;
    ASSERT_EQ(host.call(L"TCurrentFrame", {textArg(level2)}, frame.get()), S_OK);
    EXPECT_EQ(V_I4(frame.get()), 0);

    // The container loads and unloads levels too; network URLs fail plainly.
    Bstr upperName(u"upper.swf"), none(u""), remote(u"http://example.com/a.swf");
    EXPECT_EQ(host.call(L"LoadMovie", {intArg(5), textArg(upperName)}), S_OK);
    EXPECT_EQ(host.commands.size(), 2u);
    EXPECT_EQ(host.call(L"LoadMovie", {intArg(6), textArg(remote)}), INET_E_UNKNOWN_PROTOCOL);
    EXPECT_EQ(host.call(L"LoadMovie", {intArg(-1), textArg(upperName)}), E_INVALIDARG);
    EXPECT_EQ(host.call(L"LoadMovie", {intArg(2), textArg(none)}), S_OK);
    EXPECT_LT(host.call(L"TCurrentFrame", {textArg(level2)}, frame.put()), 0) << "level 2 is empty again";
    Bstr level5(u"_level5");
    EXPECT_EQ(host.call(L"TCurrentFrame", {textArg(level5)}, frame.put()), S_OK);
    EXPECT_EQ(host.getInt(L"TotalFrames"), 1) << "the main movie stays";
}

TEST_F(ControlPlayback, DataFilesComeFromTheMoviesFolderAndSavedDataPersists) {
    namespace fs = std::filesystem;
    fs::path movieFolder = folder.path() / L"movie";
    fs::create_directories(movieFolder);
    std::ofstream(movieFolder / L"vars.txt") << "greeting=hello";
    std::ofstream(folder.path() / L"outside.txt") << "secret=found";
    fs::path store = folder.path() / L"store";
    ASSERT_TRUE(SetEnvironmentVariableW(L"LUMBRA_SHARED_OBJECTS", store.c_str()));

    constexpr std::uint8_t kGetVariable = 0x1C, kSetVariable = 0x1D, kSetMember = 0x4F, kCallMethod = 0x52,
                           kGetMember = 0x4E, kPop = 0x17, kLoadVariables = 0x80;
    ActionWriter first;
    // loadVariablesNum("vars.txt", 0); loadVariablesNum("../outside.txt", 0)
    first.pushString(u"vars.txt").pushString(u"_level0").getUrl2(kLoadVariables);
    first.pushString(u"../outside.txt").pushString(u"_level0").getUrl2(kLoadVariables);
    // so = SharedObject.getLocal("s"); so.data.v = "kept"; so.flush();
    first.pushString(u"so").pushString(u"s").pushNumber(1).pushString(u"SharedObject").op(kGetVariable);
    first.pushString(u"getLocal").op(kCallMethod).op(kSetVariable);
    first.pushString(u"so").op(kGetVariable).pushString(u"data").op(kGetMember);
    first.pushString(u"v").pushString(u"kept").op(kSetMember);
    first.pushNumber(0).pushString(u"so").op(kGetVariable).pushString(u"flush").op(kCallMethod).op(kPop);
    // fscommand("got", greeting) two frames later, when the data has arrived.
    ActionWriter third;
    third.pushString(u"FSCommand:got").pushString(u"greeting").op(kGetVariable).getUrl2().stop();

    TestMovie movie(100, 100, 30, kGrey);
    movie.actions(first.finish());
    movie.showFrame();
    movie.showFrame();
    movie.actions(third.finish());
    movie.showFrame();
    auto path = (movieFolder / L"data.swf").wstring();
    movie.save(movieFolder / L"data.swf");
    ASSERT_EQ(load({path.begin(), path.end()}), S_OK);
    ASSERT_TRUE(host.pumpUntil([&] { return !host.commands.empty(); }));
    EXPECT_EQ(host.commands, (std::vector<FsCommand>{{u"got", u"hello"}}));
    EXPECT_EQ(variable(u"secret"), u"<none>") << "nothing outside the movie's folder";
    EXPECT_TRUE(fs::exists(store / L"data.swf" / L"s.sol"));
    SetEnvironmentVariableW(L"LUMBRA_SHARED_OBJECTS", nullptr);
}

TEST_F(ControlPlayback, AContainerMayLoadAnotherMovieFromInsideAnEvent) {
    TestMovie second(100, 100, 30, kGrey);
    second.actions(ActionWriter().fsCommand(u"second movie", u"").stop().finish());
    second.showFrame();
    auto secondPath = save(second, L"second");
    host.onCommand = [&](const FsCommand& command) {
        if (command.command == u"first") load(secondPath);
    };
    ASSERT_EQ(load(save(countingMovie(), L"first")), S_OK);
    host.pumpFor(300);
    // The first movie's later frames never run: it was replaced in its first frame.
    std::vector<FsCommand> expected = {{u"first", u"1"}, {u"second movie", u""}};
    EXPECT_EQ(host.commands, expected);
    EXPECT_EQ(host.getText(L"Movie"), secondPath);
}

TEST_F(ControlPlayback, AContainerMayCloseTheControlFromInsideAnEvent) {
    host.onCommand = [&](const FsCommand& command) {
        if (command.command == u"second") host.release();
    };
    ASSERT_EQ(load(save(countingMovie(), L"closing")), S_OK);
    ASSERT_TRUE(host.pumpUntil([&] { return !host.control(); }));
    host.pumpFor(100);
    EXPECT_EQ(host.commands.size(), 2u);
}

TEST_F(ControlPlayback, ScriptsAnsweringAnEventReachTheMovieAtOnce) {
    TestMovie movie(100, 100, 30, kGrey);
    movie.actions(ActionWriter().fsCommand(u"ask", u"").finish());
    movie.showFrame();
    movie.actions(ActionWriter().stop().finish());
    movie.showFrame();
    host.onCommand = [&](const FsCommand&) {
        Bstr name(u"answer"), value(u"42");
        host.call(L"SetVariable", {textArg(name), textArg(value)});
    };
    ASSERT_EQ(load(save(movie, L"ask")), S_OK);
    EXPECT_EQ(variable(u"answer"), u"42");
}

// The control's Quality and Quality2 and the movie's _quality (property 19)
// are one setting: each sees what the other set.
TEST_F(ControlPlayback, QualityIsOneSettingWithTheMovies) {
    ASSERT_EQ(host.putText(L"Quality2", u"AutoHigh"), S_OK);
    ASSERT_EQ(load(save(countingMovie(), L"quality")), S_OK);
    EXPECT_EQ(host.getText(L"Quality2"), u"AutoHigh");
    Bstr root(u"/"), low(u"low");
    auto movieQuality = [&] {
        Variant got;
        if (FAILED(host.call(L"TGetProperty", {textArg(root), intArg(19)}, got.get()))) return std::u16string(u"<none>");
        return std::u16string(bstrView(V_BSTR(got.get())));
    };
    EXPECT_EQ(movieQuality(), u"HIGH");
    EXPECT_EQ(host.call(L"TSetProperty", {textArg(root), intArg(19), textArg(low)}), S_OK);
    EXPECT_EQ(host.getText(L"Quality2"), u"Low");
    EXPECT_EQ(host.getInt(L"Quality"), 0);
    ASSERT_EQ(host.putText(L"Quality2", u"best"), S_OK);
    EXPECT_EQ(movieQuality(), u"BEST");
    ASSERT_EQ(host.putInt(L"Quality", 2), S_OK); // auto-low
    EXPECT_EQ(movieQuality(), u"LOW");
    EXPECT_EQ(host.getText(L"Quality2"), u"AutoLow");
}

} // namespace
} // namespace lumbra::com::test
