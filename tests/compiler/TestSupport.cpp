#include "TestSupport.h"

#include <sstream>

#include "script/compiler/Disassembler.h"

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

CompileResult compileSource(std::string_view source, std::uint32_t options)
{
    return compileText(source, CompileOptions{options}, latin1Decoder());
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
