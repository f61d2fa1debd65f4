// Any source text compiles to an image or fails with messages; whatever
// image comes out loads and disassembles.
#include <cstdint>
#include <string_view>

#include "script/compiler/Compiler.h"
#include "script/compiler/Disassembler.h"
#include "script/runtime/BytecodeModule.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace orvet;
    const AnsiDecoder decoder = [](std::string_view text) {
        std::u16string units;
        for (char c : text)
            units += static_cast<char16_t>(static_cast<unsigned char>(c));
        return units;
    };
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CompileResult result = compileText(text, CompileOptions{CompileOptions::kDebugInfo}, decoder);
    if (result.image) {
        const auto& bytes = result.image->bytes();
        if (!loadModule(bytes.data(), bytes.size()) || !disassemble(bytes.data(), bytes.size()))
            __builtin_trap();
    } else if (result.messages.empty() && !result.outOfMemory) {
        __builtin_trap(); // a failure always says why
    }
    return 0;
}
