// Keyboard and mouse input into a playing movie: Key and Mouse with their
// listeners, clip events, buttons and clips acting as buttons, dragging.
// Clip actions, button key conditions and morph shapes are assembled by hand
// from the file format's tables.
#include "ActionAssembler.h"
#include "ClipAssembly.h"
#include "MovieTestSupport.h"

#include "control/movie/BitWriter.h"
#include "control/movie/MovieWriter.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

namespace lumbra::movie::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A 200 x 100 pixel stage shown 1:1; a 40 x 40 pixel box shape to build with.
struct InputMovie {
    InputMovie() { box = writer.defineShape({Outline::rectangle({0, 0, 800, 800})}, {0xFFFF0000}); }

    void place(TimelineWriter& timeline, const Place& p) { timeline.tag(26, placeObject2(p)); }
    // A clip holding the box at its origin.
    std::uint16_t boxClip()
    {
        TimelineWriter inner;
        place(inner, {1, box, 0, 0, "", std::nullopt, {}});
        return writer.defineSprite(inner);
    }
    void script(const Asm& code) { writer.root().actions(actionsOf(code)); }

    MovieWriter writer{4000, 2000, 12, 8};
    std::uint16_t box = 0;
};

struct Played {
    explicit Played(InputMovie& movie)
    {
        movie.writer.root().actions(actionsOf(Asm().op(0x07))); // stop
        player.setTraceHandler([this](const std::u16string& line) { traces.push_back(narrow(line)); });
        EXPECT_TRUE(player.load(movie.writer.finish(false))) << player.error();
        player.setViewport(200, 100);
    }
    // The traces since the last call, joined by "|".
    std::string take()
    {
        std::string out;
        for (std::size_t i = 0; i < traces.size(); ++i)
            out += (i ? "|" : "") + traces[i];
        traces.clear();
        return out;
    }
    void click(double x, double y)
    {
        player.mouseMove(x, y);
        player.mouseDown(x, y);
        player.mouseUp(x, y);
    }

    MoviePlayer player;
    std::vector<std::string> traces;
};

TEST(KeyInput, ListenersSeeCodesCharactersAndTheKeyboardState)
{
    InputMovie movie;
    Asm down;
    traceCall(down, "down ", "Key", "getCode");
    traceCall(down, "ascii ", "Key", "getAscii");
    down.str("held ").i32(65).i32(1);
    getVar(down, "Key").str("isDown").op(0x52).op(0x47).trace();
    down.str("caps ").i32(20).i32(1);
    getVar(down, "Key").str("isToggled").op(0x52).op(0x47).trace();
    Asm up;
    traceCall(up, "up ", "Key", "getCode");
    up.str("held ").i32(65).i32(1);
    getVar(up, "Key").str("isDown").op(0x52).op(0x47).trace();
    Asm code;
    setHandler(code, "_root", "onKeyDown", down);
    setHandler(code, "_root", "onKeyUp", up);
    getVar(code, "_root");
    callMethod(code, "Key", "addListener", 1).op(0x17);
    // The constants.
    for (const char* name : {"LEFT", "SPACE", "ENTER", "ESCAPE", "PGDN", "CAPSLOCK"}) {
        getVar(code, "Key").str(name).op(0x4E).trace();
    }
    movie.script(code);
    Played p(movie);
    EXPECT_EQ(p.take(), "37|32|13|27|34|20");

    p.player.keyDown(65, 97);
    EXPECT_EQ(p.take(), "down 65|ascii 97|held true|caps false");
    p.player.keyUp(65, 97);
    EXPECT_EQ(p.take(), "up 65|held false");
    p.player.keyDown(37, 0);
    EXPECT_EQ(p.take(), "down 37|ascii 0|held false|caps false");

    p.player.setKeyToggled(20, true);
    p.player.keyDown(65, 65);
    p.player.releaseKeys(); // focus gone: no key stays down
    p.player.keyDown(66, 66);
    EXPECT_EQ(p.take(), "down 65|ascii 65|held true|caps true|down 66|ascii 66|held false|caps true");

}

TEST(KeyInput, ClipEventsThenKeyPressesOfClipsAndButtons)
{
    InputMovie movie;
    std::uint16_t clip = movie.boxClip();
    ButtonDefinition button;
    button.parts.push_back({movie.box, StateUp | StateHit, {}});
    button.actions.push_back({0, actionsOf(traced("button b")), 'b'});
    button.actions.push_back({0, actionsOf(traced("button escape")), 19});
    button.actions.push_back({CondOverDownToOverUp, actionsOf(traced("button click"))});
    std::uint16_t buttonId = movie.writer.defineButton(button);
    movie.place(movie.writer.root(), {1, clip, 0, 0, "first",
                                      std::nullopt,
                                      {{kKeyDown, 0, traced("first keyDown")},
                                       {kKeyUp, 0, traced("first keyUp")},
                                       {kKeyPress, 1, traced("first left")},
                                       {kKeyPress, 'a', traced("first a")}}});
    movie.place(movie.writer.root(), {2, clip, 100, 0, "second", std::nullopt,
                                      {{kKeyDown, 0, traced("second keyDown")}, {kKeyPress, 'A', traced("second A")}}});
    movie.place(movie.writer.root(), {3, buttonId, 100, 50, "b", std::nullopt, {}});
    Asm listener;
    setHandler(listener, "_root", "onKeyDown", traced("listener"));
    getVar(listener, "_root");
    callMethod(listener, "Key", "addListener", 1).op(0x17);
    movie.script(listener);
    Played p(movie);
    p.take();

    p.player.keyDown(37, 0); // left arrow: the format's key 1
    EXPECT_EQ(p.take(), "listener|first keyDown|second keyDown|first left");
    p.player.keyUp(37, 0);
    EXPECT_EQ(p.take(), "first keyUp");
    p.player.keyDown(65, 'a');
    EXPECT_EQ(p.take(), "listener|first keyDown|second keyDown|first a");
    p.player.keyDown(65, 'A'); // the character decides, not the key
    EXPECT_EQ(p.take(), "listener|first keyDown|second keyDown|second A");
    p.player.keyDown(66, 'b');
    EXPECT_EQ(p.take(), "listener|first keyDown|second keyDown|button b");
    p.player.keyDown(27, 27);
    EXPECT_EQ(p.take(), "listener|first keyDown|second keyDown|button escape");
    p.player.keyDown(16, 0); // shift alone presses nothing
    EXPECT_EQ(p.take(), "listener|first keyDown|second keyDown");
}

TEST(MouseInput, EveryClipAndEveryListenerHearsTheMouse)
{
    InputMovie movie;
    std::uint16_t clip = movie.boxClip();
    movie.place(movie.writer.root(),
                {1, clip, 0, 0, "a", std::nullopt,
                 {{kMouseDown, 0, traced("a down")}, {kMouseUp, 0, traced("a up")}, {kMouseMove, 0, traced("a move")}}});
    movie.place(movie.writer.root(), {2, clip, 150, 50, "b", std::nullopt, {}});
    Asm code;
    setHandler(code, "b", "onMouseDown", traced("b onMouseDown"));
    // A plain object as listener: o = new Object(); o.onMouseDown = ...
    code.str("o").i32(0).str("Object").op(0x40).op(0x1D);
    setHandler(code, "o", "onMouseDown", traced("o down"));
    setHandler(code, "o", "onMouseUp", traced("o up"));
    Asm wheel;
    wheel.str("o wheel ").str("delta").op(0x1C).op(0x47).trace();
    getVar(code, "o").str("onMouseWheel").function("", {"delta"}, wheel).op(0x4F);
    getVar(code, "o");
    callMethod(code, "Mouse", "addListener", 1).op(0x17);
    movie.script(code);
    Played p(movie);
    p.take();

    // Far from both clips: they hear it all the same.
    p.player.mouseMove(100, 90);
    EXPECT_EQ(p.take(), "a move");
    p.player.mouseDown(100, 90);
    EXPECT_EQ(p.take(), "o down|a down|b onMouseDown");
    p.player.mouseMove(100, 90); // no movement, no event
    EXPECT_EQ(p.take(), "");
    p.player.mouseUp(100, 90);
    EXPECT_EQ(p.take(), "o up|a up");
    p.player.mouseWheel(-3);
    EXPECT_EQ(p.take(), "o wheel -3");
}

// A clip with button handlers set by script: the transitions in their order.
struct ClipButton : ::testing::Test {
    ClipButton()
    {
        std::uint16_t clip = movie.boxClip();
        movie.place(movie.writer.root(), {1, clip, 20, 20, "btn", std::nullopt, {}});
        for (const char* handler :
             {"onRollOver", "onRollOut", "onPress", "onRelease", "onReleaseOutside", "onDragOut", "onDragOver"})
            setHandler(code, "btn", handler, traced(handler));
    }
    Played& start()
    {
        movie.script(code);
        played.emplace(movie);
        played->take();
        return *played;
    }
    InputMovie movie;
    Asm code;
    std::optional<Played> played;
};

TEST_F(ClipButton, TransitionsCallTheirHandlers)
{
    Played& p = start();
    p.player.mouseMove(5, 5);
    EXPECT_FALSE(p.player.overButton());
    p.player.mouseMove(30, 30);
    EXPECT_TRUE(p.player.overButton());
    EXPECT_EQ(p.take(), "onRollOver");
    p.player.mouseDown(30, 30);
    p.player.mouseUp(30, 30);
    EXPECT_EQ(p.take(), "onPress|onRelease");
    p.player.mouseDown(30, 30);
    p.player.mouseMove(100, 90);
    p.player.mouseMove(40, 40);
    p.player.mouseMove(100, 90);
    p.player.mouseUp(100, 90);
    EXPECT_EQ(p.take(), "onPress|onDragOut|onDragOver|onDragOut|onReleaseOutside");
    p.player.mouseMove(30, 30);
    p.player.mouseMove(100, 90);
    EXPECT_EQ(p.take(), "onRollOver|onRollOut");
}

TEST_F(ClipButton, DisabledTakesNoMouseAndHandCursorCanBeOff)
{
    getVar(code, "btn").str("enabled").boolean(false).op(0x4F);
    Played& p = start();
    p.click(30, 30);
    EXPECT_FALSE(p.player.overButton());
    EXPECT_EQ(p.take(), "");
    ASSERT_TRUE(p.player.setVariable(u"btn.enabled", u"1"));
    ASSERT_TRUE(p.player.setVariable(u"btn.useHandCursor", u""));
    p.click(30, 30);
    EXPECT_EQ(p.take(), "onRollOver|onPress|onRelease");
    EXPECT_FALSE(p.player.overButton()); // hit, but no hand
}

TEST_F(ClipButton, HitAreaStandsInForTheClipsShapes)
{
    // area: a hidden box clip at (120, 20); btn answers there, not over itself.
    movie.place(movie.writer.root(), {2, movie.boxClip(), 120, 20, "area", std::nullopt, {}});
    getVar(code, "btn").str("hitArea");
    getVar(code, "area");
    code.op(0x4F);
    getVar(code, "area").str("_visible").boolean(false).op(0x4F);
    Played& p = start();
    p.click(30, 30);
    EXPECT_EQ(p.take(), "");
    p.click(130, 30);
    EXPECT_EQ(p.take(), "onRollOver|onPress|onRelease");
}

TEST(MouseInput, ButtonObjectsAndClipsAsButtonsInTheirOrder)
{
    InputMovie movie;
    ButtonDefinition button;
    button.parts.push_back({movie.box, StateUp | StateHit, {}});
    button.actions.push_back({CondOverUpToOverDown, actionsOf(traced("on press"))});
    button.actions.push_back({CondOverDownToOverUp, actionsOf(traced("on release"))});
    std::uint16_t buttonId = movie.writer.defineButton(button);
    // A parent clip with a button handler takes the mouse from the button inside it.
    TimelineWriter inner;
    movie.place(inner, {1, buttonId, 0, 0, "inner", std::nullopt, {}});
    std::uint16_t holder = movie.writer.defineSprite(inner);
    movie.place(movie.writer.root(), {1, buttonId, 0, 0, "b", std::nullopt, {}});
    movie.place(movie.writer.root(), {2, holder, 100, 0, "holder", std::nullopt, {}});
    movie.place(movie.writer.root(), {3, movie.boxClip(), 100, 50, "events", std::nullopt,
                                      {{kPress, 0, traced("clip on(press)")}, {kRelease, 0, traced("clip on(release)")}}});
    Asm code;
    setHandler(code, "b", "onPress", traced("b.onPress"));
    setHandler(code, "b", "onRelease", traced("b.onRelease"));
    setHandler(code, "holder", "onRelease", traced("holder.onRelease"));
    movie.script(code);
    Played p(movie);
    p.take();

    p.click(10, 10);
    EXPECT_EQ(p.take(), "on press|b.onPress|on release|b.onRelease");
    p.click(110, 10);
    EXPECT_EQ(p.take(), "holder.onRelease");
    p.click(110, 60);
    EXPECT_EQ(p.take(), "clip on(press)|clip on(release)");
}

TEST(MouseInput, DraggingFollowsTheMouseWithinItsBoundsAndNamesTheDropTarget)
{
    InputMovie movie;
    std::uint16_t clip = movie.boxClip();
    movie.place(movie.writer.root(), {1, clip, 150, 50, "target", std::nullopt, {}});
    // Pressed, piece drags itself (startDrag("", false, 0, 0, 160, 70)); released, it stops.
    Asm press;
    press.i32(0).i32(0).i32(160).i32(70).boolean(true).boolean(false).str("").op(0x27);
    Asm release;
    release.op(0x28);
    getVar(release, "this").str("_droptarget").op(0x4E).trace();
    movie.place(movie.writer.root(),
                {2, clip, 10, 10, "piece", std::nullopt, {{kPress, 0, press}, {kRelease, 0, release}}});
    // free: startDrag with its centre locked on the mouse, by method.
    Asm lock;
    lock.boolean(true).i32(1);
    getVar(lock, "this").str("startDrag").op(0x52).op(0x17);
    movie.place(movie.writer.root(), {3, clip, 0, 60, "free", std::nullopt, {{kPress, 0, lock}}});
    Played p(movie);
    auto where = [&](const char16_t* path) {
        return std::to_string(int(*p.player.tGetPropertyNum(path, 0))) + "," +
               std::to_string(int(*p.player.tGetPropertyNum(path, 1)));
    };

    p.player.mouseMove(20, 20);
    p.player.mouseDown(20, 20);
    p.player.mouseMove(50, 30);
    EXPECT_EQ(where(u"/piece"), "40,20"); // kept 10,10 from the mouse
    p.player.mouseMove(500, 500);
    EXPECT_EQ(where(u"/piece"), "160,70"); // held inside its rectangle
    p.player.mouseMove(165, 65); // over target, clamped again
    EXPECT_EQ(where(u"/piece"), "155,55");
    p.player.mouseUp(165, 65);
    EXPECT_EQ(p.take(), "/target");
    p.player.mouseMove(10, 10);
    EXPECT_EQ(where(u"/piece"), "155,55"); // no longer follows

    p.player.mouseDown(5, 65);
    p.player.mouseUp(5, 65);
    p.player.mouseMove(100, 30);
    EXPECT_EQ(where(u"/free"), "100,30"); // its registration point on the mouse
}

// DefineMorphShape: a 20 x 20 pixel square at (0, 0) that becomes one at (100, 0).
Bytes morphSquare(std::uint16_t id)
{
    auto square = [](BitWriter& b, double x, bool withStyle) {
        b.ub(0, 1); // a style change
        b.ub(0, 2);
        b.ub(0, 1);              // no fill 1
        b.ub(withStyle ? 1 : 0, 1); // fill 0
        b.ub(1, 1);              // move to
        b.ub(13, 5);
        b.sb(std::int32_t(x * 20), 13);
        b.sb(0, 13);
        if (withStyle)
            b.ub(1, 1);
        for (auto [dx, dy] : {std::pair{400, 0}, {0, 400}, {-400, 0}, {0, -400}}) {
            b.ub(1, 1); // an edge
            b.ub(1, 1); // straight
            b.ub(12 - 2, 4);
            b.ub(1, 1); // general line
            b.sb(dx, 12);
            b.sb(dy, 12);
        }
        b.ub(0, 6); // end
        b.align();
    };
    BitWriter start, end;
    start.ub(1, 4);
    start.ub(0, 4);
    square(start, 0, true);
    end.ub(0, 4);
    end.ub(0, 4);
    square(end, 100, false);
    Bytes startEdges = start.take(), endEdges = end.take();
    BitWriter b;
    b.u16(id);
    b.rect({0, 0, 400, 400});
    b.rect({2000, 0, 2400, 400});
    BitWriter styles;
    styles.u8(1);
    styles.u8(0); // solid
    styles.rgba(0xFF00FF00);
    styles.rgba(0xFF0000FF);
    styles.u8(0); // no lines
    Bytes styleBytes = styles.take();
    b.u32(std::uint32_t(styleBytes.size() + startEdges.size()));
    b.bytes(styleBytes);
    b.bytes(startEdges);
    b.bytes(endEdges);
    return b.take();
}

TEST(MouseInput, MorphShapesAreHitWhereTheirRatioPutsThem)
{
    InputMovie movie;
    movie.writer.root().tag(46, morphSquare(900));
    for (auto [depth, ratio, name] : {std::tuple{1, 0u, "start"}, {2, 32768u, "middle"}, {3, 65535u, "end"}}) {
        TimelineWriter inner;
        movie.place(inner, {1, 900, 0, 0, "", ratio, {}});
        std::uint16_t holder = movie.writer.defineSprite(inner);
        movie.place(movie.writer.root(), {depth, holder, 0, double(depth - 1) * 30, name, std::nullopt,
                                          {{kPress, 0, traced(name)}}});
    }
    Played p(movie);
    p.take();
    auto pressAt = [&](double x, double y) {
        p.click(x, y);
        return p.take();
    };
    EXPECT_EQ(pressAt(10, 10), "start");
    EXPECT_EQ(pressAt(110, 10), "");
    EXPECT_EQ(pressAt(60, 40), "middle");
    EXPECT_EQ(pressAt(10, 40), "");
    EXPECT_EQ(pressAt(110, 40), "");
    EXPECT_EQ(pressAt(110, 70), "end");
    EXPECT_EQ(pressAt(10, 70), "");
}

TEST(MouseInput, HideAndShowTellWhetherTheCursorWasShowing)
{
    InputMovie movie;
    Asm code;
    for (const char* call : {"hide", "hide", "show", "show", "hide"})
        callMethod(code, "Mouse", call, 0).trace();
    movie.script(code);
    Played p(movie);
    EXPECT_EQ(p.take(), "1|0|0|1|1");
    EXPECT_TRUE(p.player.cursorHidden());
}

TEST(KeyInput, ThePressedFieldTakesTypedKeysUntilAPressElsewhere)
{
    InputMovie movie;
    Asm code;
    // createTextField("f", 5, 0, 0, 100, 20); f.type = "input"
    code.i32(20).i32(100).i32(0).i32(0).i32(5).str("f");
    callMethod(code, "_root", "createTextField", 6).op(0x17);
    getVar(code, "f").str("type").str("input").op(0x4F);
    Asm show;
    getVar(show, "f").str("text").op(0x4E).trace();
    setHandler(code, "_root", "onKeyUp", show);
    getVar(code, "_root");
    callMethod(code, "Key", "addListener", 1).op(0x17);
    movie.script(code);
    Played p(movie);
    p.take();
    auto type = [&](unsigned code, unsigned ascii) {
        p.player.keyDown(code, ascii);
        p.player.keyUp(code, ascii);
    };

    type(65, 'a'); // no field has the keyboard yet
    p.click(10, 10);
    type(65, 'a');
    type(66, 'B');
    type(37, 0); // left, then type before the B
    type(67, 'c');
    type(8, 0); // backspace takes the c again
    EXPECT_EQ(p.take(), "|a|aB|aB|acB|aB");
    p.click(150, 80);
    type(68, 'd');
    EXPECT_EQ(p.take(), "aB");
}

// What a mask hides the mouse cannot reach: a clip layer over the depths it
// names, and a script mask (setMask), which is itself not hit.
TEST(MouseInput, MasksLimitWhereClipsAreHit)
{
    InputMovie movie;
    std::uint16_t clip = movie.boxClip();
    auto& root = movie.writer.root();
    // PlaceObject2 of a clip layer at depth 1 (0..40) masking depth 2.
    BitWriter layer;
    layer.u8(0x02 | 0x04 | 0x40); // character, matrix, clip depth
    layer.u16(1);
    layer.u16(clip);
    layer.matrix(Matrix{});
    layer.u16(2);
    root.tag(26, layer.take());
    movie.place(root, {2, clip, 20, 0, "masked", std::nullopt, {}}); // 20..60, seen 20..40
    movie.place(root, {3, clip, 20, 50, "free", std::nullopt, {}});  // above the layer's range
    movie.place(root, {4, clip, 100, 0, "scripted", std::nullopt, {}});
    movie.place(root, {5, clip, 120, 0, "cover", std::nullopt, {}});
    Asm code;
    for (const char* name : {"masked", "free", "scripted", "cover"})
        setHandler(code, name, "onPress", traced(name));
    getVar(code, "cover");
    callMethod(code, "scripted", "setMask", 1).op(0x17);
    movie.script(code);
    Played p(movie);
    p.take();

    p.click(30, 10);
    p.click(50, 10); // outside the layer
    p.click(50, 60);
    p.click(110, 10); // outside the script mask
    p.click(130, 10);
    p.click(150, 10); // the mask alone
    EXPECT_EQ(p.take(), "masked|free|scripted");
}

// Menu items (track as menu) take a press made elsewhere while the mouse is
// held and let it go when the mouse leaves; ordinary buttons keep their press.
TEST(MouseInput, MenuItemsPassThePressAlong)
{
    InputMovie movie;
    auto button = [&](const std::string& name, bool menu) {
        ButtonDefinition b;
        b.trackAsMenu = menu;
        b.parts.push_back({movie.box, StateUp | StateHit, {}});
        const std::pair<unsigned, const char*> conditions[] = {
            {CondOverUpToOverDown, " press"}, {CondOverDownToOverUp, " release"},
            {CondIdleToOverDown, " held in"}, {CondOverDownToIdle, " held out"},
            {CondOverDownToOutDown, " drag out"}, {CondOutDownToIdle, " release outside"}};
        for (const auto& [condition, text] : conditions)
            b.actions.push_back({condition, actionsOf(traced(name + text))});
        return movie.writer.defineButton(b);
    };
    auto& root = movie.writer.root();
    movie.place(root, {1, button("a", true), 0, 0, "a", std::nullopt, {}});
    movie.place(root, {2, button("b", true), 100, 0, "b", std::nullopt, {}});
    movie.place(root, {3, button("plain", false), 50, 50, "plain", std::nullopt, {}});
    Played p(movie);
    p.take();

    p.player.mouseMove(10, 10);
    p.player.mouseDown(10, 10);
    p.player.mouseMove(60, 60); // over a plain button: it waits
    p.player.mouseMove(110, 10);
    p.player.mouseUp(110, 10);
    EXPECT_EQ(p.take(), "a press|a held out|b held in|b release");
    p.player.mouseDown(180, 90); // pressed on nothing, then into a menu item
    p.player.mouseMove(10, 10);
    p.player.mouseUp(10, 10);
    EXPECT_EQ(p.take(), "a held in|a release");
    p.player.mouseDown(60, 60); // a plain button keeps its press
    p.player.mouseMove(10, 10);
    p.player.mouseUp(10, 10);
    EXPECT_EQ(p.take(), "plain press|plain drag out|plain release outside");
}

} // namespace
} // namespace lumbra::movie::test
