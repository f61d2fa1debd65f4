// Actions: variables and paths, text binding, fscommand and trace, the
// operators, and scripts that would never end or jump outside their block.
#include "MovieTestSupport.h"

#include "control/movie/ActionWriter.h"
#include "control/movie/MovieWriter.h"
#include "tools/actionscript/SourceCompiler.h"

#include <gtest/gtest.h>

namespace lumbra::movie::test {
namespace {

constexpr const char* kVariables = R"m(
movie 200 100
text field 0 0 100 20 var "/clip:score" text "none yet"
sprite holder
  frame
  place field depth 1
end
frame
  place holder depth 1 name "clip"
  actions { set greeting "hello"; set /clip:count "3"; fscommand "Orvet_Eval" "trace('hi')"; trace $greeting }
)m";

TEST(Variables, FrameActionsSetAndHostReads)
{
    TestPlayer t(kVariables);
    EXPECT_EQ(t.var(u"greeting"), "hello");
    EXPECT_EQ(t.var(u"/:greeting"), "hello");
    EXPECT_EQ(t.var(u"_root.greeting"), "hello");
    EXPECT_EQ(t.var(u"_level0.GREETING"), "hello");
    EXPECT_EQ(t.var(u"/clip:count"), "3");
    EXPECT_EQ(t.var(u"_root.clip.count"), "3");
    EXPECT_EQ(t.var(u"clip.count"), "3");
    EXPECT_EQ(t.var(u"missing"), "<none>");
    EXPECT_EQ(t.var(u"/nowhere:x"), "<none>");
    ASSERT_EQ(t.commands.size(), 1u);
    EXPECT_EQ(t.commands[0], "Orvet_Eval|trace('hi')");
    ASSERT_EQ(t.traces.size(), 1u);
    EXPECT_EQ(t.traces[0], "hello");
}

TEST(Variables, HostSetsAndReadsBack)
{
    TestPlayer t(kVariables);
    EXPECT_TRUE(t.player.setVariable(u"/clip:count", u"7"));
    EXPECT_EQ(t.var(u"_level0.clip.count"), "7");
    EXPECT_TRUE(t.player.setVariable(u"_root.clip.name", u"Ann"));
    EXPECT_EQ(t.var(u"/clip:name"), "Ann");
    // Names under no clip are plain variables of the root.
    EXPECT_TRUE(t.player.setVariable(u"list.0", u"a"));
    EXPECT_TRUE(t.player.setVariable(u"list.length", u"1"));
    EXPECT_EQ(t.var(u"list.0"), "a");
    EXPECT_EQ(t.var(u"list.length"), "1");
    EXPECT_TRUE(t.player.setVariable(u"a.b.xMin", u"12.5"));
    EXPECT_EQ(t.var(u"a.b.xMin"), "12.5");
    EXPECT_FALSE(t.player.setVariable(u"", u"x"));
    // A clip read as a variable gives its path.
    EXPECT_EQ(t.var(u"_root.clip"), "_level0.clip");
}

TEST(Variables, BoundTextFieldShowsTheVariable)
{
    TestPlayer t(kVariables);
    RecordingCanvas before;
    t.player.render(before);
    ASSERT_EQ(before.texts.size(), 1u);
    EXPECT_EQ(before.texts[0].text, u"none yet");
    EXPECT_EQ(t.var(u"/clip:score"), "none yet"); // the field's text became the variable
    EXPECT_FALSE(t.player.needsRepaint());
    t.player.setVariable(u"_root.clip.score", u"42 points");
    EXPECT_TRUE(t.player.needsRepaint());
    RecordingCanvas after;
    t.player.render(after);
    ASSERT_EQ(after.texts.size(), 1u);
    EXPECT_EQ(after.texts[0].text, u"42 points");
    EXPECT_EQ(after.texts[0].font, u"_sans");
    t.player.setVariable(u"_root.clip.score", u"a\nb\r\nc");
    RecordingCanvas lines;
    t.player.render(lines);
    // Lines are laid out one run each; the low box shows the first.
    ASSERT_GE(lines.texts.size(), 1u);
    EXPECT_EQ(lines.texts[0].text, u"a");
}

// A movie of one frame running the given action block.
std::vector<std::uint8_t> movieWithActions(const ActionBytes& actions, int frames = 1)
{
    MovieWriter writer(2000, 2000, 12, 6);
    writer.root().actions(actions);
    for (int i = 0; i < frames; ++i)
        writer.root().showFrame();
    return writer.finish(false);
}

std::string runAndRead(const ActionWriter& script, std::u16string_view variable)
{
    MoviePlayer player;
    auto bytes = movieWithActions(script.finish());
    EXPECT_TRUE(player.load(bytes));
    auto v = player.getVariable(variable);
    return v ? narrow(*v) : "<none>";
}

ActionWriter setResult(ActionWriter body)
{
    ActionWriter w;
    w.pushString(u"r");
    w.append(body);
    w.op(action::SetVariable);
    return w;
}

TEST(Actions, Operators)
{
    struct Case {
        ActionWriter expression;
        const char* expected;
    };
    auto num = [](double a, double b, std::uint8_t op) {
        ActionWriter w;
        w.pushNumber(a).pushNumber(b).op(op);
        return w;
    };
    auto str = [](std::u16string_view a, std::u16string_view b, std::uint8_t op) {
        ActionWriter w;
        w.pushString(a).pushString(b).op(op);
        return w;
    };
    const Case cases[] = {
        {num(2, 3, action::Add), "5"},
        {num(2, 3, action::Subtract), "-1"},
        {num(1, 3, 0x0D), "0.333333333333333"},
        {num(1, 0, 0x0D), "Infinity"},
        {num(7, 3, 0x3F), "1"},
        {num(2, 3, action::Less), "true"},
        {num(3, 3, action::Equals), "true"},
        {str(u"ab", u"cd", action::StringAdd), "abcd"},
        {str(u"ab", u"ab", action::StringEquals), "true"},
        {str(u"b", u"a", 0x29), "false"},
        {str(u"1", u"2", action::Add2), "12"},
        {num(1.5, 2, action::Add2), "3.5"},
        {str(u"10", u"9", 0x48), "true"},     // two texts compare as text
        {str(u"5", u"5.0", action::Equals2), "false"},
        {num(6, 3, 0x60), "2"},               // bitwise and
        {num(1, 4, 0x63), "16"},              // shift left
        {str(u"x", u"7", action::Add), "NaN"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(runAndRead(setResult(c.expression), u"r"), c.expected);

    ActionWriter length;
    length.pushString(u"hello").op(0x14);
    EXPECT_EQ(runAndRead(setResult(length), u"r"), "5");
    ActionWriter extract;
    extract.pushString(u"abcdef").pushNumber(2).pushNumber(3).op(0x15);
    EXPECT_EQ(runAndRead(setResult(extract), u"r"), "bcd");
    ActionWriter chr;
    chr.pushNumber(65).op(0x33);
    EXPECT_EQ(runAndRead(setResult(chr), u"r"), "A");
    ActionWriter notOp;
    notOp.pushNumber(0).op(action::Not);
    EXPECT_EQ(runAndRead(setResult(notOp), u"r"), "true");
    ActionWriter typeOf;
    typeOf.pushString(u"s").op(0x44);
    EXPECT_EQ(runAndRead(setResult(typeOf), u"r"), "string");
}

TEST(Actions, EndlessLoopEndsWithinTheBudget)
{
    ActionWriter w;
    w.pushString(u"before").pushString(u"1").op(action::SetVariable);
    w.jump(-5); // onto itself, forever
    MoviePlayer player;
    auto bytes = movieWithActions(w.finish());
    ASSERT_TRUE(player.load(bytes));
    EXPECT_EQ(narrow(*player.getVariable(u"before")), "1");
    // The player is still usable afterwards.
    EXPECT_TRUE(player.setVariable(u"after", u"2"));
    player.advance();
    EXPECT_EQ(narrow(*player.getVariable(u"after")), "2");
}

TEST(Actions, JumpsOutsideTheBlockEndIt)
{
    for (std::int16_t offset : {std::int16_t(-200), std::int16_t(5000)}) {
        ActionWriter w;
        w.jump(offset);
        w.pushString(u"reached").pushString(u"yes").op(action::SetVariable);
        EXPECT_EQ(runAndRead(w, u"reached"), "<none>");
    }
    ActionWriter skip; // a jump that lands inside the block is taken
    ActionWriter skipped;
    skipped.pushString(u"x").pushString(u"skipped").op(action::SetVariable);
    skip.jump(std::int16_t(skipped.size())).append(skipped);
    skip.pushString(u"y").pushString(u"done").op(action::SetVariable);
    EXPECT_EQ(runAndRead(skip, u"x"), "<none>");
    EXPECT_EQ(runAndRead(skip, u"y"), "done");
}

TEST(Actions, DamagedRecordsEndTheBlockSafely)
{
    const ActionBytes blocks[] = {
        {0x96, 0x05, 0x00, 0x00, 'a', 'b'},           // length past the end
        {0x96, 0x02, 0x00, 0x0C, 0x00, 0x00},          // unknown push type
        {0x96, 0x03, 0x00, 0x00, 'a', 'b', 0x00},      // unterminated string
        {0x88, 0x04, 0x00, 0xFF, 0xFF, 'a', 0x00, 0x00}, // pool claiming 65535 entries
        {0x1D, 0x1D, 0x17, 0x17, 0x0A, 0x1C, 0x00},    // pops from an empty stack
        {0xC0, 0x01, 0x00, 0x55, 0x07, 0x00},          // an unknown record, then Stop
    };
    for (const auto& block : blocks) {
        MoviePlayer player;
        auto bytes = movieWithActions(block, 2);
        ASSERT_TRUE(player.load(bytes));
        player.advance();
    }
    MoviePlayer player;
    auto bytes = movieWithActions(blocks[5], 2);
    player.load(bytes);
    EXPECT_FALSE(player.isPlaying()); // the unknown record was skipped, Stop ran
}

TEST(Actions, GotoPingPongBetweenFramesEnds)
{
    TestPlayer t(R"m(
movie 100 100
frame label a
  actions { set n "a"; goto "b" }
frame label b
  actions { set n "b"; goto "a" }
)m");
    EXPECT_TRUE(t.player.isLoaded());
    t.player.advance();
    EXPECT_TRUE(t.player.setVariable(u"still", u"alive"));
}

TEST(Actions, GotoByNumberOrLabelStopsThere)
{
    TestPlayer t(R"m(
movie 10 10
frame
  actions { goto 3 }
frame label two
  actions { set seen "two" }
frame label three
  actions { set here "3"; gotoplay "two" }
)m");
    EXPECT_EQ(t.player.currentFrame(), 1);
    EXPECT_EQ(t.var(u"here"), "3");
    EXPECT_EQ(t.var(u"seen"), "two");
    EXPECT_TRUE(t.player.isPlaying());
}

TEST(Actions, ScriptControlFlowAndTargets)
{
    TestPlayer t(R"m(
movie 100 100
sprite box
  frame label rest
    actions { stop }
  frame label moved
    actions { stop; set /:inside "yes" }
end
frame
  place box depth 1 name "b"
  actions {
    set answer "no"
    if "a" == "a" { set answer "yes" } else { set answer "wrong" }
    if "a" != "a" { set other "wrong" } else { set other "fine" }
    tell "/b" { goto "moved" }
    stop
  }
frame label called
  actions { set calls "1"; fscommand "done" $calls }
)m");
    EXPECT_EQ(t.var(u"answer"), "yes");
    EXPECT_EQ(t.var(u"other"), "fine");
    EXPECT_EQ(*t.player.tCurrentLabel(u"/b"), u"moved");
    EXPECT_EQ(t.var(u"inside"), "yes");
    EXPECT_FALSE(t.player.isPlaying());
    // Calling a frame runs its actions but leaves the playhead.
    EXPECT_TRUE(t.player.tCallLabel(u"/", u"called"));
    EXPECT_EQ(t.player.currentFrame(), 0);
    ASSERT_EQ(t.commands.size(), 1u);
    EXPECT_EQ(t.commands[0], "done|1");
    EXPECT_FALSE(t.player.tCallLabel(u"/", u"nothing"));
    EXPECT_TRUE(t.player.tCallFrame(u"/", 1));
    EXPECT_EQ(t.commands.size(), 2u);
    EXPECT_FALSE(t.player.tCallFrame(u"/", 9));
}

TEST(Actions, FsCommandPrefixIgnoresCaseAndOtherUrlsGoElsewhere)
{
    ActionWriter w;
    w.getUrl(u"fscommand:quit", u"");
    w.getUrl(u"http://example.org/", u"_blank");
    MoviePlayer player;
    std::vector<std::string> seen;
    player.setFsCommandHandler([&](const std::u16string& c, const std::u16string& a) { seen.push_back("fs " + narrow(c) + "|" + narrow(a)); });
    player.setUrlHandler([&](const std::u16string& u, const std::u16string& t) { seen.push_back("url " + narrow(u) + "|" + narrow(t)); });
    auto bytes = movieWithActions(w.finish());
    ASSERT_TRUE(player.load(bytes));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], "fs quit|");
    EXPECT_EQ(seen[1], "url http://example.org/|_blank");
}

TEST(Actions, ClipsGetUrlsAsTheActionDoes)
{
    // MovieClip.getURL: commands and addresses go to the host; a level
    // window loads onto the level (a missing file there changes nothing).
    MoviePlayer player;
    std::vector<std::string> seen;
    player.setFsCommandHandler([&](const std::u16string& c, const std::u16string& a) { seen.push_back("fs " + narrow(c) + "|" + narrow(a)); });
    player.setUrlHandler([&](const std::u16string& u, const std::u16string& t) { seen.push_back("url " + narrow(u) + "|" + narrow(t)); });
    ASSERT_TRUE(player.load(actionscript::compileMovie(R"(
        createEmptyMovieClip("mc", 1);
        mc.getURL("FSCommand:show", "yes");
        mc.getURL("page.html");
        mc.getURL("http://example.org/", "_blank", "GET");
        mc.getURL("missing.swf", "_level3");
        mc.getURL();
    )", 8)));
    EXPECT_EQ(seen, (std::vector<std::string>{"fs show|yes", "url page.html|", "url http://example.org/|_blank"}));
}

TEST(Actions, HostMayReloadFromInsideAnFsCommand)
{
    auto second = movieFrom("movie 50 50\nframe\n  actions { set which \"second\" }\n");
    auto first = movieFrom("movie 50 50\nframe\n  actions { fscommand \"swap\"; set which \"first\" }\n");
    MoviePlayer player;
    player.setFsCommandHandler([&](const std::u16string&, const std::u16string&) { player.load(second); });
    ASSERT_TRUE(player.load(first));
    // The first movie's script stops with its movie; the second one runs.
    EXPECT_EQ(narrow(*player.getVariable(u"which")), "second");
}

} // namespace
} // namespace lumbra::movie::test
