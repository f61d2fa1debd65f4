// A text field's own behaviour: editing as a user types, format runs, HTML in
// and out, and layout figures worked out by hand from the font measures.
#include "control/movie/HtmlText.h"
#include "control/movie/TextField.h"
#include "control/movie/TextMetrics.h"

#include <gtest/gtest.h>

#include <cmath>

namespace lumbra::movie {
namespace {

// An input field of w x h pixels.
TextField inputField(double w = 200, double h = 100, bool multiline = false)
{
    TextField f;
    f.editable = true;
    f.multiline = multiline;
    f.bounds = Rect{0, 0, w * 20, h * 20};
    return f;
}

TEST(TextFieldEditing, TypingBackspaceDeleteAndCaretMoves)
{
    TextField f = inputField();
    EXPECT_TRUE(f.type(u"hello"));
    EXPECT_EQ(f.text(), u"hello");
    EXPECT_EQ(f.caret(), 5u);
    EXPECT_FALSE(f.key(EditKey::Left));
    EXPECT_FALSE(f.key(EditKey::Left));
    EXPECT_TRUE(f.key(EditKey::Backspace)); // removes the 'l' before the caret
    EXPECT_EQ(f.text(), u"helo");
    EXPECT_EQ(f.caret(), 2u);
    EXPECT_TRUE(f.key(EditKey::Delete));
    EXPECT_EQ(f.text(), u"heo");
    f.key(EditKey::Home);
    EXPECT_FALSE(f.key(EditKey::Backspace)); // nothing before the start
    f.key(EditKey::End);
    EXPECT_FALSE(f.key(EditKey::Delete));
    EXPECT_EQ(f.caret(), 3u);

    // Shift-moves select; typing replaces the selection.
    f.key(EditKey::Left, true);
    f.key(EditKey::Left, true);
    EXPECT_EQ(f.selectionBegin(), 1u);
    EXPECT_EQ(f.selectionEnd(), 3u);
    f.type(u"ELLO");
    EXPECT_EQ(f.text(), u"hELLO");
    // A plain Left collapses a selection to its start.
    f.setSelection(1, 3);
    f.key(EditKey::Left);
    EXPECT_EQ(f.caret(), 1u);
    EXPECT_EQ(f.selectionEnd(), 1u);
    // Backspace over a selection removes just the selection.
    f.setSelection(0, 5);
    EXPECT_TRUE(f.key(EditKey::Backspace));
    EXPECT_EQ(f.text(), u"");

    // A dynamic field moves the caret but refuses edits.
    TextField fixed = inputField();
    fixed.setText(u"abc");
    fixed.editable = false;
    fixed.setSelection(3, 3);
    EXPECT_FALSE(fixed.key(EditKey::Backspace));
    EXPECT_EQ(fixed.text(), u"abc");
}

TEST(TextFieldEditing, LineBreaksMaxCharsAndRestrict)
{
    TextField single = inputField();
    EXPECT_FALSE(single.key(EditKey::Enter));
    single.type(u"a\r\nb\nc");
    EXPECT_EQ(single.text(), u"abc"); // a single line takes no breaks

    TextField multi = inputField(200, 100, true);
    multi.type(u"ab");
    EXPECT_TRUE(multi.key(EditKey::Enter));
    multi.type(u"cd\r\nef");
    EXPECT_EQ(multi.text(), u"ab\rcd\ref");
    // Up and Down keep the column.
    multi.setSelection(1, 1);
    multi.key(EditKey::Down);
    EXPECT_EQ(multi.caret(), 4u);
    multi.key(EditKey::Down);
    EXPECT_EQ(multi.caret(), 7u);
    multi.key(EditKey::Up);
    multi.key(EditKey::Up);
    EXPECT_EQ(multi.caret(), 1u);
    multi.key(EditKey::End);
    EXPECT_EQ(multi.caret(), 2u);

    TextField limited = inputField();
    limited.maxChars = 4;
    limited.type(u"abcdef");
    EXPECT_EQ(limited.text(), u"abcd");
    EXPECT_FALSE(limited.type(u"x"));
    limited.setSelection(1, 3); // replacing two characters leaves room for two
    limited.type(u"XYZ");
    EXPECT_EQ(limited.text(), u"aXYd");

    TextField digits = inputField();
    digits.restrict = u"0-9";
    digits.type(u"a1b2-3");
    EXPECT_EQ(digits.text(), u"123");
    TextField upper = inputField();
    upper.restrict = u"A-Z ";
    upper.type(u"Hi there!");
    EXPECT_EQ(upper.text(), u"H ");
    TextField excluded = inputField();
    excluded.restrict = u"^a-c\\-";
    excluded.type(u"abcd-e^");
    EXPECT_EQ(excluded.text(), u"de^");
    TextField mixed = inputField();
    mixed.restrict = u"a-z^q";
    mixed.type(u"quiet");
    EXPECT_EQ(mixed.text(), u"uiet");
    TextField nothing = inputField();
    nothing.restrict = u"";
    EXPECT_FALSE(nothing.type(u"abc"));
}

TEST(TextFieldFormats, RunsSplitMergeAndReadBack)
{
    TextField f = inputField();
    f.setText(u"abcdef");
    TextFormat bold;
    bold.bold = true;
    f.applyFormat(2, 4, bold);
    ASSERT_EQ(f.runs().size(), 3u);
    EXPECT_EQ(f.runs()[1].length, 2u);
    EXPECT_EQ(f.format(2, 4).bold, true);
    EXPECT_EQ(f.format(0, 6).bold, std::nullopt); // mixed
    EXPECT_EQ(f.format(0, 6).font, u"Times New Roman"); // common
    EXPECT_EQ(f.format(3, 3).bold, true); // an empty range reads its character
    TextFormat plain;
    plain.bold = false;
    f.applyFormat(0, 6, plain);
    EXPECT_EQ(f.runs().size(), 1u); // equal neighbours merge

    // Replacing keeps the formats around the replaced range.
    f.applyFormat(0, 3, bold);
    TextFormat italic = f.newTextFormat();
    italic.italic = true;
    f.replace(2, 4, u"XY", italic);
    EXPECT_EQ(f.text(), u"abXYef");
    EXPECT_EQ(f.format(1, 2).bold, true);
    EXPECT_EQ(f.format(2, 4).italic, true);
    EXPECT_EQ(f.format(4, 6).bold, false);
    std::size_t total = 0;
    for (const auto& run : f.runs())
        total += run.length;
    EXPECT_EQ(total, f.text().size());
    // Setting the text drops the runs for the new-text format.
    f.setText(u"new");
    EXPECT_EQ(f.runs().size(), 1u);
    EXPECT_EQ(f.format(0, 3).bold, false);
}

TEST(HtmlText, ReadsTagsEntitiesAndParagraphs)
{
    TextFormat base = TextFormat::defaults();
    StyledText t = parseHtml(u"<p align='center'>One &amp; <b>two</b></p><p>x&lt;y&#65;&#x42;</p>", base);
    EXPECT_EQ(t.text, u"One & two\rx<yAB");
    ASSERT_EQ(t.runs.size(), 3u);
    EXPECT_EQ(t.runs[0].format.align, TextAlign::Center);
    EXPECT_EQ(t.runs[1].format.bold, true);
    EXPECT_EQ(t.runs[1].length, 3u);
    EXPECT_EQ(t.runs[2].format.align, TextAlign::Left);

    t = parseHtml(u"<font face=\"Arial\" size=\"+4\" color=\"#FF0000\">a<font size=\"10\">b</font></font>c<br>d", base);
    EXPECT_EQ(t.text, u"abc\rd");
    EXPECT_EQ(t.runs[0].format.font, u"Arial");
    EXPECT_EQ(t.runs[0].format.size, 16);
    EXPECT_EQ(t.runs[0].format.color, 0xFF0000u);
    EXPECT_EQ(t.runs[1].format.size, 10);
    EXPECT_EQ(t.runs[2].format.font, u"Times New Roman");

    EXPECT_EQ(parseHtml(u"a  b\n c", base, true).text, u"a b c");
    EXPECT_EQ(parseHtml(u"a\nb", base).text, u"a\rb");
    // Broken markup: an unclosed tag ends the text, unknown entities stay.
    EXPECT_EQ(parseHtml(u"a &bogus; b <i", base).text, u"a &bogus; b ");
    EXPECT_EQ(plainTextFromHtml(u"<textformat leading='2'><li>item</li></textformat>"), u"item");
}

TEST(HtmlText, WritesTheFieldsHtml)
{
    TextFormat f = TextFormat::defaults();
    std::vector<StyledRun> runs{{4, f}, {2, f}};
    runs[1].format.bold = true;
    runs[1].format.color = 0x00FF80;
    EXPECT_EQ(formatHtml(u"a<b\rcd", runs, f),
              u"<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" "
              u"KERNING=\"0\">a&lt;b</FONT></P>"
              u"<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#00FF80\" LETTERSPACING=\"0\" "
              u"KERNING=\"0\"><B>cd</B></FONT></P>");
    EXPECT_EQ(formatHtml(u"", {}, f), u"<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" "
                                      u"COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\"></FONT></P>");
    // What it writes reads back to the same text and formats.
    StyledText back = parseHtml(formatHtml(u"a<b\rcd", runs, f), f);
    EXPECT_EQ(back.text, u"a<b\rcd");
    EXPECT_EQ(back.runs.back().format.color, 0x00FF80u);
    EXPECT_EQ(back.runs.back().format.bold, true);
}

TEST(TextFieldLayout, WidthsWrappingAlignmentAndScrolling)
{
    // Times New Roman 12: 'a' is 0.444 em, space 0.25 em; a line is
    // (0.891 + 0.216) em high.
    TextField f = inputField(40, 100, true);
    f.setText(u"aaaa aaaa");
    const TextLayout& one = f.layout();
    ASSERT_EQ(one.lines.size(), 1u);
    EXPECT_NEAR(one.width, (8 * 0.444 + 0.25) * 12, 1e-9);
    EXPECT_NEAR(one.height, 1.107 * 12, 1e-9);
    EXPECT_NEAR(f.maxHscroll(), std::floor((8 * 0.444 + 0.25) * 12 - 36), 1e-9);

    // 36 pixels of room hold one word (21.3 px) but not two: wrap at the space.
    f.wordWrap = true;
    f.invalidate();
    const TextLayout& wrapped = f.layout();
    ASSERT_EQ(wrapped.lines.size(), 2u);
    EXPECT_EQ(wrapped.lines[0].end, 5u);
    EXPECT_EQ(wrapped.lines[1].begin, 5u);
    EXPECT_DOUBLE_EQ(wrapped.lines[1].top, 2 + 1.107 * 12);

    TextFormat right;
    right.align = TextAlign::Right;
    f.applyFormat(0, 9, right);
    EXPECT_NEAR(f.layout().lines[1].x, 2 + 36 - 4 * 0.444 * 12, 1e-9);

    // 10 lines of 13.284 px in 40 - 4 pixels: two show at once.
    TextField tall = inputField(100, 40, true);
    tall.setText(u"1\r2\r3\r4\r5\r6\r7\r8\r9\r10");
    EXPECT_EQ(tall.maxScroll(), 9);
    EXPECT_EQ(tall.bottomScroll(), 2);
    tall.setScroll(5);
    EXPECT_EQ(tall.bottomScroll(), 6);
    tall.setScroll(50);
    EXPECT_EQ(tall.scroll(), 9);
    tall.setScroll(-3);
    EXPECT_EQ(tall.scroll(), 1);
    // Typing at the end scrolls the caret into view.
    tall.setSelection(tall.text().size(), tall.text().size());
    EXPECT_EQ(tall.scrollToCaret(), 9);

    // Auto-size fits the box to the text, keeping the side it names.
    TextField fit = inputField(100, 100);
    fit.autoSize = AutoSize::Right;
    fit.setText(u"aa");
    fit.fitBox();
    EXPECT_DOUBLE_EQ(fit.bounds.xMax, 2000);
    EXPECT_DOUBLE_EQ(fit.bounds.xMax - fit.bounds.xMin, std::ceil((2 * 0.444 * 12 + 4) * 20));
    EXPECT_DOUBLE_EQ(fit.bounds.yMax - fit.bounds.yMin, std::ceil((1.107 * 12 + 4) * 20));
}

TEST(TextFieldContent, LineEndsPasswordsAndLimits)
{
    TextField f;
    f.setText(u"a\nb\r\nc\rd");
    EXPECT_EQ(f.text(), u"a\rb\rc\rd");
    f.password = true;
    EXPECT_EQ(f.shownText(), u"*\r*\r*\r*");
    // A plain field's htmlText is its text, tags and all.
    f.setHtmlText(u"<b>x</b>");
    EXPECT_EQ(f.text(), u"<b>x</b>");
    EXPECT_EQ(f.htmlText(), u"<b>x</b>");
    f.html = true;
    f.setHtmlText(u"<b>x</b>");
    EXPECT_EQ(f.text(), u"x");
    // Text is bounded.
    f.setText(std::u16string(TextField::kMaxLength + 10, u'z'));
    EXPECT_EQ(f.text().size(), TextField::kMaxLength);
    f.replace(0, 0, u"more", f.newTextFormat());
    EXPECT_EQ(f.text().size(), TextField::kMaxLength);
}

} // namespace
} // namespace lumbra::movie
