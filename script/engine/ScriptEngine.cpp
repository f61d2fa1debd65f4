#include "script/engine/ScriptEngine.h"

#include <new>

#include "script/runtime/RuntimeError.h"
#include "script/engine/builtins/ArrayClass.h"
#include "script/engine/builtins/BooleanClass.h"
#include "script/engine/builtins/DateClass.h"
#include "script/engine/builtins/FunctionClass.h"
#include "script/engine/builtins/Globals.h"
#include "script/engine/builtins/MathClass.h"
#include "script/engine/builtins/NumberClass.h"
#include "script/engine/builtins/ObjectClass.h"
#include "script/engine/builtins/StringClass.h"
#include "script/engine/EngineEval.h"

namespace orvet {

namespace {

// The classes every engine has, in their registration order; the host
// classes follow, then "eval" and "evals".
void registerBuiltins(ScriptEngine& engine)
{
    ScriptContext& ctx = *engine.context;
    registerGlobals(ctx); // "NaN", "Infinity", parseInt ... trace
    registerDateClass(ctx);
    registerMathClass(ctx);
    registerArrayClass(ctx);
    registerBooleanClass(ctx);
    registerFunctionClass(engine);
    registerNumberClass(ctx);
    registerStringClass(ctx); // and "RegExp"
    registerObjectClass(ctx);
}

void registerHostClasses(ScriptEngine& engine, const HostClasses& host)
{
    for (ClassRegistration registration :
         {host.dialogs, host.shell, host.mci, host.flashPlayer, host.movieClip, host.applicationFunctions,
          host.window, host.menu, host.application, host.directX, host.encryption, host.diskInfo,
          host.desktopToy, host.dataFile})
        if (registration)
            registration(engine, host.host);
}

ContextOptions contextOptions(const EngineConfig& config)
{
    ContextOptions options;
    options.stackSize = config.stackSize;
    options.warnUndefinedVariables = (config.flagWord & kFlagWarnUndefined) != 0;
    return options;
}

} // namespace

EnginePtr CreateEngine(const EngineConfig& config, const HostClasses& hostClasses)
{
    EnginePtr engine;
    try {
        engine = std::make_unique<ScriptEngine>();
        engine->config = config;
        engine->context = std::make_unique<ScriptContext>(contextOptions(config));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    ScriptContext& ctx = *engine->context;
    ctx.optionWord = config.optionWord;
    const bool registered = protectedCall(ctx, [&] {
        registerBuiltins(*engine);
        registerHostClasses(*engine, hostClasses);
    });
    if (!registered)
        return nullptr;
    ctx.hook = config.hook;
    ctx.hookData = config.hookData;
    if (!protectedCall(ctx, [&] { registerEval(*engine); }))
        return nullptr;
    return engine;
}

void DestroyEngine(EnginePtr engine)
{
    engine.reset();
}

void SetTraceOutput(ScriptEngine& engine, TraceSink sink, void* data)
{
    engine.context->traceSink = sink;
    engine.context->traceData = data;
}

} // namespace orvet
