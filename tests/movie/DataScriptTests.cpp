// The data classes as movies use them: XML and XMLNode, LoadVars,
// loadVariables, SharedObject, Sound and System, on hand-assembled code.
// Files a movie loads are written into a temporary folder that plays the
// movie's own folder. Expected texts follow the language reference.
#include "ActionAssembler.h"
#include "SourceSupport.h"

#include "control/movie/HeadlessPlay.h"
#include "tests/package/TempFolder.h"

#include <gtest/gtest.h>

#include <concepts>
#include <variant>

namespace lumbra::movie::test {
namespace {

enum : std::uint8_t {
    GetVariable = 0x1C, SetVariable = 0x1D, NewObject = 0x40, TypeOf = 0x44, Add2 = 0x47, Equals2 = 0x49,
    GetMember = 0x4E, SetMember = 0x4F, CallMethod = 0x52, GetUrl2 = 0x9A, Greater = 0x67,
};

// What a call or assignment pushes: a string, a number, a boolean or the value of a dotted path.
struct Path {
    std::string dotted;
};
using Arg = std::variant<std::string, double, bool, Path>;
Arg S(std::string s) { return s; }
Arg P(std::string dotted) { return Path{std::move(dotted)}; }

Asm& get(Asm& a, std::string_view dotted)
{
    std::size_t dot = dotted.find('.');
    a.str(dotted.substr(0, dot)).op(GetVariable);
    while (dot != std::string_view::npos) {
        std::size_t next = dotted.find('.', dot + 1);
        a.str(dotted.substr(dot + 1, next == std::string_view::npos ? next : next - dot - 1)).op(GetMember);
        dot = next;
    }
    return a;
}

Asm& push(Asm& a, const Arg& arg)
{
    if (auto* s = std::get_if<std::string>(&arg))
        return a.str(*s);
    if (auto* n = std::get_if<double>(&arg))
        return a.f64(*n);
    if (auto* b = std::get_if<bool>(&arg))
        return a.boolean(*b);
    return get(a, std::get<Path>(arg).dotted);
}

Asm& pushArgs(Asm& a, const std::vector<Arg>& args)
{
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        push(a, *it);
    return a.f64(double(args.size()));
}

// object.method(args), leaving the result.
Asm& call(Asm& a, std::string_view object, std::string_view method, const std::vector<Arg>& args = {})
{
    pushArgs(a, args);
    get(a, object);
    return a.str(method).op(CallMethod);
}

// new Class(args), leaving the object.
Asm& make(Asm& a, std::string_view cls, const std::vector<Arg>& args = {})
{
    pushArgs(a, args);
    return a.str(cls).op(NewObject);
}

// dotted = (the value `value` pushes).
template <std::invocable<Asm&> PushValue> Asm& assign(Asm& a, std::string_view dotted, PushValue value)
{
    std::size_t dot = dotted.rfind('.');
    if (dot == std::string_view::npos) {
        a.str(dotted);
        value(a);
        return a.op(SetVariable);
    }
    get(a, dotted.substr(0, dot)).str(dotted.substr(dot + 1));
    value(a);
    return a.op(SetMember);
}

Asm& assign(Asm& a, std::string_view dotted, const Arg& value)
{
    return assign(a, dotted, [&](Asm& b) { push(b, value); });
}

// trace(a + b + ...)
Asm& traceAll(Asm& a, const std::vector<Arg>& parts)
{
    push(a, parts.front());
    for (std::size_t i = 1; i < parts.size(); ++i)
        push(a, parts[i]).op(Add2);
    return a.trace();
}

// obj.name = function (params) { body }
Asm& handler(Asm& a, std::string_view dotted, const std::vector<std::string>& params, const Asm& body)
{
    return assign(a, dotted, [&](Asm& b) { b.function("", params, body); });
}

std::string lines(std::initializer_list<const char*> texts)
{
    std::string out;
    for (const char* t : texts)
        out += std::string(t) + "\n";
    return out;
}

// Plays frames in `folder` as the movie's own folder, shared objects in folder/store.
std::string playIn(const lumbra::test::TempFolder& folder, const std::vector<Asm::Bytes>& frames, long count)
{
    std::string out;
    auto error = playHeadless(movieOf(8, frames), count, [&out](std::string_view line) { out += line; },
                              {folder.path(), folder / "store"});
    return error ? "error: " + *error : out;
}

TEST(XmlScripts, ParseNavigateAndWriteBack)
{
    Asm a;
    assign(a, "x", [](Asm& b) {
        make(b, "XML", {S("<?xml version=\"1.0\"?><!DOCTYPE r><r a=\"1\" b=\"x&amp;y\"><c>t&lt;</c><d/></r>")});
    });
    get(a, "x.status").trace();
    get(a, "x.xmlDecl").trace();
    get(a, "x.docTypeDecl").trace();
    get(a, "x.firstChild.nodeName").trace();
    get(a, "x.firstChild.attributes.b").trace();
    get(a, "x.firstChild.firstChild.firstChild.nodeValue").trace();
    get(a, "x.firstChild.firstChild.firstChild.nodeType").trace();
    get(a, "x.firstChild.firstChild.firstChild.nodeName").trace();
    get(a, "x.firstChild.nodeValue").trace();
    get(a, "x.firstChild.lastChild.nodeName").trace();
    get(a, "x.firstChild.childNodes.length").trace();
    get(a, "x.firstChild.childNodes.1.nodeName").trace();
    get(a, "x.firstChild.firstChild.nextSibling.nodeName").trace();
    get(a, "x.firstChild.lastChild.previousSibling.nodeName").trace();
    get(a, "x.firstChild.parentNode");
    get(a, "x").op(Equals2).trace();
    get(a, "x.firstChild.nextSibling").trace();
    get(a, "x.parentNode").trace();
    get(a, "x.lastChild.lastChild.firstChild").trace();
    call(a, "x.firstChild", "hasChildNodes").trace();
    get(a, "x").trace();
    get(a, "x.firstChild.firstChild").trace();
    EXPECT_EQ(run(a), lines({"0", "<?xml version=\"1.0\"?>", "<!DOCTYPE r>", "r", "x&y", "t<", "3", "null",
                             "null", "d", "2", "d", "d", "c", "true", "null", "null", "null", "true",
                             "<?xml version=\"1.0\"?><!DOCTYPE r><r b=\"x&amp;y\" a=\"1\"><c>t&lt;</c><d /></r>",
                             "<c>t&lt;</c>"}));
}

TEST(XmlScripts, NamespacesAreFoundUpTheTree)
{
    EXPECT_EQ(runSource(R"(
var x = new XML("<r xmlns='urn:default' xmlns:a='urn:a'><a:item xmlns:b='urn:b'><b:leaf/>text</a:item><plain/></r>");
var item = x.firstChild.firstChild, leaf = item.firstChild, plain = x.firstChild.lastChild;
trace(item.prefix + " " + item.localName + " " + item.namespaceURI);
trace(leaf.namespaceURI + " " + leaf.getNamespaceForPrefix("a") + " " + leaf.getNamespaceForPrefix("") + " "
      + leaf.getNamespaceForPrefix("zz"));
trace(plain.namespaceURI + " [" + plain.getPrefixForNamespace("urn:default") + "] "
      + leaf.getPrefixForNamespace("urn:b") + " " + plain.getPrefixForNamespace("urn:b"));
trace(item.lastChild.namespaceURI + " " + new XML("<q:x/>").firstChild.namespaceURI);
)"),
              "a item urn:a\nurn:b urn:a urn:default null\nurn:default [] b null\nnull null\n");
}

TEST(XmlScripts, StatusAndIgnoreWhiteThroughTheClass)
{
    Asm a;
    for (const char* text : {"<a><b></a>", "<a>", "<a x=1/>", "<!-- x", "</a>"}) {
        assign(a, "x", [&](Asm& b) { make(b, "XML", {S(text)}); });
        get(a, "x.status").trace();
    }
    assign(a, "x", [](Asm& b) { make(b, "XML", {S("<a> <b/>\n</a>")}); });
    get(a, "x.firstChild.childNodes.length").trace();
    // Authors switch it on for every document through the prototype.
    assign(a, "XML.prototype.ignoreWhite", true);
    assign(a, "x", [](Asm& b) { make(b, "XML", {S("<a> <b/>\n</a>")}); });
    get(a, "x.firstChild.childNodes.length").trace();
    // parseXML replaces what the document held.
    call(a, "x", "parseXML", {S("<n>1</n>")});
    get(a, "x").trace();
    get(a, "x.contentType").trace();
    EXPECT_EQ(run(a), lines({"-10", "-9", "-8", "-5", "-10", "3", "1", "<n>1</n>",
                             "application/x-www-form-urlencoded"}));
}

TEST(XmlScripts, BuildingAndEditingTheTree)
{
    Asm a;
    assign(a, "x", [](Asm& b) { make(b, "XML"); });
    assign(a, "e", [](Asm& b) { call(b, "x", "createElement", {S("item")}); });
    assign(a, "t", [](Asm& b) { call(b, "x", "createTextNode", {S("A & \"B\"")}); });
    assign(a, "e.attributes.id", S("<1>"));
    call(a, "e", "appendChild", {P("t")});
    call(a, "x", "appendChild", {P("e")});
    assign(a, "f", [](Asm& b) { call(b, "x", "createElement", {S("first")}); });
    call(a, "x", "insertBefore", {P("f"), P("e")});
    get(a, "x").trace();
    get(a, "t.nodeType").trace();
    // Copies: deep with the children, shallow without, both detached.
    assign(a, "c", [](Asm& b) { call(b, "e", "cloneNode", {true}); });
    get(a, "c").trace();
    get(a, "c.parentNode").trace();
    assign(a, "s", [](Asm& b) { call(b, "e", "cloneNode", {false}); });
    call(a, "s", "hasChildNodes").trace();
    get(a, "s.attributes.id").trace();
    // A node never becomes its own ancestor.
    call(a, "e", "appendChild", {P("x")});
    call(a, "e", "appendChild", {P("e")});
    call(a, "t", "appendChild", {P("e")});
    get(a, "x").trace();
    // Moving and removing.
    call(a, "t", "removeNode");
    call(a, "e", "hasChildNodes").trace();
    call(a, "f", "appendChild", {P("e")});
    get(a, "x").trace();
    get(a, "x.childNodes.length").trace();
    get(a, "e.parentNode.nodeName").trace();
    assign(a, "n", [](Asm& b) { make(b, "XMLNode", {3.0, S("plain")}); });
    get(a, "n").trace();
    EXPECT_EQ(run(a), lines({"<first /><item id=\"&lt;1&gt;\">A &amp; &quot;B&quot;</item>", "3",
                             "<item id=\"&lt;1&gt;\">A &amp; &quot;B&quot;</item>", "null", "false", "<1>",
                             "<first /><item id=\"&lt;1&gt;\">A &amp; &quot;B&quot;</item>", "false",
                             "<first><item id=\"&lt;1&gt;\" /></first>", "1", "first", "plain"}));
}

TEST(XmlScripts, ASubclassSetsUpThroughTheConstructor)
{
    // What super(text) in a class extending XML does: the built-in
    // constructor called with the new instance as this.
    Asm a;
    assign(a, "o", [](Asm& b) { make(b, "Object"); });
    assign(a, "o.__proto__", P("XML.prototype"));
    call(a, "XML", "call", {P("o"), S("<a><b/></a>")});
    get(a, "o.firstChild.firstChild.nodeName").trace();
    call(a, "o", "toString").trace();
    // A plain call sets up nothing.
    call(a, "XML", "call", {P("_global"), S("<x/>")}).trace();
    get(a, "_global.firstChild").trace();
    EXPECT_EQ(run(a), lines({"b", "<a><b /></a>", "undefined", "undefined"}));
}

TEST(DataLoading, XmlAndLoadVarsArriveOnTheNextFrame)
{
    lumbra::test::TempFolder folder;
    lumbra::test::writeFile(folder / "data.xml", std::string("\xEF\xBB\xBF<list><i>caf\xC3\xA9</i></list>"));
    lumbra::test::writeFile(folder / "sub" / "vars.txt", std::string("name=Lumbra+Player&n=%31%32&n=7"));
    lumbra::test::writeFile(folder.path().parent_path() / "outside.xml", std::string("<secret/>"));

    Asm a;
    Asm onLoad;
    traceAll(onLoad, {S("xml "), P("ok"), S(" "), P("this.firstChild.firstChild.firstChild.nodeValue"), S(" "),
                      P("this.loaded")});
    call(onLoad, "this", "getBytesTotal").trace();
    assign(a, "x", [](Asm& b) { make(b, "XML"); });
    handler(a, "x.onLoad", {"ok"}, onLoad);
    call(a, "x", "load", {S("data.xml")}).trace();
    traceAll(a, {S("asked "), P("x.loaded")});
    // Refused: outside the movie's folder, and any network URL.
    Asm onY;
    traceAll(onY, {S("outside "), P("ok"), S(" "), P("this.loaded")});
    assign(a, "y", [](Asm& b) { make(b, "XML"); });
    handler(a, "y.onLoad", {"ok"}, onY);
    call(a, "y", "load", {S("../" + (folder.path().parent_path() / "outside.xml").filename().string())});
    Asm onZ;
    traceAll(onZ, {S("vars "), P("ok"), S(" "), P("this.name"), S(" "), P("this.n")});
    assign(a, "z", [](Asm& b) { make(b, "LoadVars"); });
    handler(a, "z.onLoad", {"ok"}, onZ);
    call(a, "z", "load", {S("sub/vars.txt?nocache=1")});
    Asm onW;
    traceAll(onW, {S("network "), P("ok")});
    assign(a, "w", [](Asm& b) { make(b, "LoadVars"); });
    handler(a, "w.onLoad", {"ok"}, onW);
    call(a, "w", "load", {S("http://example.com/vars.txt")});
    call(a, "w", "sendAndLoad", {S("http://example.com/post"), P("w")}).trace();
    call(a, "w", "send", {S("http://example.com/post")}).trace();
    // A script's own onData gets the raw text instead.
    Asm onData;
    traceAll(onData, {S("raw "), P("src")});
    assign(a, "d", [](Asm& b) { make(b, "XML"); });
    handler(a, "d.onData", {"src"}, onData);
    call(a, "d", "load", {S("sub/vars.txt")});

    EXPECT_EQ(playIn(folder, {a.bytes()}, 3),
              lines({"true", "asked false", "true", "false", "xml true caf\xC3\xA9 true", "28", "outside false false",
                     "vars true Lumbra Player 7", "network false", "network false",
                     "raw name=Lumbra+Player&n=%31%32&n=7"}));
}

TEST(DataLoading, LoadVarsDecodeAndEncode)
{
    Asm a;
    assign(a, "v", [](Asm& b) { make(b, "LoadVars"); });
    call(a, "v", "decode", {S("a=1&b=two+words&c=%41%42%C3%A9&a=3&empty=&noequals&=x")});
    traceAll(a, {P("v.a"), S("|"), P("v.b"), S("|"), P("v.c"), S("|"), P("v.empty"), S("|"), P("v.noequals")});
    assign(a, "w", [](Asm& b) { make(b, "LoadVars"); });
    assign(a, "w.x", S("a b&c=\xC3\xA9"));
    assign(a, "w.y", 2.0);
    call(a, "w", "toString").trace();
    get(a, "w").trace();
    EXPECT_EQ(run(a), lines({"3|two words|AB\xC3\xA9||", "y=2&x=a%20b%26c%3D%C3%A9", "y=2&x=a%20b%26c%3D%C3%A9"}));
}

TEST(DataLoading, LoadVariablesIntoTheRootAndAClip)
{
    lumbra::test::TempFolder folder;
    lumbra::test::writeFile(folder / "vars.txt", std::string("greeting=hello&count=3"));
    Asm first;
    Asm onData;
    traceAll(onData, {S("data "), P("greeting")});
    handler(first, "_root.onData", {}, onData);
    // loadVariablesNum("vars.txt", 0) and loadVariables("vars.txt", "holder")
    first.str("vars.txt").str("_level0").record(GetUrl2, {0x80});
    call(first, "_root", "createEmptyMovieClip", {S("holder"), 5.0});
    first.str("vars.txt").str("holder").record(GetUrl2, {0xC0});
    first.str("missing.txt").str("holder").record(GetUrl2, {0xC0});
    Asm second;
    traceAll(second, {S("second "), P("greeting")});
    Asm third;
    traceAll(third, {S("third "), P("greeting"), S(" "), P("count"), S(" "), P("holder.count")});
    third.str("fscommand:quit").str("").record(GetUrl2, {0});
    EXPECT_EQ(playIn(folder, {first.bytes(), second.bytes(), third.bytes()}, 5),
              lines({"data hello", "second hello", "third hello 3 3"})); // data arrives before the next frame
}

TEST(SharedObjects, PersistBetweenRunsOfTheMovie)
{
    lumbra::test::TempFolder folder;
    Asm save;
    assign(save, "so", [](Asm& b) { call(b, "SharedObject", "getLocal", {S("game/save")}); });
    get(save, "so.data.score").trace();
    call(save, "so", "getSize").trace();
    assign(save, "so.data.score", 42.5);
    assign(save, "so.data.list", [](Asm& b) { make(b, "Array", {1.0, S("two\nlines")}); });
    assign(save, "o", [](Asm& b) { make(b, "Object"); });
    assign(save, "o.flag", true);
    assign(save, "o.none", [](Asm& b) { b.null(); });
    assign(save, "o.self", P("o")); // a cycle is cut, not followed forever
    assign(save, "so.data.nested", P("o"));
    call(save, "so", "getSize").f64(0).op(Greater).trace();
    // The same object for the same name within a run.
    call(save, "SharedObject", "getLocal", {S("game/save")});
    get(save, "so").op(Equals2).trace();
    for (const char* bad : {"a:b", "a b", "../up", "/abs", "con", "x~y", ""})
        call(save, "SharedObject", "getLocal", {S(bad)}).trace();
    EXPECT_EQ(playIn(folder, {save.bytes()}, 1), lines({"undefined", "0", "true", "true", "null", "null", "null",
                                                        "null", "null", "null", "null"}));
    EXPECT_TRUE(std::filesystem::exists(folder / "store" / "game" / "save.sol"));

    Asm load;
    assign(load, "so", [](Asm& b) { call(b, "SharedObject", "getLocal", {S("game/save")}); });
    traceAll(load, {P("so.data.score"), S("|"), P("so.data.list.1"), S("|"), P("so.data.nested.flag"), S("|"),
                    P("so.data.nested.none"), S("|"), P("so.data.nested.self")});
    call(load, "so", "flush").trace();
    call(load, "so", "clear");
    call(load, "so", "getSize").trace();
    EXPECT_EQ(playIn(folder, {load.bytes()}, 1), lines({"42.5|two", "lines|true|null|undefined", "true", "0"}));

    Asm again;
    assign(again, "so", [](Asm& b) { call(b, "SharedObject", "getLocal", {S("game/save")}); });
    get(again, "so.data.score").trace();
    EXPECT_EQ(playIn(folder, {again.bytes()}, 1), lines({"undefined"}));
}

TEST(SharedObjects, CraftedStoredFilesGiveEmptyData)
{
    lumbra::test::TempFolder folder;
    std::string deep = "LSO1\no1:s1:k";
    for (int i = 0; i < 5000; ++i)
        deep += "a1:";
    const std::string files[] = {
        "LSO1\no99999999999999999999:",
        "LSO1\no1:s999:k",
        "LSO1\no2:s1:kd1e999999;",
        "LSO1\no1:s1:kdnope;",
        "LSO1\na0:",
        "LSO1\no0:trailing",
        "not a store at all",
        "",
        deep,
    };
    Asm a;
    for (std::size_t i = 0; i < std::size(files); ++i) {
        lumbra::test::writeFile(folder / "store" / ("bad" + std::to_string(i) + ".sol"), files[i]);
        assign(a, "so", [&](Asm& b) { call(b, "SharedObject", "getLocal", {S("bad" + std::to_string(i))}); });
        traceAll(a, {P("so.data.k"), S(" "), P("so.data.kd")});
    }
    // A number that overflows reads as infinity, which is still a number.
    std::string expected;
    for (std::size_t i = 0; i < std::size(files); ++i)
        expected += "undefined undefined\n";
    EXPECT_EQ(playIn(folder, {a.bytes()}, 1), expected);
}

TEST(SoundScripts, SettingsPerTargetAndSilentEvents)
{
    Asm a;
    assign(a, "a", [](Asm& b) { make(b, "Sound"); });
    assign(a, "b", [](Asm& b) { make(b, "Sound"); });
    call(a, "a", "getVolume").trace();
    call(a, "a", "setVolume", {40.0});
    call(a, "b", "getVolume").trace();
    call(a, "a", "setPan", {-30.0});
    call(a, "b", "getPan").trace();
    assign(a, "t", [](Asm& b) { call(b, "a", "getTransform"); });
    traceAll(a, {P("t.ll"), S(","), P("t.lr"), S(","), P("t.rl"), S(","), P("t.rr")});
    call(a, "_root", "createEmptyMovieClip", {S("mc"), 1.0});
    assign(a, "c", [](Asm& b) { make(b, "Sound", {P("mc")}); });
    call(a, "c", "getVolume").trace();
    assign(a, "o", [](Asm& b) { make(b, "Object"); });
    assign(a, "o.ll", 50.0);
    assign(a, "o.lr", 50.0);
    call(a, "c", "setTransform", {P("o")});
    assign(a, "t", [](Asm& b) { call(b, "c", "getTransform"); });
    traceAll(a, {P("t.ll"), S(","), P("t.lr"), S(","), P("t.rl"), S(","), P("t.rr")});
    call(a, "c", "getPan").trace();
    Asm done;
    done.traceStr("complete");
    call(a, "a", "attachSound", {S("beep")});
    handler(a, "a.onSoundComplete", {}, done);
    call(a, "a", "start");
    get(a, "a.duration").trace();
    Asm loaded;
    traceAll(loaded, {S("loaded "), P("ok")});
    assign(a, "l", [](Asm& b) { make(b, "Sound"); });
    handler(a, "l.onLoad", {"ok"}, loaded);
    call(a, "l", "loadSound", {S("http://example.com/a.mp3"), true});
    EXPECT_EQ(playOutput(movieOf(8, {a.bytes()}), 3),
              lines({"100", "40", "-30", "100,0,0,70", "100", "50,50,0,100", "50", "0", "complete",
                     "loaded false"}));
}

TEST(SystemObject, CapabilitiesAndNoOps)
{
    Asm a;
    get(a, "System.capabilities.version").trace();
    get(a, "System.capabilities.os").trace();
    get(a, "System.capabilities.playerType").trace();
    get(a, "System.useCodepage").trace();
    call(a, "System.security", "allowDomain", {S("example.com")}).trace();
    call(a, "System", "showSettings").trace();
    get(a, "System.capabilities.screenResolutionX").op(TypeOf).trace();
    get(a, "System.capabilities.serverString").trace();
    EXPECT_EQ(run(a), lines({"WIN 8,0,24,0", "Windows XP", "StandAlone", "false", "undefined", "undefined",
                             "number",
                             "A=t&SA=t&SV=t&EV=t&MP3=t&AE=t&VE=t&ACC=t&PR=t&SP=f&SB=f&DEB=f&V=WIN%208%2C0%2C24%2C0"
                             "&M=Macromedia%20Windows&R=1024x768&DP=72&COL=color&AR=1.0&OS=Windows%20XP&L=en"
                             "&PT=StandAlone&AVD=f&LFD=f&WD=f&IME=t"}));
}

} // namespace
} // namespace lumbra::movie::test
