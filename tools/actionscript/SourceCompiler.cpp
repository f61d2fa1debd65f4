#include "tools/actionscript/SourceCompiler.h"

#include <algorithm>
#include <string>

#include "control/movie/MovieWriter.h"
#include "script/compiler/Diagnostics.h"
#include "script/compiler/Lexer.h"
#include "script/compiler/Parser.h"
#include "script/runtime/ByteStream.h"
#include "tools/actionscript/CodeGenerator.h"

namespace lumbra::actionscript {

namespace {

// The first error among the parser's messages, "error: line N: text".
[[noreturn]] void rethrow(const std::vector<std::uint8_t>& messages, int firstLine)
{
    std::string text(messages.begin(), messages.end());
    constexpr std::string_view prefix = "error: line ";
    auto at = text.find(prefix);
    if (at == std::string::npos)
        throw SourceError(firstLine, "cannot compile");
    at += prefix.size();
    std::size_t colon = text.find(": ", at);
    std::size_t end = text.find("\r\n", colon);
    int line = std::stoi(text.substr(at, colon - at));
    throw SourceError(line + firstLine, text.substr(colon + 2, end - colon - 2));
}

std::vector<std::string_view> frameScripts(std::string_view source, std::vector<int>& firstLines)
{
    std::vector<std::string_view> scripts;
    std::size_t start = 0, lineStart = 0;
    int line = 1;
    firstLines.assign(1, 1);
    while (lineStart <= source.size()) {
        std::size_t end = source.find('\n', lineStart);
        std::string_view text = source.substr(lineStart, end == std::string_view::npos ? end : end - lineStart);
        while (!text.empty() && (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        if (text == "#frame") {
            scripts.push_back(source.substr(start, lineStart - start));
            start = end == std::string_view::npos ? source.size() : end + 1;
            firstLines.push_back(line + 1);
        }
        if (end == std::string_view::npos)
            break;
        lineStart = end + 1;
        ++line;
    }
    scripts.push_back(source.substr(start));
    return scripts;
}

} // namespace

std::vector<std::uint8_t> compileActions(std::string_view source, int version, int firstLine)
{
    if (version < kMinVersion || version > kMaxVersion)
        throw SourceError(firstLine, "movie version " + std::to_string(version) + " is outside "
                                         + std::to_string(kMinVersion) + " to " + std::to_string(kMaxVersion));
    if (auto nul = source.find('\0'); nul != std::string_view::npos) {
        int line = firstLine + int(std::count(source.begin(), source.begin() + std::ptrdiff_t(nul), '\n'));
        throw SourceError(line, "the source holds a NUL byte");
    }
    orvet::ByteStream text = orvet::ByteStream::fromText(source);
    orvet::ByteStream messages = orvet::ByteStream::memory();
    orvet::Diagnostics diagnostics(messages);
    orvet::Lexer lexer(text, diagnostics, false, true);
    orvet::NodePool nodes;
    orvet::Parser parser(lexer, diagnostics, nodes, false, true);
    orvet::ParsedProgram program;
    try {
        program = parser.parseProgram();
    } catch (const orvet::CompileError&) {
        rethrow(messages.bytes(), firstLine);
    }
    std::vector<std::uint8_t> code = CodeGenerator(version, firstLine).program(program.topLevel);
    code.push_back(0);
    return code;
}

std::vector<std::uint8_t> compileMovie(std::string_view source, int version, int frames)
{
    std::vector<int> firstLines;
    std::vector<std::string_view> scripts = frameScripts(source, firstLines);
    movie::MovieWriter writer(550 * 20, 400 * 20, 12, version);
    auto& timeline = writer.root();
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        timeline.actions(compileActions(scripts[i], version, firstLines[i]));
        timeline.showFrame();
    }
    while (timeline.frameCount() < frames)
        timeline.showFrame();
    return writer.finish(false);
}

} // namespace lumbra::actionscript
