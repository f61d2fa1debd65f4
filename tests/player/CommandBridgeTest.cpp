// The command bridge in this process: packaged scripts from an in-memory
// resource table, a trace file, and a script function that sends commands
// back into the bridge the way a movie answering a script would.
#include "player/CommandBridge.h"

#include "tests/host/FakePlayerServices.h"
#include "tests/package/RecordingReporter.h"

#include "package/PackedBlock.h"
#include "package/PackageResources.h"
#include "package/ResourceTable.h"
#include "script/compiler/Compiler.h"
#include "script/engine/ClassRegistration.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/ScriptString.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace lumbra::test {
namespace {

std::vector<std::string> linesOf(const std::filesystem::path& file)
{
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

Bytes compiled(const std::string& source)
{
    orvet::CompileResult result = orvet::compileText(source, orvet::CompileOptions{}, orvet::ansiToUtf16);
    EXPECT_TRUE(result.image) << result.messages;
    return result.image ? result.image->bytes() : Bytes{};
}

class RecordingWindow : public BridgeWindow {
public:
    std::vector<std::string>& log;
    const CommandBridge* bridge = nullptr;
    ProjectSettings record;
    explicit RecordingWindow(std::vector<std::string>& events) : log(events) {}

    void requestClose() override { log.push_back("close at depth " + std::to_string(bridge->depth())); }
    void reapplyLayout() override { log.push_back("layout"); }
    ProjectSettings& settings() override { return record; }
    void commandsFinished() override { log.push_back("finished"); }
};

class CommandBridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() / ("bridge-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        traceFile_ = folder_ / "trace.txt";
        ASSERT_TRUE(trace_.open(traceFile_.string()));
        window_.bridge = &bridge_;
    }
    void TearDown() override
    {
        engine_.destroy();
        trace_.close();
        std::filesystem::remove_all(folder_);
    }

    void addScript(const std::string& name, const std::string& source)
    {
        resources_.put(ResourceId::fromText(scriptResourceType), ResourceId::fromText(name),
                       packBlock(compiled(source)));
    }

    // "command(name, argument)": the movie sending a command while a script runs.
    void enableNestedCommands()
    {
        orvet::ScriptEngine* engine = engine_.get();
        ASSERT_NE(engine, nullptr);
        orvet::defineGlobalFunction(
            *engine->context, "command",
            [](orvet::ScriptContext&, orvet::NativeClass&, void* data, orvet::ScriptValue* result,
               orvet::ScriptValue* args) {
                const std::string name = orvet::toAnsi(*args[1].string);
                const std::string argument = orvet::argumentCount(args) > 1 ? orvet::toAnsi(*args[2].string) : "";
                static_cast<CommandBridge*>(data)->handle(name.c_str(), argument.c_str());
                *result = orvet::ScriptValue::undefined();
            },
            &bridge_);
    }

    std::vector<std::string> trace() const { return linesOf(traceFile_); }
    // The trace without the engine's "Warning: " lines.
    std::vector<std::string> scriptTrace() const
    {
        std::vector<std::string> lines = trace();
        std::erase_if(lines, [](const std::string& line) { return line.rfind("Warning: ", 0) == 0; });
        return lines;
    }

    std::filesystem::path folder_, traceFile_;
    std::vector<std::string> events_;
    FakePlayerServices services_;
    TraceFile trace_;
    SharedEngine engine_{services_, trace_};
    ResourceTable resources_;
    RecordingReporter reporter_;
    ScriptResourceCache cache_{resources_, reporter_};
    RecordingWindow window_{events_};
    CommandBridge bridge_{engine_, cache_, window_};
};

TEST_F(CommandBridgeTest, CommandNamesInAnyCaseAndUnknownOnesIgnored)
{
    addScript("Count", "if (typeof runs == 'undefined') runs = 0; runs++; trace('count ' + runs);");
    bridge_.handle("orvet_run", "Count");
    bridge_.handle("ORVET_RUN", "Count");
    bridge_.handle("Orvet_Run", "Missing");
    bridge_.handle("Orvet_Trace", "ignored");
    bridge_.handle("Orvet_Unknown", "x");
    bridge_.handle(nullptr, "x");
    bridge_.handle("orvet_eval", "trace('eval sees ' + runs)");
    EXPECT_EQ(scriptTrace(), (std::vector<std::string>{"count 1", "count 2", "eval sees 2"}));
    EXPECT_TRUE(reporter_.messages.empty());
    EXPECT_EQ(bridge_.depth(), 0);
}

TEST_F(CommandBridgeTest, QuitThenEvalRunsInAFreshEngine)
{
    bridge_.handle("Orvet_Eval", "kept = 'old'; trace(kept)");
    bridge_.handle("Orvet_Quit", "");
    EXPECT_EQ(engine_.existing(), nullptr);
    bridge_.handle("Orvet_Eval", "trace(typeof kept)");
    EXPECT_EQ(trace(), (std::vector<std::string>{"old", "Warning: using undefined variable \"kept\"", "undefined"}));
}

TEST_F(CommandBridgeTest, CachedModuleRunsAgainAfterTheEngineWasReplaced)
{
    addScript("Hello", "var greeting = 'hello'; trace(greeting + ' ' + 42.5);");
    bridge_.handle("Orvet_Run", "Hello");
    bridge_.handle("Orvet_Run", "hello"); // same bucket? names compare without case
    bridge_.handle("Orvet_Quit", "");
    bridge_.handle("Orvet_Run", "Hello");
    EXPECT_EQ(trace(), std::vector<std::string>(3, "hello 42.5"));
}

TEST_F(CommandBridgeTest, DamagedScriptIsReportedEachTimeAndNeverCached)
{
    resources_.put(ResourceId::fromText(scriptResourceType), ResourceId::fromText("Broken"),
                   Bytes{'S', 'M', 1, 0, 9, 9, 9, 9});
    bridge_.handle("Orvet_Run", "Broken");
    bridge_.handle("Orvet_Run", "Broken");
    EXPECT_EQ(reporter_.messages.size(), 2u);
    EXPECT_TRUE(trace().empty());
}

TEST_F(CommandBridgeTest, FailuresOfScriptsGoToTheTraceFile)
{
    bridge_.handle("Orvet_Eval", "var = ;");
    bridge_.handle("Orvet_Eval", "throw 'boom';");
    bridge_.handle("Orvet_Eval", "trace('still running')");
    const auto lines = trace();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].rfind("error: line ", 0), 0u) << lines[0];
    EXPECT_NE(lines[1].find("boom"), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], "still running");
    EXPECT_EQ(bridge_.depth(), 0);
}

TEST_F(CommandBridgeTest, FilesTellCompiledFromSource)
{
    const Bytes image = compiled("trace('compiled');");
    std::ofstream(folder_ / "a.OVC", std::ios::binary).write(reinterpret_cast<const char*>(image.data()), image.size());
    std::ofstream(folder_ / "b.ovs") << "trace('source by extension');";
    {
        std::ofstream marked(folder_ / "c.bin", std::ios::binary);
        marked << "#!/usr/bin/orvet\n";
        marked.write(reinterpret_cast<const char*>(image.data()), image.size());
    }
    std::ofstream(folder_ / "d.txt") << "trace('source by content');";
    std::ofstream(folder_ / "e.txt") << "# only a first line";
    for (const char* name : {"a.OVC", "b.ovs", "c.bin", "d.txt", "e.txt", "missing.ovs", "."})
        bridge_.handle("Orvet_File", (folder_ / name).string().c_str());
    const auto lines = trace();
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 4),
              (std::vector<std::string>{"compiled", "source by extension", "compiled", "source by content"}));
    EXPECT_EQ(bridge_.depth(), 0);
}

TEST_F(CommandBridgeTest, QuitFromInsideAScriptClosesOnlyAfterTheCommandReturned)
{
    enableNestedCommands();
    bridge_.handle("Orvet_Eval", "command('quit'); trace('after quit')");
    EXPECT_EQ(events_, (std::vector<std::string>{"close at depth 2", "finished"}));
    EXPECT_EQ(trace(), std::vector<std::string>{"after quit"});
}

TEST_F(CommandBridgeTest, EngineQuitFromInsideItsOwnScriptWaitsForTheScriptToEnd)
{
    enableNestedCommands();
    bridge_.handle("Orvet_Eval", "x = 1; command('Orvet_Quit'); command('Orvet_Eval', 'trace(x)'); trace('alive ' + x)");
    EXPECT_EQ(engine_.existing(), nullptr) << "the engine went after the outer script";
    EXPECT_EQ(trace(), (std::vector<std::string>{"1", "alive 1"}));
    bridge_.handle("Orvet_Eval", "trace(typeof x)");
    EXPECT_EQ(trace().back(), "undefined");
}

TEST_F(CommandBridgeTest, QueuedScriptsRunInOrderOnePerIdlePass)
{
    addScript("A", "trace('A')");
    addScript("B", "trace('B')");
    bridge_.handle("Orvet_AsynRun", "A");
    bridge_.handle("orvet_asynrun", "B");
    EXPECT_TRUE(trace().empty()) << "nothing runs before idle time";
    EXPECT_TRUE(bridge_.runQueued());
    EXPECT_EQ(trace(), std::vector<std::string>{"A"});
    EXPECT_FALSE(bridge_.runQueued());
    EXPECT_EQ(trace(), (std::vector<std::string>{"A", "B"}));
    EXPECT_FALSE(bridge_.runQueued());
}

TEST_F(CommandBridgeTest, TenThousandQueuedCommandsDrainInOrder)
{
    addScript("Tick", "if (typeof ticks == 'undefined') ticks = 0; ticks++;");
    for (int i = 0; i < 10000; ++i)
        bridge_.handle("Orvet_AsynRun", i % 2 ? "Tick" : "Missing");
    int passes = 1;
    while (bridge_.runQueued())
        ++passes;
    EXPECT_EQ(passes, 10000);
    bridge_.handle("Orvet_Eval", "trace(ticks)");
    EXPECT_EQ(scriptTrace(), std::vector<std::string>{"5000"});
}

TEST_F(CommandBridgeTest, FullscreenSetsTheLayoutOnlyForTrueOrFalse)
{
    window_.record.windowSize = 3;
    window_.record.borderStyle = 0x10;
    window_.record.windowShape = 2;
    bridge_.handle("fullscreen", "maybe");
    EXPECT_EQ(window_.record.windowSize, 3u);
    bridge_.handle("FullScreen", "TRUE");
    EXPECT_EQ(window_.record.windowSize, 1u);
    EXPECT_EQ(window_.record.borderStyle, 0x1u);
    EXPECT_EQ(window_.record.windowShape, 0u);
    bridge_.handle("fullscreen", "false");
    EXPECT_EQ(window_.record.windowSize, 0u);
    EXPECT_EQ(window_.record.borderStyle, 0x100u);
    EXPECT_EQ(std::count(events_.begin(), events_.end(), "layout"), 3);
}

TEST_F(CommandBridgeTest, CacheBucketsFollowTheNameHash)
{
    // h = (h >> 7) ^ (h >> 16) ^ c ^ (h << 5) over the bytes: worked by hand.
    EXPECT_EQ(ScriptResourceCache::bucketOf(""), 0u);
    EXPECT_EQ(ScriptResourceCache::bucketOf("A"), 65u % 17);
    // "AB": h = 65, then (0) ^ (0) ^ 66 ^ (65 << 5 = 2080) = 2146
    EXPECT_EQ(ScriptResourceCache::bucketOf("AB"), 2146u % 17);
}

} // namespace
} // namespace lumbra::test
