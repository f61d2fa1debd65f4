// The pure rules behind the host objects: Flash texts to values, the data
// binding tables, movie-to-window mapping, command-line items, hot key text.
#include <gtest/gtest.h>

#include <cmath>

#include "host/BoundNames.h"
#include "host/CommandLineItems.h"
#include "host/FlashText.h"
#include "host/HotKeyText.h"
#include "host/MovieToWindow.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptString.h"

namespace lumbra::host {
namespace {

using orvet::ScriptValue;
using orvet::ValueKind;

TEST(FlashText, KeywordsNumbersAndText)
{
    orvet::ScriptContext ctx;
    EXPECT_EQ(flashTextValue(ctx, u"true").boolean, 1u);
    EXPECT_EQ(flashTextValue(ctx, u"false").kind, ValueKind::Boolean);
    EXPECT_EQ(flashTextValue(ctx, u"false").boolean, 0u);
    EXPECT_EQ(flashTextValue(ctx, u"undefined").kind, ValueKind::Undefined);
    EXPECT_EQ(flashTextValue(ctx, u"TRUE").kind, ValueKind::String);

    const struct { std::u16string_view text; std::int64_t value; } integers[] = {
        {u"007", 7}, {u"0x1F", 31}, {u"0X1f", 31}, {u"-12", -12}, {u"+5", 5}, {u"", 0}, {u"  42", 42},
        {u"010", 8}, {u"99999999999", 2147483647}, {u"-99999999999", -2147483647 - 1},
    };
    for (const auto& c : integers) {
        const ScriptValue v = flashTextValue(ctx, c.text);
        ASSERT_EQ(v.kind, ValueKind::Integer) << std::string(c.text.begin(), c.text.end());
        EXPECT_EQ(v.integer, c.value);
    }

    const struct { std::u16string_view text; double value; } floats[] = {
        {u"1.5", 1.5}, {u"-0.25", -0.25}, {u".5", 0.5}, {u"1e3", 1000.0}, {u"2.5E-1", 0.25}, {u"09", 9.0},
    };
    for (const auto& c : floats) {
        const ScriptValue v = flashTextValue(ctx, c.text);
        ASSERT_EQ(v.kind, ValueKind::Float) << std::string(c.text.begin(), c.text.end());
        EXPECT_DOUBLE_EQ(v.number, c.value);
    }

    for (std::u16string_view text : {u"abc", u"12abc", u"1.5.2", u"inf", u"nan", u"0x", u" ", u"1e", u"\u0661"}) {
        const ScriptValue v = flashTextValue(ctx, text);
        ASSERT_EQ(v.kind, ValueKind::String);
        EXPECT_EQ(v.string->view(), text);
    }
}

TEST(FlashText, LeadingLongReadsWhatItCan)
{
    EXPECT_EQ(leadingLong(u"12abc"), 12);
    EXPECT_EQ(leadingLong(u"0x10"), 16);
    EXPECT_EQ(leadingLong(u"abc"), 0);
    EXPECT_FALSE(wholeLong(u"3 "));
    EXPECT_EQ(wholeLong(u""), 0);
}

TEST(BoundNames, BindingCountsClipPathsAndIgnoresCase)
{
    BoundNames names;
    names.bind(u"game.player.score");
    names.bind(u"Game.Player.Lives");
    names.bind(u"GAME.PLAYER.SCORE"); // already bound: counts nothing
    EXPECT_EQ(names.boundCount(), 2u);
    EXPECT_EQ(names.clipCount(u"game"), 2);
    EXPECT_EQ(names.clipCount(u"game.PLAYER"), 2);
    EXPECT_FALSE(names.isClip(u"game.player.score"));
    ASSERT_NE(names.box(u"game.player.SCORE"), nullptr);
    EXPECT_EQ(names.box(u"game.player.score")->kind, ValueKind::Undefined);

    names.unbind(u"game.player.score");
    EXPECT_EQ(names.clipCount(u"game"), 1);
    names.unbind(u"game.player.lives");
    EXPECT_FALSE(names.isClip(u"game"));
    EXPECT_FALSE(names.isClip(u"game.player"));
    names.unbind(u"never.bound");
    EXPECT_EQ(names.boundCount(), 0u);
}

TEST(BoundNames, OddNamesMakeOnlyNonEmptyPrefixes)
{
    BoundNames names;
    names.bind(u".a..b.");
    EXPECT_TRUE(names.isClip(u".a"));
    EXPECT_TRUE(names.isClip(u".a."));
    EXPECT_TRUE(names.isClip(u".a..b"));
    EXPECT_FALSE(names.isClip(u""));
    names.clear();
    EXPECT_FALSE(names.isClip(u".a"));
    EXPECT_EQ(names.box(u".a..b."), nullptr);
}

TEST(BoundNames, HashIsTheNameHashOverFoldedUnits)
{
    // Worked by hand: h = 'a' = 97; then 0 ^ 0 ^ 98 ^ (97 << 5 = 3104) = 3138.
    EXPECT_EQ(boundNameHash(u"AB"), 3138u);
    EXPECT_EQ(boundNameHash(u"ab"), boundNameHash(u"aB"));
    EXPECT_EQ(boundNameHash(u""), 0u);
}

TEST(MovieToWindow, ScaleModes)
{
    const MovieRect point{10, 10, 10, 10};
    // Show all: 550 x 400 in 1100 x 1000 scales by 2 and centres vertically.
    auto r = movieToWindow({550, 400, 1100, 1000, 0}, point);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->left, 20);
    EXPECT_EQ(r->top, 120);
    // No border: scale 2.5, width 1375 overflows: offset -137.
    r = movieToWindow({550, 400, 1100, 1000, 1}, {0, 550, 0, 400});
    EXPECT_EQ(r->left, -137);
    EXPECT_EQ(r->right, -137 + 1375);
    EXPECT_EQ(r->top, 0);
    EXPECT_EQ(r->bottom, 1000);
    // Exact fit stretches each axis on its own.
    r = movieToWindow({550, 400, 1100, 1000, 2}, {55, 550, 40, 400});
    EXPECT_EQ(r->left, 110);
    EXPECT_EQ(r->right, 1100);
    EXPECT_EQ(r->top, 100);
    EXPECT_EQ(r->bottom, 1000);
    // No scale centres the movie at its own size.
    r = movieToWindow({550, 400, 1100, 1000, 3}, point);
    EXPECT_EQ(r->left, 275 + 10);
    EXPECT_EQ(r->top, 300 + 10);
    EXPECT_FALSE(movieToWindow({0, 400, 1100, 1000, 0}, point));
    EXPECT_FALSE(movieToWindow({550, -1, 1100, 1000, 0}, point));
    EXPECT_FALSE(movieToWindow({550, 400, 1100, 1000, 0}, {NAN, 1, 1, 1}));
    r = movieToWindow({550, 400, 1100, 1000, 1}, {-1e308, 1e308, 0, 0});
    EXPECT_LT(r->left, -1000000000);
    EXPECT_GT(r->right, 1000000000);
}

TEST(CommandLineItems, QuotesGroupAndTheProgramIsDropped)
{
    using Items = std::vector<std::string>;
    EXPECT_EQ(commandLineItems("\"C:\\Program Files\\app.exe\" a \"x y\" 'd'"), (Items{"a", "x y", "d"}));
    EXPECT_EQ(commandLineItems("app.exe"), Items{});
    EXPECT_EQ(commandLineItems(""), Items{});
    EXPECT_EQ(commandLineItems("app \"\" b\tc"), (Items{"b\tc"}));
    EXPECT_EQ(commandLineItems("app \"open"), (Items{"open"}));
    EXPECT_EQ(commandLineItems("\t app  one   two "), (Items{"one", "two"}));
}

TEST(HotKeyText, ParseAndFormat)
{
    const KeyNameFn names = [](std::uint16_t code, bool extended) {
        return std::string(extended ? "ext-" : "") + static_cast<char>(code);
    };
    HotKey k = parseHotKey("ctrl+alt+q");
    EXPECT_EQ(k.code, 0x51);
    EXPECT_EQ(k.modifiers, 0x6);
    EXPECT_EQ(hotKeyText(k, names), "CTRL+ALT+Q");
    EXPECT_EQ(hotKeyText({}, names), "None");
    EXPECT_EQ(hotKeyText({0, kHotKeyShift | kHotKeyCtrl}, names), "CTRL+SHIFT");

    k = parseHotKey("Shift+Home");
    EXPECT_EQ(k.code, 0x24);
    EXPECT_EQ(k.modifiers, kHotKeyShift | kHotKeyExtended);
    EXPECT_EQ(hotKeyText(k, names), "SHIFT+ext-$");
    EXPECT_EQ(parseHotKey("num 7").code, 0x67);
    EXPECT_EQ(parseHotKey("F12").code, 0x7B);
    EXPECT_EQ(parseHotKey("f1").code, 0x70);
    EXPECT_EQ(parseHotKey("f13").code, 'F');
    EXPECT_EQ(parseHotKey("ins").code, 0x2D);
    EXPECT_EQ(parseHotKey("end+x").code, 'X');
    const HotKey none = parseHotKey("++");
    EXPECT_EQ(none.code, 0);
    EXPECT_EQ(none.modifiers, 0);
}

} // namespace
} // namespace lumbra::host
