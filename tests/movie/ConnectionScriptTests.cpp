// The connection and device classes as movies probe them on a player with
// no network, camera or printer: LocalConnection between movies of one
// player, NetConnection / NetStream over local files (an FLV assembled here
// by hand from the FLV format), XMLSocket, the device classes, System's
// clipboard and IME, and ExternalInterface with and without a container.
// Expected texts follow the language reference.
#include "SourceSupport.h"
#include "TimelineAssembly.h"

#include "control/movie/HeadlessPlay.h"
#include "control/movie/MoviePlayer.h"
#include "tests/package/TempFolder.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

#include <memory>

namespace lumbra::movie::test {
namespace {

TEST(DeviceScripts, NoCameraMicrophonePrinterScreenReaderOrFileDialog)
{
    EXPECT_EQ(runSource(R"(
trace(typeof Camera + " " + Camera.get() + " " + Camera.names.length);
trace(typeof Microphone + " " + Microphone.get() + " " + Microphone.names.length);
var pj = new PrintJob();
trace(pj.start() + " " + pj.pageWidth + " " + pj.addPage(_root));
trace(Accessibility.isActive() + " " + CustomActions.list() + " " + CustomActions.install("a", "<x/>"));
trace(flash.text.TextRenderer.maxLevel + " " + typeof flash.text.TextRenderer.setAdvancedAntialiasingTable);
var fr = new flash.net.FileReference();
trace(fr.browse() + " " + fr.name + " " + fr.size + " " + fr.addListener({}) + " " + fr._listeners.length);
var fl = new flash.net.FileReferenceList();
trace(fl.browse() + " " + fl.fileList);
var v = new Video();
trace(typeof Video + " " + v.width + " " + v.smoothing + " " + v.deblocking);
)"),
              "function null 0\n"
              "function null 0\n"
              "false undefined false\n"
              "false undefined false\n"
              "4 function\n"
              "false undefined undefined true 1\n"
              "false undefined\n"
              "function 0 false 0\n");
}

TEST(DeviceScripts, PlacedVideoIsAVideoObjectOfItsDefinedSize)
{
    // DefineVideoStream: id 1, 4 frames, 160 x 120, smoothing flag, codec 2.
    Asm::Bytes video{0x01, 0x00, 0x04, 0x00, 0xA0, 0x00, 0x78, 0x00, 0x01, 0x02};
    Asm::Bytes tags = tagOf(60, video);
    add(tags, place(1, 1, "vid"));
    add(tags, tagOf(DoAction, actionscript::compileActions(R"(
trace(typeof vid + " " + (vid instanceof Video) + " " + vid);
trace(vid._width + " " + vid._height + " " + vid.width + " " + vid._name + " " + vid.getDepth);
vid._x = 10; vid._xscale = 50;
trace(vid._x + " " + vid._width);
for (var k in _root) if (k == "vid") trace("listed");
)", 8)));
    add(tags, showFrame());
    EXPECT_EQ(playOutput(movieOfTags(8, 1, tags)),
              "object true _level0.vid\n"
              "160 120 0 vid undefined\n"
              "10 80\n"
              "listed\n");
}

TEST(DeviceScripts, ClassesOfLaterVersionsAreHiddenFromOlderMovies)
{
    const char* probe = R"(
trace(typeof LocalConnection + " " + typeof NetStream + " " + typeof Camera + " " + typeof PrintJob + " " + typeof XMLSocket + " " + typeof Accessibility);
)";
    EXPECT_EQ(runSource(probe, 5), "undefined undefined undefined undefined function undefined\n");
    EXPECT_EQ(runSource(probe, 6), "function function function undefined function object\n");
    EXPECT_EQ(runSource(probe, 7), "function function function function function object\n");
    EXPECT_EQ(runSource("trace(typeof flash.external.ExternalInterface);", 7), "undefined\n");
}

TEST(SystemScripts, ImeClipboardAndSecurity)
{
    EXPECT_EQ(runSource(R"(
var ime = System.IME;
trace(ime.KOREAN + " " + ime.JAPANESE_KATAKANA_HALF + " " + ime.ALPHANUMERIC_FULL + " " + ime.UNKNOWN);
trace(ime.getEnabled() + " " + ime.setEnabled(true) + " " + ime.getEnabled() + " " + ime.getConversionMode());
trace(ime.setConversionMode(ime.KOREAN) + " " + ime.doConversion() + " " + ime.setCompositionString("x"));
trace(ime.addListener({}) + " " + System.setClipboard("copied") + " " + System.setClipboard());
trace(System.security.sandboxType + " " + System.security.allowDomain("a.com") + " " + System.showSettings(0));
)"),
              "KOREAN JAPANESE_KATAKANA_HALF ALPHANUMERIC_FULL UNKNOWN\n"
              "false false false UNKNOWN\n"
              "false false false\n"
              "true true false\n"
              "localTrusted undefined undefined\n");
}

TEST(LocalConnectionScripts, NamesAreTakenOnceAndMessagesArriveOnTheNextFrame)
{
    EXPECT_EQ(runSource(R"(
var rx = new LocalConnection();
rx.greet = function(a, b) { trace("greet " + a + " " + b + " " + (this == rx)); };
var other = new LocalConnection();
trace(rx.connect("chan") + " " + other.connect("CHAN") + " " + rx.connect("again") + " " + other.connect("a:b") + " " + other.connect(""));
var tx = new LocalConnection();
tx.onStatus = function(info) { var n = 0; for (var k in info) n++; trace("status " + info.level + " " + n); };
trace(tx.send("chan", "greet", "hi", 2) + " " + tx.send("chan", "close") + " " + tx.send("chan") + " " + tx.send("nobody", "greet"));
trace("sent " + rx.domain());
#frame
trace("frame 2");
#frame
rx.close();
trace(other.connect("chan"));
other.allowDomain = function(domain) { trace("asked " + domain); return false; };
tx.send("chan", "greet", 1, 2);
#frame
other.allowDomain = function(domain) { return domain == this.domain(); };
other.greet = rx.greet;
tx.send("_CHAN", "greet", 1, 2);
tx.send("chan", "greet", 3, 4);
#frame
)", 8, 5),
              "true false false false false\n"
              "true false false true\n"
              "sent localhost\n"
              "greet hi 2 true\n"
              "status status 1\n"
              "status error 1\n"
              "frame 2\n"
              "true\n"
              "asked localhost\n"
              "status error 1\n"
              "status error 1\n"
              "greet 3 4 false\n"
              "status status 1\n");
}

TEST(LocalConnectionScripts, LevelsShareTheConnectionNames)
{
    // A second movie on level 1 of the same player answers the first.
    lumbra::test::TempFolder folder;
    lumbra::test::writeFile(folder / "upper.swf", actionscript::compileMovie(R"(
var rx = new LocalConnection();
rx.ping = function(n) { trace("level 1 got " + n); };
trace("level 1 " + rx.connect("_shared"));
)", 8));
    auto main = actionscript::compileMovie(R"(
loadMovieNum("upper.swf", 1);
var tx = new LocalConnection();
tx.onStatus = function(info) { trace("sender " + info.level); };
#frame
#frame
tx.send("_shared", "ping", 7);
#frame
)", 8, 4);
    std::string out;
    auto error = playHeadless(main, 4, [&out](std::string_view line) { out += line; }, {folder.path(), {}});
    EXPECT_FALSE(error);
    EXPECT_EQ(out, "level 1 true\nlevel 1 got 7\nsender status\n");
}

TEST(LocalConnectionScripts, PlayersOfOneProcessHearEachOtherUntilOneGoes)
{
    std::string traces;
    auto player = [&traces](std::string_view source) {
        auto p = std::make_unique<MoviePlayer>();
        p->setTraceHandler([&traces](const std::u16string& text) { traces += std::string(text.begin(), text.end()) + "\n"; });
        EXPECT_TRUE(p->load(actionscript::compileMovie(source, 8, 3)));
        return p;
    };
    auto receiver = player(R"(
var rx = new LocalConnection();
rx.show = function(list, o) { trace("got " + list.join("+") + " " + o.name + " " + (list instanceof Array)); };
trace("receiver " + rx.connect("_across"));
#frame
#frame
)");
    auto sender = player(R"(
var tx = new LocalConnection();
tx.onStatus = function(info) { trace("sender " + info.level); };
trace("taken " + new LocalConnection().connect("_ACROSS"));
tx.send("_across", "show", [1, "two"], {name: "n"});
#frame
#frame
)");
    sender->advance();
    receiver.reset();
    auto again = player("trace(\"free again \" + new LocalConnection().connect(\"_across\"));");
    EXPECT_EQ(traces, "receiver true\ntaken false\ngot 1+two n true\nsender status\nfree again true\n");
}

// An FLV file with one script tag calling onMetaData with an ECMA array,
// then one (empty) video tag.
std::vector<std::uint8_t> flvWithMetadata()
{
    std::vector<std::uint8_t> data = {2, 0, 10, 'o', 'n', 'M', 'e', 't', 'a', 'D', 'a', 't', 'a', 8, 0, 0, 0, 3};
    auto name = [&](std::string_view n) {
        data.push_back(0);
        data.push_back(std::uint8_t(n.size()));
        data.insert(data.end(), n.begin(), n.end());
    };
    name("duration");
    data.insert(data.end(), {0, 0x40, 0x04, 0, 0, 0, 0, 0, 0}); // 2.5
    name("width");
    data.insert(data.end(), {0, 0x40, 0x74, 0, 0, 0, 0, 0, 0}); // 320
    name("canSeekToEnd");
    data.insert(data.end(), {1, 1});
    data.insert(data.end(), {0, 0, 9});

    std::vector<std::uint8_t> file = {'F', 'L', 'V', 1, 5, 0, 0, 0, 9, 0, 0, 0, 0};
    file.insert(file.end(), {18, 0, 0, std::uint8_t(data.size()), 0, 0, 0, 0, 0, 0, 0});
    file.insert(file.end(), data.begin(), data.end());
    std::uint32_t tagSize = 11 + std::uint32_t(data.size());
    file.insert(file.end(), {0, 0, 0, std::uint8_t(tagSize)});
    file.insert(file.end(), {9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 11});
    return file;
}

TEST(NetStreamScripts, LocalFilesPlayTheirHeaderAndMetadataAndMissingOnesReportSo)
{
    lumbra::test::TempFolder folder;
    auto flv = flvWithMetadata();
    lumbra::test::writeFile(folder / "clip.flv", flv);
    lumbra::test::writeFile(folder / "bad.flv", std::string("not a video"));
    auto movie = actionscript::compileMovie(R"(
var nc = new NetConnection();
nc.onStatus = function(i) { trace(i.level + " " + i.code); };
trace(nc.isConnected + " " + nc.connect(null) + " " + nc.isConnected);
var ns = new NetStream(nc);
trace(ns.bufferTime + " " + ns.time + " " + ns.bytesLoaded + " " + ns.bufferLength);
ns.setBufferTime(3);
trace(ns.bufferTime);
ns.onStatus = function(i) { trace("ns " + i.level + " " + i.code); };
ns.onMetaData = function(m) { trace("meta " + m.duration + " " + m.width + " " + m.canSeekToEnd); };
ns.play("missing.flv");
var remote = new NetConnection();
remote.onStatus = nc.onStatus;
trace(remote.connect("rtmp://example.com/app") + " " + remote.isConnected);
#frame
ns.play("clip.flv");
#frame
trace(ns.bytesLoaded + " " + ns.bytesTotal);
ns.seek(1.7);
ns.play("bad.flv");
#frame
trace(ns.time);
)", 8, 4);
    std::string out;
    auto error = playHeadless(movie, 4, [&out](std::string_view line) { out += line; }, {folder.path(), {}});
    EXPECT_FALSE(error);
    EXPECT_EQ(out, "status NetConnection.Connect.Success\n" // raised inside connect, before the trace
                   "false true true\n"
                   "0.1 0 0 0\n"
                   "3\n"
                   "true false\n"
                   "ns error NetStream.Play.StreamNotFound\n"
                   "error NetConnection.Connect.Failed\n"
                   "ns status NetStream.Play.Start\n"
                   "meta 2.5 320 true\n"
                   "ns status NetStream.Buffer.Full\n" +
                       std::to_string(flv.size()) + " " + std::to_string(flv.size()) + "\n" +
                       "ns status NetStream.Seek.Notify\n"
                       "ns error NetStream.Play.Failed\n"
                       "1\n");
}

// An FLV file: the header, then one tag of `type` holding `data`, whose
// size field may claim more than the file holds.
std::vector<std::uint8_t> flvWithTag(std::uint8_t type, const std::vector<std::uint8_t>& data, std::uint32_t claimed)
{
    std::vector<std::uint8_t> file = {'F', 'L', 'V', 1, 5, 0, 0, 0, 9, 0, 0, 0, 0, type};
    file.insert(file.end(), {std::uint8_t(claimed >> 16), std::uint8_t(claimed >> 8), std::uint8_t(claimed)});
    file.insert(file.end(), {0, 0, 0, 0, 0, 0, 0});
    file.insert(file.end(), data.begin(), data.end());
    return file;
}

TEST(NetStreamScripts, DamagedFilesReportWhatCouldBeReadAndNothingMore)
{
    lumbra::test::TempFolder folder;
    const std::vector<std::uint8_t> onMetaData = {2, 0, 10, 'o', 'n', 'M', 'e', 't', 'a', 'D', 'a', 't', 'a'};
    auto with = [&](std::vector<std::uint8_t> tail) {
        auto data = onMetaData;
        data.insert(data.end(), tail.begin(), tail.end());
        return data;
    };
    lumbra::test::writeFile(folder / "header.flv", std::string("FLV\x01\x05\0\0\0\x09", 9));
    lumbra::test::writeFile(folder / "offset.flv", std::string("FLV\x01\x05\0\0\0\x03\0\0\0\0", 13));
    // A strict array of 4294967295 elements with none there.
    auto huge = with({10, 0xFF, 0xFF, 0xFF, 0xFF});
    lumbra::test::writeFile(folder / "huge.flv", flvWithTag(18, huge, std::uint32_t(huge.size())));
    // Objects nested 3000 deep.
    std::vector<std::uint8_t> nested;
    for (int i = 0; i < 3000; ++i)
        nested.insert(nested.end(), {3, 0, 1, 'a'});
    auto deep = with(nested);
    lumbra::test::writeFile(folder / "deep.flv", flvWithTag(18, deep, std::uint32_t(deep.size())));
    // A tag that claims more than the file holds is not read.
    auto cut = with({0, 0x40, 0x04, 0, 0, 0, 0, 0, 0});
    lumbra::test::writeFile(folder / "cut.flv", flvWithTag(18, cut, 1000));
    auto movie = actionscript::compileMovie(R"(
var nc = new NetConnection();
nc.connect(null);
var ns = new NetStream(nc);
ns.onStatus = function(i) { if (i.code != "NetStream.Buffer.Full") trace(i.code); };
ns.onMetaData = function(m) { trace("meta " + typeof m); };
var files = ["header", "offset", "huge", "deep", "cut"];
var next = 0;
this.onEnterFrame = function() {
    if (next < files.length) { trace(files[next]); ns.play(files[next++] + ".flv"); }
};
)", 8);
    std::string out;
    auto error = playHeadless(movie, 7, [&out](std::string_view line) { out += line; }, {folder.path(), {}});
    EXPECT_FALSE(error);
    EXPECT_EQ(out, "header\nNetStream.Play.Start\n"
                   "offset\nNetStream.Play.Failed\n"
                   "huge\nNetStream.Play.Start\nmeta object\n"
                   "deep\nNetStream.Play.Start\nmeta object\n"
                   "cut\nNetStream.Play.Start\n");
}

TEST(XmlSocketScripts, ConnectionsFailOnALaterFrameAndDataBecomesXml)
{
    EXPECT_EQ(runSource(R"(
var s = new XMLSocket();
s.onConnect = function(ok) { trace("connected " + ok); };
s.onXML = function(x) { trace("xml " + x.firstChild.nodeName); };
trace(s.connect("localhost", 80) + " " + s.connect("localhost", 8080) + " " + s.connect(null, 70000));
s.onData("<reply/>");
trace("after");
#frame
)", 8, 2),
              "false true false\nxml reply\nafter\nconnected false\n");
}

TEST(ExternalInterfaceScripts, HeadlessNothingIsAvailable)
{
    EXPECT_EQ(runSource(R"(
var EI = flash.external.ExternalInterface;
trace(EI.available + " " + EI.call("f", 1) + " " + EI.addCallback("g", null, function() {}));
)"),
              "false null false\n");
}

// A player whose container answers ExternalInterface.call with `answer`.
struct Container {
    MoviePlayer player;
    std::string traces;
    std::vector<std::u16string> requests;
    std::u16string answer;

    Container(std::string_view source,
              std::u16string reply = u"<object><property id=\"answer\"><string>yes &amp; no</string></property></object>")
        : answer(std::move(reply))
    {
        player.setTraceHandler([this](const std::u16string& text) { traces += std::string(text.begin(), text.end()) + "\n"; });
        player.setExternalCallHandler([this](const std::u16string& request) {
            requests.push_back(request);
            return answer;
        });
        EXPECT_TRUE(player.load(actionscript::compileMovie(source, 8)));
    }
};

TEST(ExternalInterfaceScripts, CallsTheContainerInTheInvokeFormAndDecodesItsAnswer)
{
    Container c(R"(
var EI = flash.external.ExternalInterface;
var o = {k: 2};
o.self = o;
var r = EI.call("f", "a<b", 1.5, true, null, undefined, [1, "x"], o, function() {});
trace(EI.available + " " + typeof r + " " + r.answer);
)");
    ASSERT_EQ(c.requests.size(), 1u);
    EXPECT_EQ(c.requests[0],
              u"<invoke name=\"f\" returntype=\"xml\"><arguments><string>a&lt;b</string><number>1.5</number><true/>"
              u"<null/><undefined/><array><property id=\"0\"><number>1</number></property><property id=\"1\">"
              u"<string>x</string></property></array><object><property id=\"self\"><null/></property>"
              u"<property id=\"k\"><number>2</number></property></object><null/></arguments></invoke>");
    EXPECT_EQ(c.traces, "true object yes & no\n");
}

TEST(ExternalInterfaceScripts, TheContainerReachesCallbacksByName)
{
    Container c(R"(
var EI = flash.external.ExternalInterface;
var calc = {base: 100};
calc.add = function(a, b) { trace("add " + a + " " + b); return [this.base + a + b, "s", {t: true}]; };
trace(EI.addCallback("add", calc, calc.add) + " " + EI.addCallback("bad", calc, "add"));
EI.addCallback("fails", null, function() { throw "oops"; });
)");
    EXPECT_EQ(c.player.callFunction(u"<invoke name=\"add\" returntype=\"xml\"><arguments><number>2</number>"
                                    u"<number>3</number></arguments></invoke>"),
              u"<array><property id=\"0\"><number>105</number></property><property id=\"1\"><string>s</string>"
              u"</property><property id=\"2\"><object><property id=\"t\"><true/></property></object></property>"
              u"</array>");
    EXPECT_EQ(c.player.callFunction(u"<invoke name=\"fails\"><arguments/></invoke>"), u"<undefined/>");
    EXPECT_EQ(c.player.callFunction(u"<invoke name=\"nothing\"><arguments/></invoke>"), std::nullopt);
    EXPECT_EQ(c.player.callFunction(u"<invoke name=\"bad\"><arguments/></invoke>"), std::nullopt);
    EXPECT_EQ(c.player.callFunction(u"<invoke name=\"add\"><arguments>"), std::nullopt) << "malformed";
    EXPECT_EQ(c.player.callFunction(u"<other name=\"add\"/>"), std::nullopt);
    EXPECT_EQ(c.traces, "true false\nadd 2 3\n");
}

TEST(ExternalInterfaceScripts, DeepAnswersStopAtANestingLimit)
{
    std::u16string deep;
    for (int i = 0; i < 5000; ++i)
        deep += u"<array><property id=\"0\">";
    deep += u"<number>1</number>";
    for (int i = 0; i < 5000; ++i)
        deep += u"</property></array>";
    Container c(R"(
var r = flash.external.ExternalInterface.call("deep");
var n = 0;
while (r instanceof Array) { r = r[0]; n++; }
trace(n + " " + r);
)", deep);
    EXPECT_EQ(c.traces, "64 undefined\n");
}

} // namespace
} // namespace lumbra::movie::test
