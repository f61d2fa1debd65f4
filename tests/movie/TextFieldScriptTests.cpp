// Text fields, TextFormat and Selection as scripts see them, on hand-assembled
// code; typing through the playback as the control delivers keys. Expected
// texts follow the language reference.
#include "ActionAssembler.h"

#include "control/movie/Movie.h"
#include "control/movie/Playback.h"

#include <gtest/gtest.h>

#include <variant>

namespace lumbra::movie::test {
namespace {

enum : std::uint8_t {
    Pop = 0x17, GetVariable = 0x1C, SetVariable = 0x1D, CallFunction = 0x3D, NewObject = 0x40,
    InitObject = 0x43, GetMember = 0x4E, SetMember = 0x4F, CallMethod = 0x52,
};

// A script value: number, text, boolean, null, or a dotted path read as an expression.
struct Path {
    std::string dotted;
};
struct Null {};
using Arg = std::variant<double, const char*, bool, Null, Path>;

Asm& read(Asm& a, const std::string& dotted);

Asm& push(Asm& a, const Arg& v)
{
    if (auto n = std::get_if<double>(&v))
        return a.f64(*n);
    if (auto s = std::get_if<const char*>(&v))
        return a.str(*s);
    if (auto b = std::get_if<bool>(&v))
        return a.boolean(*b);
    if (std::holds_alternative<Null>(v))
        return a.null();
    return read(a, std::get<Path>(v).dotted);
}

// "a.b.c": a, then its member b, then c.
Asm& read(Asm& a, const std::string& dotted)
{
    std::size_t dot = dotted.find('.');
    a.str(dotted.substr(0, dot)).op(GetVariable);
    while (dot != std::string::npos) {
        std::size_t next = dotted.find('.', dot + 1);
        a.str(dotted.substr(dot + 1, next == std::string::npos ? next : next - dot - 1)).op(GetMember);
        dot = next;
    }
    return a;
}

// "a.b.c" = v
Asm& assign(Asm& a, const std::string& dotted, const Arg& v)
{
    std::size_t dot = dotted.rfind('.');
    if (dot == std::string::npos)
        return push(a.str(dotted), v).op(SetVariable);
    read(a, dotted.substr(0, dot)).str(dotted.substr(dot + 1));
    return push(a, v).op(SetMember);
}

// "obj.method"(args) or "function"(args), leaving the result pushed.
Asm& invoke(Asm& a, const std::string& dotted, std::vector<Arg> args)
{
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        push(a, *it);
    a.f64(double(args.size()));
    std::size_t dot = dotted.rfind('.');
    if (dot == std::string::npos)
        return a.str(dotted).op(CallFunction);
    return read(a, dotted.substr(0, dot)).str(dotted.substr(dot + 1)).op(CallMethod);
}

Asm& traceOf(Asm& a, const std::string& dotted) { return read(a, dotted).trace(); }
Asm& traceCall(Asm& a, const std::string& dotted, std::vector<Arg> args)
{
    return invoke(a, dotted, std::move(args)).trace();
}
Asm& discard(Asm& a, const std::string& dotted, std::vector<Arg> args)
{
    return invoke(a, dotted, std::move(args)).op(Pop);
}

// tf = createTextField(name, depth, x, y, w, h) on the root.
Asm& makeField(Asm& a, const char* name, double depth, double x, double y, double w, double h)
{
    a.str(name);
    invoke(a, "_root.createTextField", {name, depth, x, y, w, h});
    return a.op(SetVariable);
}

std::string lines(std::initializer_list<const char*> texts)
{
    std::string out;
    for (const char* t : texts)
        out += std::string(t) + "\n";
    return out;
}

TEST(TextFieldScript, CreatedFieldsAndTheirDefaults)
{
    Asm a;
    makeField(a, "tf", 5, 10, 20, 100, 50);
    traceOf(a, "tf");
    traceOf(a, "tf._x");
    traceOf(a, "tf._y");
    traceOf(a, "tf._width");
    traceOf(a, "tf._height");
    traceCall(a, "tf.getDepth", {});
    for (const char* p : {"text", "html", "length", "type", "autoSize", "maxChars", "restrict", "variable",
                          "border", "background", "textColor", "backgroundColor", "borderColor", "multiline",
                          "wordWrap", "password", "selectable", "scroll", "maxscroll", "hscroll", "maxhscroll",
                          "embedFonts"})
        traceOf(a, std::string("tf.") + p);
    // The field is a child of the root by name.
    traceOf(a, "_root.tf._name");
    // A second field at the same depth replaces the first: what holds the
    // first reads as a removed object, the empty text.
    makeField(a, "other", 5, 0, 0, 10, 10);
    traceOf(a, "_root.tf");
    EXPECT_EQ(run(a), lines({"_level0.tf", "10", "20", "100", "50", "5", "", "false", "0", "dynamic", "none",
                             "null", "null", "null", "false", "false", "0", "16777215", "0", "false", "false",
                             "false", "true", "1", "1", "0", "0", "false", "tf", ""}));
}

TEST(TextFieldScript, TextLineEndsHtmlTextAndLength)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 200, 100);
    assign(a, "tf.text", "a\nb\r\nc");
    traceOf(a, "tf.length");
    traceCall(a, "tf.text.charCodeAt", {1.0});
    // A plain field's htmlText is its text.
    assign(a, "tf.text", "<b>hi</b>");
    traceOf(a, "tf.htmlText");
    assign(a, "tf.html", true);
    assign(a, "tf.htmlText", "<p>one</p><p><b>two</b> &amp; three</p>");
    traceOf(a, "tf.length");
    traceOf(a, "tf.htmlText");
    // textColor colours all text and the new-text format.
    assign(a, "tf.textColor", 0xFF0000 + 0.0);
    traceOf(a, "tf.textColor");
    invoke(a, "tf.getNewTextFormat", {});
    a.str("color").op(GetMember).trace();
    EXPECT_EQ(run(a), lines({"5", "13", "<b>hi</b>", "15",
                             "<P ALIGN=\"LEFT\"><FONT FACE=\"Times New Roman\" SIZE=\"12\" COLOR=\"#000000\" "
                             "LETTERSPACING=\"0\" KERNING=\"0\">one</FONT></P><P ALIGN=\"LEFT\"><FONT FACE=\"Times "
                             "New Roman\" SIZE=\"12\" COLOR=\"#000000\" LETTERSPACING=\"0\" KERNING=\"0\"><B>two</B>"
                             " &amp; three</FONT></P>",
                             "16711680", "16711680"}));
}

TEST(TextFieldScript, PropertiesRoundTripAndRefuseWhatTheyShould)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 100, 20);
    assign(a, "tf.autoSize", true);
    traceOf(a, "tf.autoSize");
    assign(a, "tf.autoSize", "center");
    traceOf(a, "tf.autoSize");
    assign(a, "tf.autoSize", "bogus");
    traceOf(a, "tf.autoSize");
    assign(a, "tf.type", "input");
    traceOf(a, "tf.type");
    assign(a, "tf.type", "other"); // unknown types are ignored
    traceOf(a, "tf.type");
    assign(a, "tf.maxChars", 3.0);
    traceOf(a, "tf.maxChars");
    assign(a, "tf.restrict", "0-9");
    traceOf(a, "tf.restrict");
    assign(a, "tf.restrict", Null{});
    traceOf(a, "tf.restrict");
    assign(a, "tf.borderColor", 0x123456 + 0.0);
    traceOf(a, "tf.borderColor");
    assign(a, "tf.backgroundColor", -1.0);
    traceOf(a, "tf.backgroundColor");
    // Read-only properties keep their values.
    assign(a, "tf.length", 99.0);
    traceOf(a, "tf.length");
    assign(a, "tf.maxscroll", 7.0);
    traceOf(a, "tf.maxscroll");
    // Other members are the field's own.
    assign(a, "tf.custom", "mine");
    traceOf(a, "tf.custom");
    EXPECT_EQ(run(a), lines({"left", "center", "none", "input", "input", "3", "0-9", "null", "1193046",
                             "16777215", "0", "1", "mine"}));
}

TEST(TextFieldScript, BoxSizeAutoSizeAndClass)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 10, 10);
    assign(a, "tf.autoSize", "left");
    assign(a, "tf.text", "aa");
    // Times New Roman 12: 'a' is 0.444 em; a line 1.107 em high; 2-pixel gutters.
    traceOf(a, "tf.textWidth");
    traceOf(a, "tf._width");
    traceOf(a, "tf._height");
    // A field's _width sizes its box rather than scaling it.
    assign(a, "tf.autoSize", "none");
    assign(a, "tf._width", 50.0);
    traceOf(a, "tf._width");
    traceOf(a, "tf._xscale");
    // It is a TextField.
    a.str("tf").op(GetVariable).str("TextField").op(GetVariable).op(0x54).trace();
    a.str("tf").op(GetVariable).str("__proto__").op(GetMember).str("TextField").op(GetVariable);
    a.str("prototype").op(GetMember).op(0x66).trace();
    EXPECT_EQ(run(a), lines({"10.65", "14.7", "17.3", "50", "100", "true", "true"}));
}

TEST(TextFieldScript, TextFormatsOverRanges)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 200, 100);
    assign(a, "tf.text", "abcdef");
    // fmt = new TextFormat("Arial", 20); fmt.bold = true
    a.str("fmt").f64(20).str("Arial").f64(2).str("TextFormat").op(NewObject).op(SetVariable);
    traceOf(a, "fmt.font");
    traceOf(a, "fmt.bold");
    traceOf(a, "fmt.align");
    assign(a, "fmt.bold", true);
    discard(a, "tf.setTextFormat", {2.0, 4.0, Path{"fmt"}});
    for (const char* m : {"font", "size", "bold", "italic", "color", "align"}) {
        invoke(a, "tf.getTextFormat", {2.0, 4.0});
        a.str(m).op(GetMember).trace();
    }
    // Only the range changed: the characters at 1 and 4 are as before.
    for (double i : {1.0, 4.0}) {
        invoke(a, "tf.getTextFormat", {i});
        a.str("bold").op(GetMember).trace();
    }
    for (const char* m : {"font", "bold", "italic"}) {
        invoke(a, "tf.getTextFormat", {});
        a.str(m).op(GetMember).trace();
    }
    invoke(a, "tf.getTextFormat", {0.0});
    a.str("size").op(GetMember).trace();
    // setNewTextFormat changes what later text gets, not what is there.
    discard(a, "tf.setNewTextFormat", {Path{"fmt"}});
    invoke(a, "tf.getTextFormat", {0.0});
    a.str("bold").op(GetMember).trace();
    assign(a, "tf.text", "xyz");
    invoke(a, "tf.getTextFormat", {0.0});
    a.str("bold").op(GetMember).trace();
    EXPECT_EQ(run(a), lines({"Arial", "null", "null", "Arial", "20", "true", "false", "0", "left", "false", "false", "null", "null",
                             "false", "12", "false", "true"}));
}

TEST(TextFieldScript, ReplaceSelReplaceTextAndExtent)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 200, 100);
    assign(a, "tf.text", "hello world");
    discard(a, "tf.replaceText", {0.0, 5.0, "goodbye"});
    traceOf(a, "tf.text");
    discard(a, "Selection.setFocus", {Path{"tf"}});
    discard(a, "Selection.setSelection", {8.0, 13.0});
    discard(a, "tf.replaceSel", {"moon"});
    traceOf(a, "tf.text");
    discard(a, "tf.replaceText", {5.0, 2.0, "never"}); // reversed ranges change nothing
    traceOf(a, "tf.text");
    // extent = new TextFormat("Arial", 10).getTextExtent("MW")
    a.str("extent").str("MW").f64(1).f64(10).str("Arial").f64(2).str("TextFormat").op(NewObject);
    a.str("getTextExtent").op(CallMethod).op(SetVariable);
    traceOf(a, "extent.width");
    traceOf(a, "extent.textFieldWidth");
    EXPECT_EQ(run(a), lines({"goodbye world", "goodbye moon", "goodbye moon", "17.77", "21.77"}));
}

TEST(TextFieldScript, SelectionFocusIndexesAndListeners)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 200, 100);
    makeField(a, "other", 2, 0, 0, 200, 100);
    assign(a, "tf.text", "abcdef");
    traceCall(a, "Selection.getFocus", {});
    traceCall(a, "Selection.getBeginIndex", {});
    // listener.onSetFocus = function (before, after) { trace(before + " -> " + after) }
    Asm handler;
    handler.str("before").op(GetVariable).str(" -> ").op(0x47).str("after").op(GetVariable).op(0x47).trace();
    a.str("listener").f64(0).op(InitObject).op(SetVariable);
    a.str("listener").op(GetVariable).str("onSetFocus").function("", {"before", "after"}, handler).op(SetMember);
    discard(a, "Selection.addListener", {Path{"listener"}});
    // tf.onSetFocus / other.onKillFocus
    Asm gained;
    gained.str("tf gains from ").str("from").op(GetVariable).op(0x47).trace();
    a.str("tf").op(GetVariable).str("onSetFocus").function("", {"from"}, gained).op(SetMember);
    traceCall(a, "Selection.setFocus", {Path{"tf"}});
    traceCall(a, "Selection.getFocus", {});
    traceCall(a, "Selection.getBeginIndex", {});
    traceCall(a, "Selection.getEndIndex", {});
    discard(a, "Selection.setSelection", {1.0, 3.0});
    traceCall(a, "Selection.getBeginIndex", {});
    traceCall(a, "Selection.getCaretIndex", {});
    discard(a, "Selection.setFocus", {"other"}); // by path
    traceCall(a, "Selection.getFocus", {});
    discard(a, "Selection.setFocus", {Null{}});
    traceCall(a, "Selection.getFocus", {});
    traceCall(a, "Selection.getEndIndex", {});
    EXPECT_EQ(run(a), lines({"null", "-1", "tf gains from null", "null -> _level0.tf", "true", "_level0.tf", "0",
                             "6", "1", "3", "_level0.tf -> _level0.other", "_level0.other",
                             "_level0.other -> null", "null", "-1"}));
}

TEST(TextFieldScript, ScrollingFigures)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 100, 40);
    assign(a, "tf.multiline", true);
    assign(a, "tf.text", "1\n2\n3\n4\n5\n6\n7\n8\n9\n10");
    traceOf(a, "tf.maxscroll");
    traceOf(a, "tf.bottomScroll");
    assign(a, "tf.scroll", 4.0);
    traceOf(a, "tf.scroll");
    traceOf(a, "tf.bottomScroll");
    assign(a, "tf.scroll", 100.0);
    traceOf(a, "tf.scroll");
    assign(a, "tf.text", "short");
    traceOf(a, "tf.scroll"); // less text pulls the scroll back
    EXPECT_EQ(run(a), lines({"9", "2", "4", "5", "9", "1"}));
}

TEST(TextFieldScript, VariableBindingBothWays)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 100, 40);
    assign(a, "shown", "first");
    assign(a, "tf.variable", "shown");
    traceOf(a, "tf.variable");
    traceOf(a, "tf.text");
    assign(a, "shown", 42.0);
    traceOf(a, "tf.text");
    assign(a, "tf.text", "typed");
    traceOf(a, "shown");
    // An unset variable takes the field's text.
    assign(a, "tf.variable", "fresh");
    traceOf(a, "fresh");
    // Paths reach a field's properties: set("tf.text", ...), eval("/tf:length").
    a.str("tf.text").str("by path").op(SetVariable);
    a.str("tf.text").op(GetVariable).trace();
    a.str("/tf:length").op(GetVariable).trace();
    EXPECT_EQ(run(a), lines({"shown", "first", "42", "typed", "typed", "by path", "7"}));
}

TEST(TextFieldScript, RemovedFieldsAndHostileArguments)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 100, 40);
    discard(a, "tf.removeTextField", {});
    traceOf(a, "_root.tf");
    // Non-numbers and huge values make no field or a bounded one.
    traceCall(a, "_root.createTextField", {"bad", "x", 0.0, 0.0, 1.0, 1.0});
    makeField(a, "huge", 3, 1e300, -1e300, 1e300, -1e300);
    traceOf(a, "huge._width");
    discard(a, "huge.setTextFormat", {-5.0, 1e300, Null{}});
    discard(a, "huge.replaceText", {1e300, -1.0, "x"});
    assign(a, "huge.scroll", 1e300);
    assign(a, "huge.hscroll", -1e300);
    traceOf(a, "huge.scroll");
    traceOf(a, "huge.hscroll");
    discard(a, "huge.setSelection", {1e300, -1e300});
    EXPECT_EQ(run(a), lines({"", "undefined", "1048576", "1", "0"}));
}

// A playback of one frame of code, to type into as the control does.
struct Typing {
    explicit Typing(const Asm& code)
        : movie(std::make_shared<Movie>(parseMovie(movieOf(8, {code.bytes()})))),
          playback(movie, hooks)
    {
        playback.start(true);
    }
    std::shared_ptr<DisplayObject> field(const char16_t* name) { return playback.root().childNamed(name); }
    static HostHooks tracingInto(std::vector<std::string>& lines)
    {
        HostHooks hooks;
        hooks.trace = [&lines](std::u16string_view t) { lines.emplace_back(t.begin(), t.end()); };
        return hooks;
    }

    std::vector<std::string> traces;
    HostHooks hooks = tracingInto(traces);
    std::shared_ptr<Movie> movie;
    Playback playback;
};

TEST(TextFieldTyping, KeysReachTheFocusedInputField)
{
    Asm a;
    makeField(a, "tf", 1, 0, 0, 100, 40);
    assign(a, "tf.type", "input");
    assign(a, "tf.variable", "typed");
    // tf.onChanged = function (field) { trace("changed " + field.text) }
    Asm changed;
    changed.str("changed ").str("field").op(GetVariable).str("text").op(GetMember).op(0x47).trace();
    a.str("tf").op(GetVariable).str("onChanged").function("", {"field"}, changed).op(SetMember);
    makeField(a, "label", 2, 0, 50, 100, 40); // dynamic

    Typing t(a);
    EXPECT_FALSE(t.playback.typeText(u"x")); // no focus yet
    ASSERT_TRUE(t.playback.setFocus(t.field(u"tf")));
    EXPECT_TRUE(t.playback.typeText(u"hi"));
    EXPECT_TRUE(t.playback.editKey(EditKey::Backspace));
    EXPECT_TRUE(t.playback.editKey(EditKey::Left));
    EXPECT_EQ(t.traces, (std::vector<std::string>{"changed hi", "changed h"}));
    auto typed = t.playback.getVariable(t.playback.root(), u"typed");
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->toString(), u"h");
    // A dynamic field takes the focus but not typing.
    ASSERT_TRUE(t.playback.setFocus(t.field(u"label")));
    EXPECT_FALSE(t.playback.typeText(u"x"));
    EXPECT_EQ(t.field(u"label")->textField->text(), u"");
    // A removed field loses the focus with its life.
    ASSERT_TRUE(t.playback.setFocus(t.field(u"tf")));
    t.playback.removeClip(*t.field(u"tf"));
    EXPECT_FALSE(t.playback.typeText(u"x"));
    EXPECT_EQ(t.playback.focus(), nullptr);
}

} // namespace
} // namespace lumbra::movie::test
