#include "TestSupport.h"

#include <sstream>

#include <gtest/gtest.h>

#include "script/compiler/Disassembler.h"
#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Linker.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptContext.h"
#include "script/engine/ScriptEngine.h"

namespace orvet::test {

AnsiDecoder latin1Decoder()
{
    return [](std::string_view text) {
        std::u16string units;
        for (char c : text)
            units += static_cast<char16_t>(static_cast<unsigned char>(c));
        return units;
    };
}

// Every image the tests compile must also pass the runtime's link-time
// checks (operands, jump targets, stack depth on every path).
void expectLinks(const CompileResult& result, std::string_view source)
{
    if (!result.image)
        return;
    ModulePtr module = loadModule(result.image->bytes().data(), result.image->bytes().size());
    ASSERT_TRUE(module) << source;
    EnginePtr engine = CreateEngine();
    ScriptContext& ctx = *engine->context;
    EXPECT_EQ(protectedCall(ctx, [&] { linkModule(ctx, *module); }), 1) << source << "\n" << ctx.errorBuffer;
}

CompileResult compileSource(std::string_view source, std::uint32_t options)
{
    CompileResult result = compileText(source, CompileOptions{options}, latin1Decoder());
    expectLinks(result, source);
    return result;
}

std::string listing(std::string_view source, std::uint32_t options)
{
    CompileResult result = compileSource(source, options);
    if (!result.image)
        return "FAILED: " + result.messages;
    const auto& bytes = result.image->bytes();
    return disassemble(bytes.data(), bytes.size()).value_or("NOT AN IMAGE");
}

std::string functionCode(std::string_view source, std::string_view function, std::uint32_t options)
{
    std::istringstream in(listing(source, options));
    std::string line, out;
    bool inside = false;
    const std::string header = std::string(function) + ":";
    while (std::getline(in, line)) {
        if (!line.empty() && line[0] != ' ') {
            if (inside)
                break;
            inside = line == header;
            if (line.rfind("FAILED", 0) == 0)
                return line;
            continue;
        }
        if (inside)
            out += line + "\n";
    }
    return out;
}

std::string errors(std::string_view source, std::uint32_t options)
{
    CompileResult result = compileSource(source, options);
    return (result.image ? "COMPILED: " : "") + result.messages;
}

} // namespace orvet::test
