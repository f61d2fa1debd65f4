#include "player/CommandBridge.h"

#include "script/engine/EngineRun.h"
#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Linker.h"
#include "script/runtime/RuntimeError.h"

#include <windows.h>

namespace lumbra {

namespace {

bool named(std::string_view command, const char* name)
{
    return lstrcmpiA(std::string(command).c_str(), name) == 0;
}

// A run that did not reach its end leaves its reasons in the context: the
// compiler's messages and the runtime error. The author reads them in the
// trace file.
void traceFailure(const orvet::ScriptContext& ctx, int outcome)
{
    if (outcome == 1)
        return;
    std::string_view messages = ctx.compilerMessages;
    while (!messages.empty()) {
        const std::size_t end = messages.find('\n');
        std::string_view line = messages.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            ctx.trace(line);
        messages = end == std::string_view::npos ? std::string_view() : messages.substr(end + 1);
    }
    if (ctx.errorBuffer[0])
        ctx.trace(ctx.errorBuffer);
}

// A cached compiled module: linked with the constants it left in this
// engine last time, if it ran in this engine before.
int runCached(orvet::ScriptEngine& engine, std::uint32_t generation, ScriptResourceCache::Entry& entry)
{
    orvet::ScriptContext& ctx = *engine.context;
    const orvet::ModulePtr module = orvet::loadModule(entry.code.data(), entry.code.size());
    if (!module)
        return orvet::RunCompiledMemory(engine, entry.code.data(), entry.code.size()); // reports the damage
    if (entry.state && entry.stateEngine == generation)
        module->constantBase = entry.state;
    const int outcome = orvet::protectedCall(ctx, [&] { orvet::linkAndRun(ctx, *module); });
    entry.state = module->constantBase;
    entry.stateEngine = generation;
    return outcome;
}

} // namespace

void CommandBridge::handle(const char* command, const char* argument)
{
    if (!command)
        return;
    const Depth depth(*this);
    dispatch(command, argument ? argument : "");
}

void CommandBridge::dispatch(std::string_view command, const char* argument)
{
    if (named(command, "Orvet_Quit")) {
        engine_.destroy();
    } else if (named(command, "Orvet_Run")) {
        runPackaged(argument);
    } else if (named(command, "Orvet_AsynRun")) {
        queue_.push(argument);
    } else if (named(command, "Orvet_Eval") || named(command, "Orvet_File")) {
        orvet::ScriptEngine* engine = engine_.get();
        if (!engine)
            return;
        const SharedEngine::Use use(engine_);
        const int outcome = named(command, "Orvet_Eval") ? orvet::RunSourceText(*engine, argument)
                                                         : orvet::RunFile(*engine, argument);
        traceFailure(*engine->context, outcome);
    } else if (named(command, "quit")) {
        window_.requestClose();
    } else if (named(command, "fullscreen")) {
        fullscreen(argument);
    } else if (named(command, "exec")) {
        WinExec(argument, SW_SHOWNORMAL);
    }
    // "Orvet_Trace" and every other command: nothing.
}

bool CommandBridge::runPackaged(std::string_view name)
{
    ScriptResourceCache::Entry* entry = cache_.find(name);
    if (!entry)
        return false;
    orvet::ScriptEngine* engine = engine_.get();
    if (!engine)
        return true;
    const SharedEngine::Use use(engine_);
    traceFailure(*engine->context, runCached(*engine, engine_.generation(), *entry));
    return true;
}

bool CommandBridge::runQueued()
{
    if (std::optional<std::string> name = queue_.pop()) {
        const Depth depth(*this);
        runPackaged(*name);
    }
    return !queue_.empty();
}

void CommandBridge::fullscreen(std::string_view argument)
{
    ProjectSettings& settings = window_.settings();
    if (named(argument, "true")) {
        settings.windowSize = 1;     // full screen
        settings.borderStyle = 0x1;  // no border
        settings.windowShape = 0;    // rectangle
    } else if (named(argument, "false")) {
        settings.windowSize = 0;     // the movie's size
        settings.borderStyle = 0x100; // resizable
        settings.windowShape = 0;
    }
    window_.reapplyLayout();
}

} // namespace lumbra
