// Any source text compiles to an image or fails with messages; whatever
// image comes out loads, disassembles and passes the runtime's link-time
// checks (operands, jump targets, stack depth on every path).
#include <cstdint>
#include <cstring>
#include <string_view>

#include "script/compiler/Compiler.h"
#include "script/compiler/Disassembler.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Linker.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/engine/ScriptEngine.h"

namespace {

bool linksCleanly(orvet::BytecodeModule& module)
{
    using namespace orvet;
    EnginePtr engine = CreateEngine();
    ScriptContext& ctx = *engine->context;
    if (protectedCall(ctx, [&] { linkModule(ctx, module); }))
        return true;
    // Only a limit of the context may refuse a well-formed image.
    return std::strcmp(ctx.errorBuffer, "Runtime error: Unimplemented Orvet Script bytecode") != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvet;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CompileResult result = compileText(text, CompileOptions{CompileOptions::kDebugInfo}, ansiToUtf16);
    if (!result.image) {
        if (result.messages.empty() && !result.outOfMemory)
            __builtin_trap(); // a failure always says why
        return 0;
    }
    const auto& bytes = result.image->bytes();
    ModulePtr module = loadModule(bytes.data(), bytes.size());
    if (!module || !disassemble(bytes.data(), bytes.size()) || !linksCleanly(*module))
        __builtin_trap();
    return 0;
}
