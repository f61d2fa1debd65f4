// The display classes of scripts: Color over clips and buttons, named
// buttons as Button objects with their handlers fired by the mouse,
// ContextMenu and the right-click menu it makes, TextSnapshot over static text.
// Expected texts follow the language reference's descriptions: multipliers
// in percent kept in 8.8 fixed point, offsets whole, paths as the player
// prints them.
#include "ActionAssembler.h"
#include "MovieTestSupport.h"
#include "SourceSupport.h"

#include "control/movie/MovieWriter.h"
#include "control/movie/Properties.h"
#include "control/movie/RasterCanvas.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

namespace lumbra::movie::test {
namespace {

// A player of one movie whose traces join with "|".
struct Traced {
    explicit Traced(const std::vector<std::uint8_t>& movie, int width = 200, int height = 100)
    {
        player.setTraceHandler([this](const std::u16string& line) { out += (out.empty() ? "" : "|") + narrow(line); });
        EXPECT_TRUE(player.load(movie)) << player.error();
        player.setViewport(width, height);
        player.setScaleMode(ScaleMode::NoScale);
        player.setAlign(AlignLeft | AlignTop);
    }
    std::string take() { return std::exchange(out, {}); }
    void click(double x, double y)
    {
        player.mouseMove(x, y);
        player.mouseDown(x, y);
        player.mouseUp(x, y);
    }

    MoviePlayer player;
    std::string out;
};

// --- Color ------------------------------------------------------------------------

TEST(ColorScript, RgbAndTransformsInTheReferenceUnits)
{
    EXPECT_EQ(runSource(R"(
this.createEmptyMovieClip("box", 1);
var c = new Color(box);
trace(typeof Color + " " + typeof c + " " + (c instanceof Color));
c.setRGB(0xFF8000);
trace(c.getRGB().toString(16));
var t = c.getTransform();
trace([t.ra, t.rb, t.ga, t.gb, t.ba, t.bb, t.aa, t.ab]);
// Only the terms given change; multipliers keep 8.8 fixed point, offsets whole numbers.
c.setTransform({ra: 30, gb: -40.7, aa: 50});
t = c.getTransform();
trace([t.ra, t.rb, t.ga, t.gb, t.ba, t.bb, t.aa, t.ab]);
trace(box._alpha);
box._alpha = 20;
trace(c.getTransform().aa);
c.setTransform({ra: 100, rb: 0, ga: 100, gb: 0, ba: 100, bb: 0, aa: 100, ab: 0});
trace(c.getRGB() + " " + box._alpha);
)"),
              "function object true\nff8000\n0,255,0,128,0,0,100,0\n29.6875,255,0,-40,0,0,50,0\n50\n"
              "19.921875\n0 100\n");
}

TEST(ColorScript, TargetIsFoundAtEachCall)
{
    EXPECT_EQ(runSource(R"(
this.createEmptyMovieClip("box", 1);
var byPath = new Color("box");
var byClip = new Color(box);
byPath.setRGB(0x123456);
trace(byClip.getRGB() == 0x123456);
// Removed: the Colors do nothing and answer nothing.
box.removeMovieClip();
byClip.setRGB(0xFF0000);
trace(byClip.getRGB() + " " + byPath.getTransform());
// A new clip of that name answers to both: the path and the reference.
this.createEmptyMovieClip("box", 2);
byPath.setRGB(0x00FF00);
trace(byPath.getRGB().toString(16) + " " + byClip.getRGB().toString(16));
var none = new Color();
none.setRGB(1);
trace(none.getRGB());
)",
                        7),
              "true\nundefined undefined\nff00 ff00\nundefined\n");
}

TEST(ColorScript, IsThereFromVersion5)
{
    EXPECT_EQ(runSource("trace(typeof Color); trace(typeof Button); trace(typeof ContextMenu);", 5),
              "function\nundefined\nundefined\n");
    EXPECT_EQ(runSource("trace(typeof Button); trace(typeof ContextMenu); trace(typeof TextSnapshot);", 6),
              "function\nundefined\nundefined\n");
}

TEST(ColorDrawing, SetRgbColoursTheClip)
{
    MoviePlayer player;
    ASSERT_TRUE(player.load(actionscript::compileMovie(R"(
this.createEmptyMovieClip("box", 1);
box.beginFill(0xFF0000); box.moveTo(0, 0); box.lineTo(20, 0); box.lineTo(20, 20); box.lineTo(0, 20); box.endFill();
box._alpha = 50;
new Color(box).setRGB(0x0000FF);
)",
                                                       8)));
    player.setBackgroundColor(0xFFFFFF);
    player.setViewport(40, 40);
    player.setScaleMode(ScaleMode::NoScale);
    player.setAlign(AlignLeft | AlignTop);
    RasterCanvas canvas(40, 40);
    player.render(canvas);
    // Blue at half alpha over white (alpha 127.5 of 255, the multiplier being 128/256).
    Argb pixel = canvas.pixels().at(10, 10);
    EXPECT_NEAR(int(pixel >> 16 & 0xFF), 127, 2);
    EXPECT_NEAR(int(pixel >> 8 & 0xFF), 127, 2);
    EXPECT_NEAR(int(pixel & 0xFF), 255, 2);
    EXPECT_EQ(canvas.pixels().at(30, 30), 0xFFFFFFFFu);
}

// --- Button -----------------------------------------------------------------------

// A 200 x 100 stage with a button "btn" covering (20,20)-(80,60) and the script.
std::vector<std::uint8_t> buttonMovie(std::string_view script, int version = 8)
{
    MovieWriter writer(200 * kTwips, 100 * kTwips, 12, version);
    ShapeStyle red;
    red.fill = 0xFFFF0000;
    auto shape = writer.defineShape({Outline::rectangle({0, 0, 60 * kTwips, 40 * kTwips})}, red);
    ButtonDefinition button;
    button.parts = {{shape, StateUp | StateOver | StateDown | StateHit, {}}};
    auto id = writer.defineButton(button);
    writer.root().place({1, id, Matrix::translation(20 * kTwips, 20 * kTwips), u"btn"});
    writer.root().actions(actionscript::compileActions(script, version));
    writer.root().showFrame();
    return writer.finish(false);
}

TEST(ButtonScript, NamedButtonsAreButtonObjects)
{
    Traced t(buttonMovie(R"(
trace(typeof btn + " " + (btn instanceof Button) + " " + (btn instanceof MovieClip) + " " + btn);
trace([btn._x, btn._y, btn._width, btn._height, btn._name, btn._target, btn._parent]);
btn._x = 30; btn._alpha = 30; btn._rotation = 90;
trace([btn._x, btn._alpha, btn._rotation, btn.getDepth()]);
trace([btn.enabled, btn.useHandCursor, btn.trackAsMenu, btn.tabEnabled, btn.tabIndex]);
btn.trackAsMenu = 1;
trace(btn.trackAsMenu);
btn.blendMode = "multiply";
trace(btn.blendMode + " " + btn.filters.length);
Button.prototype.shout = function () { return "I am " + this._name; };
trace(btn.shout());
)"));
    EXPECT_EQ(t.take(), "object true false _level0.btn|20,20,60,40,btn,/btn,_level0|30,29.6875,90,-16383|"
                        "true,true,false,undefined,undefined|true|multiply 0|I am btn");
}

TEST(ButtonScript, HandlersFollowTheMouseAndDisabledButtonsFireNone)
{
    Traced t(buttonMovie(R"(
var names = ["onPress", "onRelease", "onReleaseOutside", "onRollOver", "onRollOut", "onDragOver", "onDragOut"];
for (var i = 0; i < names.length; ++i)
    btn[names[i]] = function (n) { return function () { trace(n + " " + this._name); }; }(names[i]);
)"));
    t.player.mouseMove(50, 40);
    t.player.mouseDown(50, 40);
    t.player.mouseMove(150, 90);
    t.player.mouseMove(50, 40);
    t.player.mouseUp(50, 40);
    t.player.mouseMove(150, 90);
    EXPECT_EQ(t.take(), "onRollOver btn|onPress btn|onDragOut btn|onDragOver btn|onRelease btn|onRollOut btn");
    t.player.mouseMove(50, 40);
    t.player.mouseDown(50, 40);
    t.player.mouseMove(150, 90);
    t.player.mouseUp(150, 90);
    EXPECT_EQ(t.take(), "onRollOver btn|onPress btn|onDragOut btn|onReleaseOutside btn");
    t.player.setVariable(u"btn.enabled", u"");
    t.click(50, 40);
    t.player.mouseMove(150, 90);
    EXPECT_EQ(t.take(), "");
    EXPECT_FALSE(t.player.overButton());
}

TEST(ButtonScript, ColorTakesAButton)
{
    Traced t(buttonMovie(R"(
var c = new Color(btn);
c.setRGB(0x336699);
trace(c.getRGB().toString(16) + " " + btn._alpha);
)"));
    EXPECT_EQ(t.take(), "336699 100");
    RecordingCanvas canvas;
    t.player.render(canvas);
    ASSERT_FALSE(canvas.fills.empty());
    EXPECT_EQ(canvas.fills.back().fill.color, 0xFF336699u);
}

// --- ContextMenu ------------------------------------------------------------------

TEST(ContextMenuScript, MenusItemsAndCopies)
{
    EXPECT_EQ(runSource(R"(
var cm = new ContextMenu(function () {});
trace(typeof cm.onSelect + " " + cm.customItems.length + " " + (cm instanceof ContextMenu));
var names = [];
for (var k in cm.builtInItems) names.push(k + "=" + cm.builtInItems[k]);
names.sort();
trace(names);
cm.hideBuiltInItems();
trace(cm.builtInItems.zoom + " " + cm.builtInItems.print + " " + cm.builtInItems.forward_back);
cm.builtInItems.print = true;
var item = new ContextMenuItem("Hello", cm.onSelect);
trace([item.caption, item.separatorBefore, item.enabled, item.visible, item.onSelect == cm.onSelect]);
var off = new ContextMenuItem("Off", null, true, false, false);
trace([off.separatorBefore, off.enabled, off.visible]);
cm.customItems.push(item, off);
var copy = cm.copy();
trace([copy.customItems.length, copy.customItems[0] == item, copy.customItems[0].caption,
       copy.customItems[1].visible, copy.onSelect == cm.onSelect, copy.builtInItems.zoom,
       copy.builtInItems.print, copy.builtInItems == cm.builtInItems]);
trace(typeof new ContextMenu().onSelect);
)",
                        7),
              "function 0 true\n"
              "forward_back=true,loop=true,play=true,print=true,quality=true,rewind=true,save=true,zoom=true\n"
              "false false false\nHello,false,true,true,true\ntrue,false,false\n"
              "2,false,Hello,false,true,false,true,false\nundefined\n");
}

std::vector<std::string> captions(const std::vector<MoviePlayer::MenuItem>& items)
{
    std::vector<std::string> out;
    for (const auto& item : items)
        out.push_back(narrow(item.caption) + (item.enabled ? "" : "(off)") + (item.separatorBefore ? "(sep)" : ""));
    return out;
}

TEST(ContextMenuInput, TheNearestMenuUpTheChainIsShown)
{
    Traced t(actionscript::compileMovie(R"(
function square(mc) { mc.beginFill(0xFF0000); mc.moveTo(0, 0); mc.lineTo(40, 0); mc.lineTo(40, 40); mc.lineTo(0, 40); mc.endFill(); }
var stage = new ContextMenu(function (owner, menu) { trace("stage menu for " + owner); });
stage.hideBuiltInItems();
stage.builtInItems.loop = true;
_root.menu = stage;
this.createEmptyMovieClip("outer", 1);
outer._x = 100;
outer.createEmptyMovieClip("inner", 1);
square(outer.inner);
var own = new ContextMenu(function (owner, menu) {
    trace("own menu for " + owner);
    menu.customItems[1].enabled = false;
});
own.customItems.push(new ContextMenuItem("First", function (owner, item) { trace(item.caption + " on " + owner); }));
own.customItems.push(new ContextMenuItem("Second", null, true));
own.customItems.push(new ContextMenuItem("Hidden", null, false, true, false));
outer.menu = own;
)",
                                        7),
             200, 100);
    t.take();
    // Over the inner clip: its parent's menu, custom items first, then the built-in ones.
    auto items = t.player.contextMenu(110, 10);
    EXPECT_EQ(t.take(), "own menu for _level0.outer");
    EXPECT_EQ(captions(items), (std::vector<std::string>{"First", "Second(off)(sep)", "Zoom In(sep)", "Zoom Out",
                                                         "Show All", "Low(sep)", "Medium", "High", "Play(sep)",
                                                         "Loop", "Rewind(off)", "Forward(off)", "Back(off)",
                                                         "Print...(off)(sep)"}));
    EXPECT_TRUE(items[7].checked); // the quality is high
    t.player.chooseMenuItem(items[0]);
    EXPECT_EQ(t.take(), "First on _level0.outer");
    t.player.chooseMenuItem(items[1]); // disabled: nothing
    EXPECT_EQ(t.take(), "");
    // Elsewhere: the root's menu, with only the item it did not hide.
    items = t.player.contextMenu(10, 90);
    EXPECT_EQ(t.take(), "stage menu for _level0");
    ASSERT_EQ(captions(items), std::vector<std::string>{"Loop"});
    EXPECT_TRUE(items[0].checked);
    t.player.chooseMenuItem(items[0]);
    EXPECT_FALSE(t.player.loop());
}

TEST(ContextMenuInput, WithoutAMenuEveryBuiltInItemShows)
{
    Traced t(buttonMovie("btn.menu = 3;", 7));
    auto items = t.player.contextMenu(50, 40);
    ASSERT_EQ(items.size(), 12u);
    EXPECT_EQ(narrow(items.front().caption), "Zoom In");
    ASSERT_EQ(narrow(items[3].caption), "Low");
    t.player.chooseMenuItem(items[3]);
    EXPECT_EQ(t.player.tGetProperty(u"/", 19), u"LOW");
}

// --- _droptarget ---------------------------------------------------------------

// The main movie drags "piece" (a 4 x 4 square on the mouse) and traces where
// it was dropped; the movie on level 1 holds "box" at (100,0)-(140,40) with
// "inner" at its lower right quarter, and a bare square of its own at (160,60).
TEST(DropTarget, ClipsOfHigherLevelsAreNamedInSlashSyntax)
{
    Traced t(actionscript::compileMovie(R"(
function square(mc, x, y, size) {
    mc.beginFill(0xFF0000); mc.moveTo(x, y); mc.lineTo(x + size, y); mc.lineTo(x + size, y + size);
    mc.lineTo(x, y + size); mc.endFill();
}
this.createEmptyMovieClip("target", 1);
square(target, 10, 60, 30);
this.createEmptyMovieClip("piece", 2);
square(piece, -2, -2, 4);
// Shown only where its mask is: x 60 to 70 of its 60 to 80.
this.createEmptyMovieClip("masked", 3);
square(masked, 60, 0, 20);
this.createEmptyMovieClip("window", 4);
square(window, 60, 0, 10);
masked.setMask(window);
piece.onMouseDown = function () { this.startDrag(true); };
piece.onMouseUp = function () {
    this.stopDrag();
    var d = this._droptarget;
    trace(typeof d + " " + d + " " + eval(d));
};
)",
                                        7));
    ASSERT_TRUE(t.player.loadLevel(1, actionscript::compileMovie(R"(
function square(mc, x, y, size) {
    mc.beginFill(0x0000FF); mc.moveTo(x, y); mc.lineTo(x + size, y); mc.lineTo(x + size, y + size);
    mc.lineTo(x, y + size); mc.endFill();
}
this.createEmptyMovieClip("box", 1);
box._x = 100;
square(box, 0, 0, 40);
box.createEmptyMovieClip("inner", 1);
square(box.inner, 20, 20, 20);
square(this, 160, 60, 20);
)",
                                                                 7)))
        << t.player.error();
    t.take();
    auto drop = [&](double x, double y) {
        t.player.mouseMove(5, 5);
        t.player.mouseDown(5, 5);
        t.player.mouseMove(x, y);
        t.player.mouseUp(x, y);
        return t.take();
    };
    EXPECT_EQ(drop(110, 10), "string _level1/box _level1.box");
    EXPECT_EQ(drop(130, 30), "string _level1/box/inner _level1.box.inner");
    EXPECT_EQ(drop(170, 70), "string _level1 _level1");
    EXPECT_EQ(drop(20, 70), "string /target _level0.target");
    EXPECT_EQ(drop(60, 30), "string  undefined");
    EXPECT_EQ(drop(65, 5), "string /masked _level0.masked");
    EXPECT_EQ(drop(75, 5), "string  undefined");
}

// --- TextSnapshot -----------------------------------------------------------------

// How the font of the static text below is defined.
enum class FontKind {
    Outlines,     // DefineFont2 without layout: no metrics for the characters
    WithLayout,   // DefineFont2 named "Tst" with ascent 800, descent 224 of 1024
    WithFontInfo, // DefineFont, its characters given by DefineFontInfo
};

// A version 7 movie whose root holds static text in two lines, "Hi there"
// over "Two" (glyphs 10 pixels apart, 12 tall, baselines at 10 and 25, the
// first line in 0x336699), and runs `script`; the font and text tags are
// assembled by hand.
std::vector<std::uint8_t> staticTextMovie(std::string_view script, FontKind kind = FontKind::Outlines,
                                          const Asm::Bytes& textMatrix = {0x00})
{
    const std::string codes = "Hi therTwo";
    const std::size_t n = codes.size();
    auto u16 = [](Asm::Bytes& out, unsigned v) { out.push_back(std::uint8_t(v)); out.push_back(std::uint8_t(v >> 8)); };
    // Every glyph an empty shape; offsets count from the offset table.
    auto glyphTable = [&](Asm::Bytes& out, bool withCodeOffset) {
        std::size_t entries = n + (withCodeOffset ? 1 : 0);
        for (std::size_t i = 0; i < entries; ++i)
            u16(out, unsigned(entries * 2 + 2 * i));
        for (std::size_t i = 0; i < n; ++i)
            out.insert(out.end(), {0x10, 0x00});
    };
    Asm::Bytes fontTags;
    if (kind == FontKind::WithFontInfo) {
        Asm::Bytes font{1, 0};
        glyphTable(font, false);
        Asm::Bytes info{1, 0, 3, 'T', 's', 't', 0x00}; // 8-bit codes
        info.insert(info.end(), codes.begin(), codes.end());
        fontTags = tagOf(10, font);
        auto infoTag = tagOf(13, info);
        fontTags.insert(fontTags.end(), infoTag.begin(), infoTag.end());
    } else {
        // DefineFont2: 16-bit offsets and 8-bit codes.
        bool layout = kind == FontKind::WithLayout;
        Asm::Bytes font{1, 0, std::uint8_t(layout ? 0x80 : 0), 0};
        if (layout)
            font.insert(font.end(), {3, 'T', 's', 't'});
        else
            font.push_back(0);
        font.insert(font.end(), {std::uint8_t(n), 0});
        glyphTable(font, true);
        font.insert(font.end(), codes.begin(), codes.end());
        if (layout) {
            u16(font, 800); // ascent
            u16(font, 224); // descent
            u16(font, 0);   // leading
            for (std::size_t i = 0; i < n; ++i)
                u16(font, 512); // advance
            for (std::size_t i = 0; i < n; ++i)
                font.push_back(0); // empty bounds
            u16(font, 0); // no kerning
        }
        fontTags = tagOf(48, font);
    }
    // DefineText: empty bounds, the matrix, 8-bit glyphs, 16-bit advances.
    Asm::Bytes text{2, 0, 0x00};
    text.insert(text.end(), textMatrix.begin(), textMatrix.end());
    text.insert(text.end(), {8, 16});
    auto line = [&](std::uint8_t flags, int y, std::string_view chars) {
        text.push_back(flags);
        if (flags & 0x08)
            text.insert(text.end(), {1, 0});            // font 1
        if (flags & 0x04)
            text.insert(text.end(), {0x33, 0x66, 0x99});
        u16(text, 0);                                    // x
        u16(text, unsigned(y));
        if (flags & 0x08)
            u16(text, 240); // height
        text.push_back(std::uint8_t(chars.size()));
        for (char ch : chars) {
            text.push_back(std::uint8_t(codes.find(ch)));
            text.insert(text.end(), {0x00, 0xC8}); // advance 200, bit fields running high bit first
        }
    };
    line(0x8F, 200, "Hi there");
    line(0x83, 500, "Two");
    text.push_back(0);
    Asm::Bytes place{0x02, 1, 0, 2, 0}; // PlaceObject2: character 2 at depth 1
    Asm::Bytes tags = fontTags;
    for (auto tag : {tagOf(11, text), tagOf(26, place), tagOf(12, actionscript::compileActions(script, 7)),
                     tagOf(1, {}), tagOf(0, {})})
        tags.insert(tags.end(), tag.begin(), tag.end());
    return movieOfTags(7, 1, tags);
}

TEST(TextSnapshotScript, ReadsFindsAndSelectsStaticText)
{
    EXPECT_EQ(playOutput(staticTextMovie(R"(
var s = this.getTextSnapshot();
trace(typeof s + " " + (s instanceof TextSnapshot) + " " + s.getCount());
trace(s.getText(0, 99) + "|" + s.getText(0, 99, true) + "|" + s.getText(3, 5) + "|" + s.getText(4, 2));
trace([s.findText(0, "there", true), s.findText(0, "THERE", false), s.findText(0, "THERE", true), s.findText(4, "H", false)]);
s.setSelected(3, 8, true);
s.setSelected(4, 5, false);
trace([s.getSelected(0, 3), s.getSelected(0, 4), s.getSelected(4, 5)]);
trace(this.getTextSnapshot().getSelectedText(false) + "|" + s.getSelectedText());
s.setSelected(8, 10, true);
trace(s.getSelectedText(true).split("\n").join("/"));
this.createEmptyMovieClip("empty", 5);
trace(empty.getTextSnapshot().getCount() + " " + empty.getTextSnapshot().getText(0, 1) + ".");
)")),
              "object true 11\nHi thereTwo|Hi there\nTwo|th|h\n3,3,-1,4\nfalse,true,false\n"
              "tere|tere\ntere/Tw\n0 .\n");
}

TEST(TextSnapshotScript, DefineFontInfoNamesTheCharactersOfAFirstVersionFont)
{
    EXPECT_EQ(playOutput(staticTextMovie(R"(
var s = this.getTextSnapshot();
trace(s.getText(0, 99, true).split("\n").join("/") + " " + s.getTextRunInfo(0, 1)[0].font);
)",
                                         FontKind::WithFontInfo)),
              "Hi there/Two Tst\n");
}

// Boxes of the layout font: character i of the first line spans x 10i..10i+10
// and y 0.625..12.625 (centre 10i+5, 6.625); the second line's span y
// 15.625..27.625 (centre 21.625).
TEST(TextSnapshotScript, HitTestFindsTheCharacterAtOrNearestThePoint)
{
    EXPECT_EQ(playOutput(staticTextMovie(R"(
var s = this.getTextSnapshot();
_x = 300; _y = 200; // the clip's own coordinates count, not the stage's
trace([s.hitTestTextNearPos(15, 5), s.hitTestTextNearPos(15, 5, 0), s.hitTestTextNearPos(79, 12),
       s.hitTestTextNearPos(25, 26), s.hitTestTextNearPos(35, 26)]);
// Right of the text: the last character's centre is 10.13 away.
trace([s.hitTestTextNearPos(85, 5), s.hitTestTextNearPos(85, 5, 10), s.hitTestTextNearPos(85, 5, 11)]);
// Above: 11.625 from the centre of "t"; left of the second line: 8.01 from "T".
trace([s.hitTestTextNearPos(25, -5, 11), s.hitTestTextNearPos(25, -5, 12),
       s.hitTestTextNearPos(-3, 22), s.hitTestTextNearPos(-3, 22, 9)]);
// Between the lines the nearer centre wins: "i" is 7.375 away, "w" 7.625.
trace([s.hitTestTextNearPos(15, 14), s.hitTestTextNearPos(15, 14, 8), s.hitTestTextNearPos(15, 14.5, 8)]);
// On the edge "i" and " " share, as near to either centre: the first.
trace(s.hitTestTextNearPos(20, 5));
trace([s.hitTestTextNearPos(15), s.hitTestTextNearPos("a", 5, 1000), s.hitTestTextNearPos(15, 5, "far")]);
)",
                                         FontKind::WithLayout)),
              "1,1,7,10,-1\n-1,-1,7\n-1,2,-1,8\n-1,1,9\n1\n-1,-1,1\n");
    // Without the font's metrics no character has a box.
    EXPECT_EQ(playOutput(staticTextMovie("trace(this.getTextSnapshot().hitTestTextNearPos(15, 5, 100));")), "-1\n");
}

// The text turned a quarter clockwise and moved 100 pixels right: a glyph's
// (x, y) stands at (100 - y, x), so "i" spans x 87.375..99.375, y 10..20.
TEST(TextSnapshotScript, TurnedTextIsHitAndDescribedWhereItStands)
{
    EXPECT_EQ(playOutput(staticTextMovie(R"(
var s = this.getTextSnapshot();
trace(s.getText(0, 99, true).split("\n").join("/"));
trace([s.hitTestTextNearPos(95, 15), s.hitTestTextNearPos(15, 5), s.hitTestTextNearPos(93, 3, 8)]);
var r = s.getTextRunInfo(1, 2)[0];
trace([r.matrix_a, r.matrix_b, r.matrix_c, r.matrix_d, r.matrix_tx, r.matrix_ty]);
trace([r.corner0x, r.corner0y, r.corner1x, r.corner1y, r.corner2x, r.corner2y, r.corner3x, r.corner3y]);
)",
                                         FontKind::WithLayout,
                                         {0x88, 0x32, 0x40, 0x00, 0x30, 0x00, 0x06, 0x9F, 0x40, 0x00, 0x00})),
              "Hi there/Two\n1,-1,0\n0,1,-1,0,90,10\n87.375,10,87.375,20,99.375,20,99.375,10\n");
}

TEST(TextSnapshotScript, TextRunInfoDescribesEachCharacter)
{
    EXPECT_EQ(playOutput(staticTextMovie(R"(
var s = this.getTextSnapshot();
s.setSelected(1, 2, true);
var runs = s.getTextRunInfo(1, 3);
trace(runs.length);
for (var i = 0; i < runs.length; ++i) {
    var r = runs[i];
    trace([r.indexInRun, r.selected, r.font, r.color, r.height]);
    trace([r.matrix_a, r.matrix_b, r.matrix_c, r.matrix_d, r.matrix_tx, r.matrix_ty]);
    trace([r.corner0x, r.corner0y, r.corner1x, r.corner1y, r.corner2x, r.corner2y, r.corner3x, r.corner3y]);
}
var last = s.getTextRunInfo(10, 11)[0];
trace([s.getTextRunInfo(9, 99).length, last.indexInRun, last.matrix_ty, last.corner2y, last.color]);
this.createEmptyMovieClip("empty", 5);
trace(empty.getTextSnapshot().getTextRunInfo(0, 5).length);
)",
                                         FontKind::WithLayout)),
              "2\n"
              "1,true,Tst,4281558681,12\n1,0,0,1,10,10\n10,12.625,20,12.625,20,0.625,10,0.625\n"
              "2,false,Tst,4281558681,12\n1,0,0,1,20,10\n20,12.625,30,12.625,30,0.625,20,0.625\n"
              "2,10,25,15.625,4281558681\n0\n");
}

} // namespace
} // namespace lumbra::movie::test
