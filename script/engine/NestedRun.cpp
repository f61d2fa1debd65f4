#include "script/engine/NestedRun.h"

#include <string_view>

#include "script/compiler/Compiler.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Linker.h"
#include "script/runtime/RuntimeError.h"
#include "script/engine/ScriptEngine.h"

namespace orvet {

namespace {

bool runNested(ScriptEngine& engine, CompileResult compiled)
{
    ScriptContext& ctx = *engine.context;
    if (compiled.outOfMemory)
        raiseOutOfMemory(ctx);
    ctx.compilerMessages = std::move(compiled.messages);
    std::string_view messages = ctx.compilerMessages;
    while (!messages.empty()) {
        const std::size_t end = messages.find('\n');
        ctx.warn(messages.substr(0, end));
        messages.remove_prefix(end == std::string_view::npos ? messages.size() : end + 1);
    }
    if (!compiled.image)
        return false;
    const std::vector<std::uint8_t>& image = compiled.image->bytes();
    const ModulePtr module = loadModule(image.data(), image.size());
    if (!module)
        raiseError(ctx, kErrBadBytecode);
    linkAndRun(ctx, *module);
    return true;
}

} // namespace

bool runNestedText(ScriptEngine& engine, const std::string& text)
{
    return runNested(engine, compileText(text, CompileOptions{engine.compileOptions()}, ansiToUtf16));
}

bool runNestedFile(ScriptEngine& engine, const std::string& path)
{
    return runNested(engine, compileFile(path, CompileOptions{engine.compileOptions()}, ansiToUtf16));
}

} // namespace orvet
