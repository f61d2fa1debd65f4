#include "script/engine/EngineEval.h"

#include "script/runtime/ScriptString.h"
#include "script/engine/ClassRegistration.h"
#include "script/engine/NestedRun.h"
#include "script/engine/ScriptEngine.h"

namespace orvet {

namespace {

// eval(x): a string runs as a program and gives the program's value; a text
// that does not compile gives undefined; any other value is given back.
void evalCall(ScriptContext& ctx, NativeClass&, void* data, ScriptValue* result, ScriptValue* args)
{
    if (!hasArgument(args, 1))
        return;
    if (!args[1].is(ValueKind::String)) {
        *result = args[1];
        return;
    }
    if (runNestedText(*static_cast<ScriptEngine*>(data), toAnsi(*args[1].string)))
        *result = ctx.result;
}

// evals(path): runs a source file and gives its value.
void evalsCall(ScriptContext& ctx, NativeClass&, void* data, ScriptValue* result, ScriptValue* args)
{
    if (hasArgument(args, 1) && args[1].is(ValueKind::String)
        && runNestedFile(*static_cast<ScriptEngine*>(data), toAnsi(*args[1].string)))
        *result = ctx.result;
}

} // namespace

void registerEval(ScriptEngine& engine)
{
    defineGlobalFunction(*engine.context, "eval", evalCall, &engine);
    defineGlobalFunction(*engine.context, "evals", evalsCall, &engine);
}

} // namespace orvet
