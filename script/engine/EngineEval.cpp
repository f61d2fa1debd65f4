#include "script/engine/EngineEval.h"

#include <string>

#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/NestedRun.h"
#include "script/engine/ScriptEngine.h"

namespace orvet {

namespace {

// The program runs as an entry point of its own, like RunSourceText: a
// runtime error or an uncaught throw inside it ends only that program (its
// message goes to the trace output) and the calling script goes on. The
// program's value, or undefined when it failed or did not compile.
template <class Run>
ScriptValue runOwnEntry(ScriptContext& ctx, Run&& run)
{
    bool ran = false;
    if (!protectedCall(ctx, [&] { ran = run(); })) {
        ctx.warn(ctx.errorBuffer);
        return ScriptValue::undefined();
    }
    return ran ? ctx.result : ScriptValue::undefined();
}

// eval(x): a string runs as a program; any other value is given back.
void evalCall(ScriptContext& ctx, NativeClass&, void* data, ScriptValue* result, ScriptValue* args)
{
    if (!hasArgument(args, 1))
        return;
    if (!args[1].is(ValueKind::String)) {
        *result = args[1];
        return;
    }
    const std::string text = toAnsi(*args[1].string);
    *result = runOwnEntry(ctx, [&] { return runNestedText(*static_cast<ScriptEngine*>(data), text); });
}

// evals(path): runs a source file.
void evalsCall(ScriptContext& ctx, NativeClass&, void* data, ScriptValue* result, ScriptValue* args)
{
    if (!hasArgument(args, 1) || !args[1].is(ValueKind::String))
        return;
    const std::string path = toAnsi(*args[1].string);
    *result = runOwnEntry(ctx, [&] { return runNestedFile(*static_cast<ScriptEngine*>(data), path); });
}

} // namespace

void registerEval(ScriptEngine& engine)
{
    defineGlobalFunction(*engine.context, "eval", evalCall, &engine);
    defineGlobalFunction(*engine.context, "evals", evalsCall, &engine);
}

} // namespace orvet
