// The engine's entry points: creation, runs of every kind, calls from native
// code, the error protocol, eval and the trace output.
#include <cstdio>
#include <fstream>

#include "script/compiler/Compiler.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/AtomTable.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/EngineCalls.h"
#include "script/engine/NestedCall.h"
#include "tests/engine/EngineFixture.h"

namespace orvet::test {
namespace {

using EngineTest = EngineFixture;

std::vector<std::uint8_t> compiled(const char* source)
{
    CompileResult result = compileText(source, CompileOptions{0x160}, ansiToUtf16);
    EXPECT_TRUE(result.image) << result.messages;
    return result.image ? result.image->bytes() : std::vector<std::uint8_t>{};
}

std::string tempPath(const std::string& name)
{
    const char* dir = std::getenv("LUMBRA_BUILD_DIR");
    return std::string(dir ? dir : ".") + "/" + name;
}

void writeFile(const std::string& path, const std::string& prefix, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << prefix;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST_F(EngineTest, FirstAtomsAndCoreGlobalsExist)
{
    EXPECT_EQ(ctx().intern("__proto__"), 0);
    EXPECT_EQ(ctx().intern("valueOf"), 4);
    EXPECT_EQ(value("typeof parseInt"), "object");
    EXPECT_EQ(value("typeof Math"), "object");
    EXPECT_EQ(value("NaN"), "NaN");
    EXPECT_EQ(value("Infinity"), value("1/0"));
    EXPECT_EQ(value("eval"), "object"); // a global function answers no method
}

TEST_F(EngineTest, TwoEnginesHaveSeparateGlobals)
{
    EnginePtr other = CreateEngine();
    ASSERT_TRUE(other);
    run("shared = 42;");
    ASSERT_EQ(RunSourceText(*other, "typeof shared"), 1);
    EXPECT_EQ(toAnsi(*other->context->result.string), "undefined");
    EXPECT_EQ(value("shared"), "int 42");
}

TEST_F(EngineTest, RunsCompiledImagesFromMemoryAndFiles)
{
    const auto image = compiled("6 * 7;");
    ASSERT_EQ(RunCompiledMemory(*engine, image.data(), image.size()), 1);
    EXPECT_EQ(ctx().result.integer, 42);

    const std::string path = tempPath("engine_test_image.ovc");
    writeFile(path, "", image);
    ctx().result = ScriptValue::undefined();
    ASSERT_EQ(RunCompiledFile(*engine, path), 1);
    EXPECT_EQ(ctx().result.integer, 42);
    std::remove(path.c_str());
}

TEST_F(EngineTest, BadImagesLoadNothingAndWriteNoMessage)
{
    const std::uint8_t junk[] = {'O', 'V', '1', 'x', 0, 0, 0, 0};
    EXPECT_EQ(RunSourceText(*engine, "throw 'earlier';"), 0);
    EXPECT_EQ(RunCompiledMemory(*engine, junk, sizeof junk), -1);
    EXPECT_STREQ(ctx().errorBuffer, "");
    const std::string junkPath = tempPath("engine_test_junk.ovc");
    writeFile(junkPath, "", {junk, junk + sizeof junk});
    EXPECT_EQ(RunCompiledFile(*engine, junkPath), -1);
    EXPECT_STREQ(ctx().errorBuffer, "");
    std::remove(junkPath.c_str());
    EXPECT_EQ(RunCompiledFile(*engine, tempPath("no_such_file.ovc")), -1);
    EXPECT_STREQ(ctx().errorBuffer, "");
    EXPECT_NE(ctx().compilerMessages.find("can't open the script file"), std::string::npos);
    EXPECT_EQ(RunSourceFile(*engine, tempPath("no_such_file.ovs")), -1);
    EXPECT_NE(ctx().compilerMessages.find("can't open the script file"), std::string::npos);
}

TEST_F(EngineTest, RunFileChoosesByExtensionThenByContent)
{
    // x.txt: a "#" line, then the image magic: compiled.
    const std::string path = tempPath("engine_test_x.txt");
    writeFile(path, "#!/usr/bin/orvet run\n", compiled("'compiled';"));
    ASSERT_EQ(RunFile(*engine, path), 1) << ctx().errorBuffer;
    EXPECT_EQ(toAnsi(*ctx().result.string), "compiled");

    // Other content: source.
    writeFile(path, "", {});
    { std::ofstream(path) << "'source';"; }
    ASSERT_EQ(RunFile(*engine, path), 1) << ctx().compilerMessages;
    EXPECT_EQ(toAnsi(*ctx().result.string), "source");

    // A "#" line and nothing after it: source, which does not compile.
    { std::ofstream(path) << "# only a comment line"; }
    EXPECT_EQ(RunFile(*engine, path), -1);

    // An upper-case .OVS extension is source whatever it holds.
    const std::string upper = tempPath("engine_test_y.OVS");
    { std::ofstream(upper) << "1 + 1;"; }
    ASSERT_EQ(RunFile(*engine, upper), 1);
    EXPECT_EQ(ctx().result.integer, 2);
    std::remove(path.c_str());
    std::remove(upper.c_str());
}

TEST_F(EngineTest, SourceThatDoesNotCompileGivesMinusOneAndMessages)
{
    EXPECT_EQ(RunSourceText(*engine, "var = ;"), -1);
    EXPECT_NE(ctx().compilerMessages.find("error: line 0"), std::string::npos) << ctx().compilerMessages;
    // The length variant stops at the length given.
    EXPECT_EQ(RunSourceText(*engine, "1 + 2; garbage (", 6), 1);
    EXPECT_EQ(ctx().result.integer, 3);
}

TEST_F(EngineTest, RuntimeErrorsAndThrowsFillTheErrorBuffer)
{
    EXPECT_EQ(failure("throw 'plain text';"), "plain text");
    EXPECT_EQ(failure("function down(n) { return down(n + 1); } down(0);"), "Runtime error: stack overflow");
    // The engine stays usable.
    EXPECT_EQ(value("1 + 1"), "int 2");
}

TEST_F(EngineTest, CallFunctionOnANumberFailsAndKeepsTheStack)
{
    run("notAFunction = 5; function add(a, b) { return a + b; }");
    ScriptValue* const sp = ctx().sp;
    ScriptValue args[3] = {ScriptValue::ofInt(2), ScriptValue::ofInt(1), ScriptValue::ofInt(2)};
    EXPECT_EQ(CallFunction(ctx(), "notAFunction", {}, 3, args), 0);
    EXPECT_STREQ(ctx().errorBuffer, "Warning: call a undefined function");
    EXPECT_EQ(ctx().sp, sp);

    ASSERT_EQ(CallFunction(ctx(), "add", {}, 3, args), 1);
    EXPECT_EQ(ctx().result.integer, 3);
    EXPECT_EQ(ctx().sp, sp);
    ASSERT_EQ(CallFunction(ctx(), nullptr, ctx().global(ctx().intern("add")), 3, args), 1);
    EXPECT_EQ(ctx().result.integer, 3);
}

TEST_F(EngineTest, CallValueAndCallMethod)
{
    run("function Counter() { this.n = 10; } Counter.bump = function(k) { this.n = this.n + k; return this.n; };"
        "c = new Counter();");
    const ScriptValue counter = ctx().global(ctx().intern("c"));
    ScriptValue args[2] = {ScriptValue::ofInt(1), ScriptValue::ofInt(5)};
    ASSERT_EQ(CallMethod(ctx(), counter, "bump", 2, args), 1) << ctx().errorBuffer;
    EXPECT_EQ(ctx().result.integer, 15);
    run("bumpFn = Counter.bump;");
    ASSERT_EQ(CallValue(ctx(), counter, ctx().global(ctx().intern("bumpFn")), 2, args), 1) << ctx().errorBuffer;
    EXPECT_EQ(ctx().result.integer, 20);
    EXPECT_EQ(CallValue(ctx(), counter, ScriptValue::ofInt(1), 2, args), 0);

    EXPECT_EQ(CallMethod(ctx(), counter, "missing", 0, nullptr), 0);
    EXPECT_STREQ(ctx().errorBuffer, "Warning: unknown method \"missing\"");
    ASSERT_EQ(CallMethod(ctx(), ScriptValue::ofInt(255), "toString", 0, nullptr), 1);
    EXPECT_EQ(toAnsi(*ctx().result.string), "255");
}

// A host class whose method "callBack" calls the script function it is given.
void registerCallbackClass(ScriptContext& ctx)
{
    NativeClass* cls = newClass(ctx);
    MemberAtoms::attach(ctx, *cls, {"callBack"});
    cls->callMethod = [](ScriptContext& ctx, NativeClass& cls, void*, Atom name, ScriptValue* result,
                         ScriptValue* args) {
        if (MemberAtoms::of(cls).find(name) != 0 || !hasArgument(args, 1))
            return 0;
        ScriptValue none[1] = {ScriptValue::ofInt(0)};
        *result = callNested(ctx, ScriptValue::null(), args[1], 1, none);
        return 1;
    };
    registerGlobalClass(ctx, "Host", cls);
}

TEST_F(EngineTest, ErrorInsideANativeCallbackUnwindsToTheHostCall)
{
    ASSERT_TRUE(protectedCall(ctx(), [&] { registerCallbackClass(ctx()); }));
    // Host CallMethod -> script method -> native callBack -> script function that fails.
    run("reached = 0;"
        "function boom() { reached = 1; throw 'boom'; }"
        "function overflow() { return overflow(); }"
        "runner = new Object();"
        "runner.go = function(f) { Host.callBack(f); reached = 2; };");
    const ScriptValue runner = ctx().global(ctx().intern("runner"));
    ScriptValue* const sp = ctx().sp;
    ScriptValue args[2] = {ScriptValue::ofInt(1), ctx().global(ctx().intern("boom"))};
    EXPECT_EQ(CallMethod(ctx(), runner, "go", 2, args), 0);
    EXPECT_STREQ(ctx().errorBuffer, "boom");
    EXPECT_EQ(ctx().sp, sp);
    EXPECT_TRUE(ctx().recovery.empty());
    EXPECT_EQ(value("reached"), "int 1");

    args[1] = ctx().global(ctx().intern("overflow"));
    EXPECT_EQ(CallMethod(ctx(), runner, "go", 2, args), 0);
    EXPECT_STREQ(ctx().errorBuffer, "Runtime error: stack overflow");
    EXPECT_EQ(ctx().sp, sp);

    // A script try around the native call catches what the callback throws.
    EXPECT_EQ(value("var caught; try { Host.callBack(boom); } catch (e) { caught = e; } caught"), "boom");
}

void failingRegistration(ScriptEngine& engine, void*)
{
    raiseError(*engine.context, "registration failed");
}

TEST(EngineCreation, AFailingRegistrationGivesNoEngine)
{
    HostClasses host;
    host.window = failingRegistration;
    EXPECT_EQ(CreateEngine({}, host), nullptr);
    host.window = [](ScriptEngine& engine, void*) { defineConstant(*engine.context, "$WINDOW_READY", 1); };
    EnginePtr engine = CreateEngine({}, host);
    ASSERT_TRUE(engine);
    ASSERT_EQ(RunSourceText(*engine, "$WINDOW_READY"), 1);
    EXPECT_EQ(engine->context->result.integer, 1);
    DestroyEngine(std::move(engine));
}

TEST_F(EngineTest, EvalRunsTextAndReturnsOtherValues)
{
    EXPECT_EQ(value("eval('6 * 7')"), "int 42");
    EXPECT_EQ(value("eval(5)"), "int 5");
    EXPECT_EQ(value("var a = [1]; eval(a) == a"), "bool true");
    EXPECT_EQ(value("eval()"), "undefined");
    EXPECT_EQ(value("eval('evalGlobal = 3;'); evalGlobal"), "int 3");
    // Text that does not compile gives undefined; its messages go to the trace.
    traced.clear();
    EXPECT_EQ(value("eval('var = ;')"), "undefined");
    ASSERT_FALSE(traced.empty());
    EXPECT_EQ(traced[0].substr(0, 7), "error: ");
}

TEST_F(EngineTest, EvalIsAnEntryPointOfItsOwn)
{
    // An uncaught throw or runtime error ends the evaluated program only: the
    // caller's try sees nothing, its run goes on with undefined, and the
    // message goes to the trace output.
    traced.clear();
    EXPECT_EQ(value("var r = 'none'; try { r = eval(\"throw 'q'; 5\"); } catch (e) { r = 'caught ' + e; } r"),
              "undefined");
    ASSERT_FALSE(traced.empty());
    EXPECT_EQ(traced[0], "q");
    traced.clear();
    EXPECT_EQ(value("var n = eval('function r() { return r(); } r()'); trace('after'); typeof n"), "undefined");
    ASSERT_GE(traced.size(), 2u);
    EXPECT_EQ(traced[0], "Runtime error: stack overflow");
    EXPECT_EQ(traced[1], "after");
    // A try inside the program still catches its own errors.
    EXPECT_EQ(value("eval(\"var r; try { throw 'in'; } catch (e) { r = e + 'side'; } r\")"), "inside");
    // Nested evals unwind one level each.
    EXPECT_EQ(value("eval(\"eval('throw 1;'); 'outer goes on'\")"), "outer goes on");
    EXPECT_EQ(value("s = 0; for (i = 0; i < 50; i++) s += eval('i * 2'); s"), "int 2450");
}

// An object whose toString converts itself twice: each conversion is a
// nested run that overflows the stack; the overflow must end the whole
// conversion, not be answered with "object" and retried at every level.
TEST_F(EngineTest, AStackOverflowEndsAConversionThatFansOut)
{
    EXPECT_EQ(failure("var o = new Object(); o.toString = function () { return [o, o].join('-'); }; trace('' + o);"),
              "Runtime error: stack overflow");
    EXPECT_EQ(value("var r; try { r = 'x' + o; } catch (e) { r = e; } r"), "Runtime error: stack overflow");
    // Other failures of toString still give "object".
    EXPECT_EQ(value("var p = new Object(); p.toString = function () { throw 'no'; }; '' + p"), "object");
    EXPECT_EQ(value("var q = new Object(); q.toString = function () { try { return '' + o; } catch (e) { return 'safe'; } };"
                    "'' + q"),
              "safe");
}

TEST_F(EngineTest, EvalsRunsASourceFile)
{
    const std::string path = tempPath("engine_test_evals.ovs");
    { std::ofstream(path) << "fromFile = 'yes'; 40 + 2;"; }
    const std::string program = "evals('" + path + "')";
    EXPECT_EQ(value(program.c_str()), "int 42");
    EXPECT_EQ(value("fromFile"), "yes");
    EXPECT_EQ(value("evals(3)"), "undefined");
    { std::ofstream(path) << "throw 'from file';"; }
    const std::string failing = "var r = 'none'; try { r = evals('" + path + "'); } catch (e) { r = e; } typeof r";
    EXPECT_EQ(value(failing.c_str()), "undefined");
    std::remove(path.c_str());
}

TEST_F(EngineTest, TraceWritesArgumentsWithoutSeparator)
{
    run("trace('a', 1, 2.5, true, null); trace();");
    ASSERT_EQ(traced.size(), 2u);
    EXPECT_EQ(traced[0], "a12.5trueundefined");
    EXPECT_EQ(traced[1], "");
}

TEST(EngineCreation, ATinyStackFailsRunsCleanly)
{
    for (const std::uint32_t size : {0u, 1u, 12u}) {
        EngineConfig config;
        config.stackSize = size;
        EnginePtr engine = CreateEngine(config);
        ASSERT_TRUE(engine);
        EXPECT_EQ(RunSourceText(*engine, "function f(a) { return [a, a].join(); } f(1)"), 0) << size;
        EXPECT_STREQ(engine->context->errorBuffer, "Runtime error: stack overflow");
    }
}

TEST(EngineTrace, WithoutASinkNothingIsWritten)
{
    EnginePtr engine = CreateEngine();
    EXPECT_EQ(RunSourceText(*engine, "trace('nowhere'); missing.call(); 1"), 1);
    EXPECT_EQ(engine->context->result.integer, 1);
}

TEST_F(EngineTest, UndefinedVariableWarningFollowsTheFlag)
{
    // The default flag word asks for the warning.
    run("x = missingOne;");
    ASSERT_EQ(traced.size(), 1u);
    EXPECT_EQ(traced[0], "Warning: using undefined variable \"missingOne\"");

    EngineConfig config;
    config.flagWord &= ~kFlagWarnUndefined;
    EnginePtr quiet = CreateEngine(config);
    std::vector<std::string> lines;
    SetTraceOutput(*quiet, [](void* out, std::string_view line) {
        static_cast<std::vector<std::string>*>(out)->emplace_back(line);
    }, &lines);
    ASSERT_EQ(RunSourceText(*quiet, "x = missingOne;"), 1);
    EXPECT_TRUE(lines.empty());
}

TEST_F(EngineTest, HookStopsALongRun)
{
    EngineConfig config;
    config.hook = [](int reason, void* data) { return ++*static_cast<int*>(data) >= 2 ? 7 : 0; };
    int calls = 0;
    config.hookData = &calls;
    EnginePtr hooked = CreateEngine(config);
    ASSERT_EQ(RunSourceText(*hooked, "var s = ''; while (true) { s = s + 'xxxxxxxxxxxxxxxx'; if (s.length > 4000) s = ''; }"), 0);
    EXPECT_STREQ(hooked->context->errorBuffer, "Runtime error: hook break 7");
    EXPECT_GE(calls, 2);
}

TEST_F(EngineTest, ProtectedReportsErrorsOfHostRoutines)
{
    EXPECT_EQ(Protected(*engine, [](ScriptContext&) {}), 1);
    EXPECT_EQ(Protected(*engine, [](ScriptContext& ctx) { toObject(ctx, ScriptValue::null()); }), 0);
    EXPECT_STREQ(ctx().errorBuffer, "Runtime error: Can't convert to object");
}

TEST(EngineConstants, DollarConstantsAreIntegerGlobals)
{
    EnginePtr engine = CreateEngine();
    ASSERT_TRUE(Protected(*engine, [](ScriptContext& ctx) { defineConstant(ctx, "$AW_BLEND", 0x80000); }));
    ASSERT_EQ(RunSourceText(*engine, "$AW_BLEND + 1"), 1);
    EXPECT_EQ(engine->context->result.integer, 0x80001);
}

} // namespace
} // namespace orvet::test
