// Text fields and text formats from scripts, tag by tag and member by member:
// the HTML a field reads and reports, entities, white space, formats over
// ranges and paragraphs, replacing text, autoSize, scrolling, binding and the
// later versions' properties. Expected texts follow the language reference's
// descriptions; measures follow from the fields' device-font metrics.
#include "SourceSupport.h"

#include "control/movie/TextField.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

// The FONT a created field's default format writes.
const std::string kFont = "<FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\">";

TEST(TextFieldHtml, EveryTagReadAndReportedBack)
{
    EXPECT_EQ(runSource(R"(
this.createTextField("tf", 1, 0, 0, 200, 100);
tf.html = true;
tf.multiline = true;
tf.htmlText = "<p align='right'>r</p><li>item</li><textformat leading='2' leftmargin='5' rightmargin='6' indent='3' blockindent='4' tabstops='10,20'>t<b>b</b></textformat>"
    + "<font face='Arial' size='20' color='#ff0000'>f</font><a href='http://x/' target='_blank'>l</a><u>u</u><i>i</i><span class='none'>s</span>";
trace(tf.htmlText);
trace(tf.text);
var f = tf.getTextFormat(2);
trace(f.bullet + " " + tf.getTextFormat(0).align + " " + tf.getTextFormat(7).leading + " " + tf.getTextFormat(9).leftMargin + " " + tf.getTextFormat(9).tabStops);
trace(tf.getTextFormat(9).font + " " + tf.getTextFormat(9).size + " " + tf.getTextFormat(9).color + " " + tf.getTextFormat(10).url + " " + tf.getTextFormat(10).target);
tf.htmlText = "a<br>b<BR/>c<font size='+4'>big</font><font size='-2'>small</font>";
trace(tf.length + " " + tf.getTextFormat(6).size + " " + tf.getTextFormat(9).size);
)"),
              "<P ALIGN=\"RIGHT\">" + kFont + "r</FONT></P><LI>" + kFont + "item</FONT></LI>"
              "<TEXTFORMAT LEFTMARGIN=\"5\" RIGHTMARGIN=\"6\" INDENT=\"3\" BLOCKINDENT=\"4\" LEADING=\"2\" TABSTOPS=\"10,20\">"
              "<P ALIGN=\"LEFT\">" + kFont + "t<B>b</B></FONT>"
              "<FONT FACE=\"Arial\" SIZE=\"20\" COLOR=\"#FF0000\" LETTERSPACING=\"0\" KERNING=\"0\">f</FONT>" + kFont +
              "<A HREF=\"http://x/\" TARGET=\"_blank\">l</A><U>u</U><I>i</I>s</FONT></P></TEXTFORMAT>\n"
              "r\nitem\ntbfluis\n"
              "true right 2 5 10,20\n"
              "Arial 20 16711680 http://x/ _blank\n"
              "13 16 10\n");
}

TEST(TextFieldHtml, EntitiesWhiteSpaceAndTextAgainstHtmlText)
{
    EXPECT_EQ(runSource(R"(
this.createTextField("tf", 1, 0, 0, 200, 100);
tf.html = true;
tf.multiline = true;
tf.htmlText = "&lt;b&gt; &amp; &quot;q&quot; &apos;a&apos;&nbsp;! &#65;&#x42; &bogus;";
trace(tf.text);
trace(tf.length + " " + tf.text.charCodeAt(13));
tf.condenseWhite = true;
tf.htmlText = "a   b\n\n c<br>d  <p>  e </p>";
trace(tf.text);
tf.condenseWhite = false;
tf.htmlText = "a  b";
trace(tf.text + "|");
// text on an HTML field is plain text; htmlText then describes it.
tf.text = "<b>x</b>";
trace(tf.text + " " + tf.length);
trace(tf.htmlText);
tf.htmlText = "<b>x</b>y";
trace(tf.text + " " + tf.getTextFormat(0).bold + " " + tf.getTextFormat(1).bold);
// A field without html takes htmlText as its text.
tf.html = false;
tf.htmlText = "<b>z</b>";
trace(tf.text + " " + tf.htmlText);
)"),
              "<b> & \"q\" 'a'\xC2\xA0! AB &bogus;\n"
              "26 160\n"
              "a b c\nd \ne \n"
              "a  b|\n"
              "<b>x</b> 8\n"
              "<P ALIGN=\"LEFT\">" + kFont + "&lt;b&gt;x&lt;/b&gt;</FONT></P>\n"
              "xy true false\n"
              "<b>z</b> <b>z</b>\n");
}

TEST(TextFieldFormats, MixedRangesParagraphsAndNewText)
{
    EXPECT_EQ(runSource(R"(
this.createTextField("tf", 1, 0, 0, 200, 100);
tf.text = "abcd";
var f1 = new TextFormat();
f1.bold = true; f1.color = 0xFF0000; f1.letterSpacing = 2; f1.kerning = true; f1.url = "u"; f1.italic = false;
tf.setTextFormat(1, 3, f1);
var m = tf.getTextFormat(0, 4);
trace(m.bold + " " + m.color + " " + m.letterSpacing + " " + m.kerning + " " + m.url + " " + m.italic + " " + m.font + " " + m.size + " " + m.align);
var one = tf.getTextFormat(1);
trace(one.bold + " " + one.color + " " + one.letterSpacing + " " + one.kerning + " " + one.url + " " + one.target);
tf.setTextFormat(3, f1);
trace(tf.getTextFormat(1, 4).bold + " " + tf.getTextFormat(0).bold + " " + tf.getTextFormat().bold);
// Paragraph members reach whole paragraphs.
tf.text = "ab\rcd";
var f2 = new TextFormat();
f2.align = "center"; f2.leftMargin = 4; f2.bullet = true;
tf.setTextFormat(1, 2, f2);
trace(tf.getTextFormat(0).align + " " + tf.getTextFormat(3).align + " " + tf.getTextFormat().align + " " + tf.getTextFormat(0, 2).leftMargin + " " + tf.getTextFormat(0).bullet);
// A new format changes later text only.
var n = new TextFormat();
n.underline = true;
tf.setNewTextFormat(n);
trace(tf.getTextFormat(0).underline + " " + tf.getNewTextFormat().underline);
tf.text = "x";
trace(tf.getTextFormat(0).underline);
var blank = new TextFormat();
trace(blank.font + " " + blank.kerning + " " + blank.letterSpacing + " " + blank.tabStops);
)"),
              "null null null null null false Times New Roman 12 left\n"
              "true 16711680 2 true u \n"
              "true false null\n"
              "center left null 4 true\n"
              "false true\n"
              "true\n"
              "null null null null\n");
}

TEST(TextFieldFormats, ReplacingTextKeepsFormats)
{
    EXPECT_EQ(runSource(R"(
this.createTextField("tf", 1, 0, 0, 200, 100);
tf.text = "hello world";
var b = new TextFormat();
b.bold = true;
tf.setTextFormat(0, 5, b);
tf.replaceText(0, 5, "HOWDY");
trace(tf.text + " " + tf.getTextFormat(0).bold + " " + tf.getTextFormat(4).bold + " " + tf.getTextFormat(6).bold);
tf.replaceText(6, 11, "there");
trace(tf.text + " " + tf.getTextFormat(6).bold);
var n = new TextFormat();
n.italic = true;
tf.setNewTextFormat(n);
Selection.setFocus(tf);
Selection.setSelection(5, 6);
tf.replaceSel("_");
trace(tf.text + " " + tf.getTextFormat(5).italic + " " + tf.getTextFormat(4).italic + " " + tf.getTextFormat(4).bold);
)"),
              "HOWDY world true true false\n"
              "HOWDY there false\n"
              "HOWDY_there true false true\n");
}

TEST(TextFieldBox, AutoSizeMovesTheFieldAndMeasures)
{
    EXPECT_EQ(runSource(R"(
this.createTextField("r", 2, 100, 10, 100, 20);
r.autoSize = "right";
r.text = "ab";
trace(Math.round(r._x + r._width) + " " + (r._x > 100));
this.createTextField("c", 3, 100, 40, 100, 20);
c.autoSize = "center";
c.text = "ab";
trace(Math.round((c._x + c._width / 2) * 10) / 10);
this.createTextField("l", 4, 100, 70, 100, 20);
l.autoSize = true;
l.text = "ab";
trace(l._x + " " + l.autoSize + " " + l._width);
l.autoSize = false;
trace(l.autoSize);
l._xscale = 200;
trace(l._width + " " + l._xscale + " " + l.textWidth);
l._width = 30;
trace(l._width + " " + l._xscale);
var e = new TextFormat("Arial", 10).getTextExtent("MW");
trace(e.width + " " + e.textFieldWidth + " " + e.height + " " + e.textFieldHeight + " " + e.ascent + " " + e.descent);
)"),
              "200 true\n"
              "150\n"
              "100 left 15.35\n"
              "none\n"
              "30.7 200 11.35\n"
              "30 200\n"
              "17.77 21.77 11.17 15.17 9.05 2.12\n");
}

TEST(TextFieldBox, ScrollingAfterTextChanges)
{
    EXPECT_EQ(runSource(R"(
this.createTextField("tf", 1, 0, 0, 100, 40);
tf.multiline = true;
tf.text = "1\n2\n3\n4\n5\n6";
tf.scroll = 3;
trace(tf.scroll + " " + tf.maxscroll + " " + tf.bottomScroll);
tf.text = "1\n2\n3";
trace(tf.scroll + " " + tf.maxscroll + " " + tf.bottomScroll);
this.createTextField("h", 2, 0, 0, 50, 20);
h.text = "a long line of text that overflows";
trace((h.maxhscroll > 0) + " " + h.length);
h.hscroll = 1000;
trace(h.hscroll == h.maxhscroll);
h.text = "x";
trace(h.hscroll + " " + h.maxhscroll);
h.wordWrap = true;
h.text = "a long line of text that overflows";
trace(h.maxhscroll);
)"),
              "3 5 4\n"
              "2 2 3\n"
              "true 34\n"
              "true\n"
              "0 0\n"
              "0\n");
}

TEST(TextFieldProperties, BindingPasswordsAndLaterVersionsMembers)
{
    EXPECT_EQ(runSource(R"(
this.createTextField("tf", 1, 0, 0, 200, 40);
this.createEmptyMovieClip("a", 2);
a.b = "init";
tf.variable = "_root.a.b";
trace(tf.text);
a.b = "changed";
trace(tf.text);
tf.text = "typed";
trace(a.b);
tf.variable = "/a:c";
trace(tf.text + " " + a.c);
tf.variable = null;
trace(tf.variable);
tf.password = true;
tf.text = "secret";
trace(tf.text + " " + tf.length + " " + tf.password);
trace(tf.mouseWheelEnabled + " " + tf.antiAliasType + " " + tf.gridFitType + " " + tf.sharpness + " " + tf.thickness);
tf.mouseWheelEnabled = false;
tf.antiAliasType = "advanced";
tf.gridFitType = "bogus";
tf.sharpness = 500;
tf.thickness = -300;
trace(tf.mouseWheelEnabled + " " + tf.antiAliasType + " " + tf.gridFitType + " " + tf.sharpness + " " + tf.thickness);
tf.gridFitType = "subpixel";
tf.antiAliasType = "other";
tf.sharpness = "x";
trace(tf.gridFitType + " " + tf.antiAliasType + " " + tf.sharpness);
tf.textColor = 0x336699;
trace(tf.textColor + " " + tf.getTextFormat(0).color);
)"),
              "init\n"
              "changed\n"
              "typed\n"
              "typed typed\n"
              "null\n"
              "secret 6 true\n"
              "true normal pixel 0 0\n"
              "false advanced pixel 400 -200\n"
              "subpixel advanced 400\n"
              "3368601 3368601\n");
}

TEST(TextFieldEditing, RestrictEscapesAndCaretRanges)
{
    TextField f;
    f.editable = true;
    f.bounds = Rect{0, 0, 4000, 400};
    f.restrict = u"\\^\\\\\\-a-c";
    f.type(u"^\\-abcd");
    EXPECT_EQ(f.text(), u"^\\-abc");
    TextField g;
    g.editable = true;
    g.bounds = f.bounds;
    g.restrict = u"^\\^";
    g.type(u"a^b");
    EXPECT_EQ(g.text(), u"ab");
}

} // namespace
} // namespace lumbra::movie::test
