// Loads, links and runs arbitrary bytes as a compiled image. Code with a
// backward jump could loop for ever, so such modules are only linked; a small
// stack keeps recursion (which may branch exponentially) shallow.
#include <cstddef>
#include <cstdint>

#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Closure.h"
#include "script/runtime/Interpreter.h"
#include "script/runtime/Linker.h"
#include "script/runtime/Opcode.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/runtime/ScriptFunction.h"

namespace {

bool mayLoop(const orvet::ScriptFunction& fn)
{
    for (std::size_t i = 0; i < fn.code.size();) {
        auto op = static_cast<orvet::Opcode>(fn.code[i] & 0xFF);
        if (op == orvet::Opcode::HALT)
            return true;
        orvet::OperandForm form = orvet::operandForm(op);
        if (form == orvet::OperandForm::Jump && static_cast<std::int32_t>(fn.code[i + 1]) < 0)
            return true;
        i += form == orvet::OperandForm::None ? 1 : 2;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    orvet::ModulePtr module = orvet::loadModule(data, size);
    if (!module)
        return 0;
    orvet::ScriptContext ctx(orvet::ContextOptions{128});
    orvet::protectedCall(ctx, [&] {
        orvet::ScriptFunction* main = orvet::linkModule(ctx, *module);
        for (const auto& fn : ctx.functions)
            if (mayLoop(*fn))
                return;
        if (main)
            orvet::run(ctx, orvet::ScriptValue::null(), orvet::newClosure(ctx, main), 0, nullptr);
    });
    return 0;
}
