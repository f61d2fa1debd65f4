// The keyboard focus: Tab and shift+Tab along the tab order (reading order,
// or tabIndex once any object has one), Selection.getFocus / setFocus with
// paths, and the order of onKillFocus, onSetFocus and Selection's listeners.
// Movies from ActionScript source, keys sent as the host sends them.
#include "control/movie/MoviePlayer.h"
#include "control/movie/RasterCanvas.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace lumbra::movie::test {
namespace {

constexpr unsigned kTab = 0x09, kShift = 0x10;

struct FocusMovie {
    explicit FocusMovie(std::string_view source)
    {
        player.setTraceHandler([this](const std::u16string& line) {
            out += (out.empty() ? "" : "|") + std::string(line.begin(), line.end());
        });
        EXPECT_TRUE(player.load(actionscript::compileMovie(source, 8))) << player.error();
        player.setViewport(550, 400);
    }
    std::string take() { return std::exchange(out, {}); }
    void tab(bool backwards = false)
    {
        if (backwards)
            player.keyDown(kShift, 0);
        player.keyDown(kTab, 0);
        player.keyUp(kTab, 0);
        if (backwards)
            player.keyUp(kShift, 0);
    }

    MoviePlayer player;
    std::string out;
};

constexpr std::string_view kFields = R"(
function field(name, depth, x, y) {
    var f = createTextField(name, depth, x, y, 100, 20);
    f.type = "input";
    f.onSetFocus = function (old) { trace("set " + this._name + " from " + old._name); };
    f.onKillFocus = function (to) { trace("kill " + this._name); };
    return f;
}
field("c", 3, 10, 100);
field("a", 1, 10, 10);
field("b", 2, 200, 10);
createTextField("label", 4, 10, 200, 100, 20).selectable = false; // no tab stop, no focus
var btn = createEmptyMovieClip("btn", 5);
btn.beginFill(0xFF0000);
btn.moveTo(10, 150); btn.lineTo(60, 150); btn.lineTo(60, 170); btn.lineTo(10, 170); btn.endFill();
btn.onRelease = function () {};
btn.onSetFocus = function (old) { trace("set btn from " + old._name); };
var hidden = field("hidden", 6, 0, 0);
hidden._visible = false;
Selection.addListener({onSetFocus: function (o, n) { trace("now " + Selection.getFocus()); }});
)";

TEST(Focus, TabFollowsTheReadingOrderThenTabIndex)
{
    FocusMovie m(kFields);
    m.take();
    m.tab();
    EXPECT_EQ(m.take(), "set a from undefined|now _level0.a");
    m.tab();
    m.tab();
    m.tab();
    EXPECT_EQ(m.take(), "kill a|set b from a|now _level0.b|kill b|set c from b|now _level0.c|"
                        "kill c|set btn from c|now _level0.btn");
    m.tab(); // round again
    m.tab(true);
    EXPECT_EQ(m.take(), "set a from btn|now _level0.a|kill a|set btn from a|now _level0.btn");

    // With a tabIndex anywhere only the indexed objects take part, lowest first.
    m.player.setVariable(u"c.tabIndex", u"2");
    m.player.setVariable(u"btn.tabIndex", u"1");
    m.tab();
    m.tab();
    EXPECT_EQ(m.take(), "set c from btn|now _level0.c|kill c|set btn from c|now _level0.btn");
}

TEST(Focus, SelectionSetsAndReportsTheFocusByPath)
{
    FocusMovie m(std::string(kFields) + R"(
trace(Selection.getFocus());
trace(Selection.setFocus("b") + " " + Selection.getFocus());
trace(Selection.setFocus(label) + " " + Selection.getFocus());
trace(Selection.setFocus(null) + " " + Selection.getFocus());
b.tabEnabled = false;
btn.tabChildren = false;
)");
    EXPECT_EQ(m.take(), "null|set b from undefined|now _level0.b|true _level0.b|false _level0.b|"
                        "kill b|now null|true null");
    m.tab(); // b is left out now
    m.tab();
    EXPECT_EQ(m.take(), "set a from undefined|now _level0.a|kill a|set c from a|now _level0.c");
}

// The focused input field shows its caret, or its selection as a black band
// (device text itself draws nothing on the memory canvas); others show neither.
TEST(Focus, TheFocusedFieldShowsItsCaretOrSelection)
{
    FocusMovie m(R"(
createTextField("empty", 1, 0, 0, 100, 20).type = "input";
var full = createTextField("full", 2, 0, 20, 100, 20);
full.type = "input";
full.text = "abc";
)");
    m.player.setBackgroundColor(0xFFFFFF);
    m.player.setViewport(100, 40);
    m.player.setScaleMode(ScaleMode::NoScale);
    m.player.setAlign(AlignLeft | AlignTop);
    auto pixels = [&] {
        RasterCanvas canvas(100, 40);
        m.player.render(canvas);
        return canvas.pixels();
    };
    constexpr Argb kWhite = 0xFFFFFFFF, kBlack = 0xFF000000;
    auto none = pixels();
    EXPECT_EQ(none.at(2, 10), kWhite);
    EXPECT_EQ(none.at(4, 30), kWhite);

    m.tab(); // the empty field: a caret one pixel wide after the gutter
    auto caret = pixels();
    EXPECT_EQ(caret.at(1, 10), kWhite);
    EXPECT_EQ(caret.at(2, 10), kBlack);
    EXPECT_EQ(caret.at(3, 10), kWhite);
    EXPECT_EQ(caret.at(4, 30), kWhite);

    m.tab(); // the full one, its text selected
    auto selected = pixels();
    EXPECT_EQ(selected.at(2, 10), kWhite);
    EXPECT_EQ(selected.at(4, 30), kBlack);
    EXPECT_EQ(selected.at(90, 30), kWhite);
    m.player.keyDown(0x23, 0); // End: the caret after the text instead
    auto end = pixels();
    EXPECT_EQ(end.at(4, 30), kWhite);
}

} // namespace
} // namespace lumbra::movie::test
