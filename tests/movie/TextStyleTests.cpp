// Text field style sheets as scripts use them: the StyleSheet methods with the
// outputs the language reference gives for its examples, a sheet styling a
// field's HTML, and loading a sheet from a file beside the movie.
#include "SourceSupport.h"

#include "control/movie/CssReader.h"
#include "control/movie/HeadlessPlay.h"
#include "control/movie/TextField.h"
#include "tests/package/TempFolder.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

TEST(CssReader, RulesSelectorsCommentsAndFaults)
{
    CssText css = readCss(u"/* head */ p, .Note { font-size: 12px; color:#FF0000 ; }\n"
                          u"a:link{text-decoration:underline} p { font-size: 14px; margin-left: 3 }");
    ASSERT_TRUE(css.complete);
    ASSERT_EQ(css.rules.size(), 3u);
    EXPECT_EQ(css.rules[0].selector, u"p");
    EXPECT_EQ(css.rules[1].selector, u".Note");
    EXPECT_EQ(css.rules[2].selector, u"a:link");
    // A later rule for the same selector adds to it; a repeated property keeps its place.
    ASSERT_EQ(css.rules[0].declarations.size(), 3u);
    EXPECT_EQ(css.rules[0].declarations[0].name, u"fontSize");
    EXPECT_EQ(css.rules[0].declarations[0].value, u"14px");
    EXPECT_EQ(css.rules[0].declarations[1].value, u"#FF0000");
    EXPECT_EQ(css.rules[0].declarations[2].name, u"marginLeft");
    EXPECT_EQ(css.rules[2].declarations[0].name, u"textDecoration");

    EXPECT_EQ(camelCased(u"letter-spacing"), u"letterSpacing");
    EXPECT_EQ(camelCased(u"-x-a-b"), u"xAB");

    // Faults: what came before stays.
    for (const char16_t* bad : {u"p {color: #FF0000} h1 {font-size: 12px", u"p color: red }", u"p { color }",
                                u"{ color: red }", u"p, { color: red }", u"p { a { b: c } }", u"p {} /* open",
                                u"p {: red}"}) {
        EXPECT_FALSE(readCss(bad).complete);
    }
    EXPECT_EQ(readCss(u"p {color: #FF0000} h1 {font-size: 12px").rules.size(), 1u);
    EXPECT_TRUE(readCss(u"  ").complete);

    // A movie's huge sheet reads in one pass: many rules, one rule with very many properties.
    std::u16string many, wide = u"p {";
    for (int i = 0; i < 100000; ++i) {
        std::string n = std::to_string(i);
        many += u"s" + std::u16string(n.begin(), n.end()) + u"{x:1}";
        wide += u"p" + std::u16string(n.begin(), n.end()) + u":1;";
    }
    EXPECT_EQ(readCss(many).rules.size(), 100000u);
    CssText capped = readCss(wide + u"}");
    ASSERT_EQ(capped.rules.size(), 1u);
    EXPECT_EQ(capped.rules[0].declarations.size(), 256u);
}

TEST(StyleSheetScript, MethodsAsTheReferenceShowsThem)
{
    EXPECT_EQ(runSource(R"(
var css = new TextField.StyleSheet();
trace(typeof css + " " + (css instanceof TextField.StyleSheet));
trace(css.parseCSS(".heading {font-family: Arial, Helvetica, sans-serif; font-size: 24px; font-weight: bold; }"));
var names = css.getStyleNames();
trace(names.length + " " + names[0]);
var s = css.getStyle(".heading");
for (var p in s) trace(p + ": " + s[p]);
s.color = "#FF0000";
trace(css.getStyle(".heading").color + " " + css.getStyle("missing"));
var sheet = new TextField.StyleSheet();
sheet.setStyle("heading", {fontSize: '24px'});
sheet.setStyle("bodyText", {fontSize: '12px'});
trace(sheet.getStyleNames().join(","));
sheet.setStyle("heading", null);
trace(sheet.getStyleNames().join(","));
sheet.clear();
trace(sheet.getStyleNames().length);
trace(sheet.parseCSS("p {color: #FF0000;} h1 {font-size: 12px") + " " + sheet.getStyleNames());
trace(sheet.parseCSS("/* links */ a:link { color: #0000FF } a:hover, .x { text-decoration: underline }") + " " + sheet.getStyleNames());
trace(sheet.parseCSS("p color: red }") + " " + sheet.getStyle("p").color);
)"),
              "object true\n"
              "true\n"
              "1 .heading\n"
              "fontWeight: bold\n"
              "fontSize: 24px\n"
              "fontFamily: Arial, Helvetica, sans-serif\n"
              "undefined null\n"
              "bodyText,heading\n"
              "bodyText\n"
              "0\n"
              "false p\n"
              "true .x,a:hover,a:link,p\n"
              "false #FF0000\n");
}

TEST(StyleSheetScript, TransformGivesATextFormat)
{
    EXPECT_EQ(runSource(R"(
var css = new TextField.StyleSheet();
var f = css.transform({color: "#FF0000", fontFamily: "mono, Arial", fontSize: "12px", fontWeight: "bold",
    fontStyle: "italic", textAlign: "center", textDecoration: "underline", marginLeft: "5px", marginRight: "6",
    textIndent: "7pt", leading: "3", letterSpacing: "1.5", kerning: "true", display: "block"});
trace(f instanceof TextFormat);
trace(f.color + " " + f.font + " " + f.size + " " + f.bold + " " + f.italic + " " + f.align + " " + f.underline);
trace(f.leftMargin + " " + f.rightMargin + " " + f.indent + " " + f.leading + " " + f.letterSpacing + " " + f.kerning + " " + f.display);
var g = css.transform({color: "red", fontFamily: "sans-serif", fontWeight: "normal", fontSize: "big", textDecoration: "none"});
trace(g.color + " " + g.font + " " + g.bold + " " + g.size + " " + g.underline + " " + g.italic + " " + g.display);
trace(css.transform(null) + " " + css.transform({fontFamily: "serif"}).font);
)"),
              "true\n"
              "16711680 _typewriter 12 true true center true\n"
              "5 6 7 3 1.5 true block\n"
              "null _sans false null false null undefined\n"
              "null _serif\n");
}

TEST(StyleSheetScript, AFieldShowsItsHtmlStyled)
{
    EXPECT_EQ(runSource(R"(
this.createTextField("tf", 1, 0, 0, 300, 100);
tf.html = true;
tf.multiline = true;
trace(tf.styleSheet);
var css = new TextField.StyleSheet();
css.parseCSS("p {font-size: 20px; color: #FF0000} .Note {font-weight: bold} heading {display: block; font-size: 30px}"
    + " hide {display: none} a:link {color: #0000FF; text-decoration: underline} span {font-style: italic}");
tf.styleSheet = css;
trace(tf.styleSheet == css);
var source = "<heading>Title</heading>plain <span class='note'>strong</span><hide>gone</hide><p>para <a href='x.html'>link</a></p>";
tf.htmlText = source;
trace(tf.htmlText == source);
trace(tf.text);
trace(tf.getTextFormat(0).size + " " + tf.getTextFormat(6).bold + " " + tf.getTextFormat(6).italic + " " + tf.getTextFormat(12).bold + " " + tf.getTextFormat(12).italic);
var p = tf.getTextFormat(19);
trace(p.size + " " + p.color + " " + p.underline);
var a = tf.getTextFormat(24);
trace(a.size + " " + a.color + " " + a.underline + " " + a.url);
// Formats come from the sheet alone.
var fmt = new TextFormat();
fmt.size = 8;
tf.setTextFormat(fmt);
tf.setTextFormat(0, 3, fmt);
tf.replaceText(0, 5, "X");
trace(tf.getTextFormat(0).size + " " + tf.text.substr(0, 5));
// A changed sheet restyles the field.
css.setStyle("p", {fontSize: "10px"});
trace(tf.getTextFormat(19).size + " " + tf.getTextFormat(19).color);
// Without the sheet the text keeps its formats and htmlText describes them.
tf.styleSheet = null;
trace(tf.styleSheet + " " + tf.getTextFormat(0).size + " " + (tf.htmlText == source));
trace(tf.htmlText.substr(0, 54));
)"),
              "undefined\n"
              "true\n"
              "true\n"
              "Title\nplain strong\npara link\n"
              "30 false false true true\n"
              "20 16711680 false\n"
              "20 255 true x.html\n"
              "30 Title\n"
              "10 0\n"
              "null 30 false\n"
              "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"30\"\n");
}

TEST(StyleSheetScript, OlderMoviesHaveNoStyleSheets)
{
    EXPECT_EQ(runSource(R"(
trace(typeof TextField.StyleSheet);
this.createTextField("tf", 1, 0, 0, 100, 20);
trace(tf.styleSheet + " " + tf.mouseWheelEnabled);
)", 6),
              "undefined\n \n"); // version 6 prints undefined as nothing
}

TEST(StyleSheetScript, LoadsASheetBesideTheMovie)
{
    lumbra::test::TempFolder folder;
    lumbra::test::writeFile(folder / "site.css", std::string("p { color: #00FF00; font-size: 9px }\n.x { font-weight: bold }"));
    lumbra::test::writeFile(folder / "broken.css", std::string("p { color: #00FF00"));
    std::string source = R"(
var css = new TextField.StyleSheet();
css.onLoad = function (ok) { trace("site " + ok + " " + this.getStyleNames() + " " + this.getStyle("p").fontSize); };
trace(css.load("site.css"));
var broken = new TextField.StyleSheet();
broken.onLoad = function (ok) { trace("broken " + ok); };
broken.load("broken.css");
var missing = new TextField.StyleSheet();
missing.onLoad = function (ok) { trace("missing " + ok); };
missing.load("missing.css");
trace("asked");
)";
    std::string out;
    auto error = playHeadless(actionscript::compileMovie(source, 8, 3), 3, [&out](std::string_view line) { out += line; },
                              {folder.path(), folder / "store"});
    EXPECT_FALSE(error);
    EXPECT_EQ(out, "true\nasked\nsite true .x,p 9px\nbroken false\nmissing false\n");
}

// Typing is the user's editing: a styled input field refuses it.
TEST(StyleSheetField, AStyledFieldIsNotEditableByTheUser)
{
    TextField f;
    f.editable = true;
    f.html = true;
    f.bounds = Rect{0, 0, 2000, 400};
    EXPECT_TRUE(f.type(u"ab"));
    auto sheet = std::make_shared<StyleSheet>();
    sheet->set(u"b", styleFrom({{u"fontSize", u"20"}}));
    f.setHtmlText(u"<b>x</b>y");
    f.setStyleSheet(sheet);
    EXPECT_EQ(f.format(0, 1).size, 20);
    EXPECT_TRUE(f.userEditable() == false);
    EXPECT_FALSE(f.type(u"z"));
    EXPECT_FALSE(f.key(EditKey::Backspace));
    EXPECT_EQ(f.text(), u"xy");
    // A changed sheet applies on restyle, once.
    sheet->set(u"B", styleFrom({{u"fontSize", u"7"}, {u"display", u"none"}}));
    EXPECT_TRUE(f.restyle());
    EXPECT_FALSE(f.restyle());
    EXPECT_EQ(f.text(), u"y");
    f.setStyleSheet(nullptr);
    EXPECT_TRUE(f.type(u"z"));
}

} // namespace
} // namespace lumbra::movie::test
