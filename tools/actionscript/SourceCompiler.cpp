#include "tools/actionscript/SourceCompiler.h"

#include <algorithm>
#include <string>

#include "control/movie/MovieWriter.h"
#include "script/compiler/Diagnostics.h"
#include "script/compiler/Lexer.h"
#include "script/compiler/Parser.h"
#include "script/runtime/ByteStream.h"
#include "text/Utf8.h"
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

struct FrameScript {
    std::string source; // directive lines left empty, so lines keep their numbers
    int firstLine = 1;
    std::vector<std::string> labels;
};

// Splits the source at its directive lines: "#frame" starts the next frame's
// script, "#label NAME" names the frame.
std::vector<FrameScript> frameScripts(std::string_view source)
{
    std::vector<FrameScript> frames(1);
    int line = 1;
    for (std::size_t start = 0; start <= source.size(); ++line) {
        std::size_t end = std::min(source.find('\n', start), source.size());
        std::string_view text = source.substr(start, end - start);
        std::string_view trimmed = text;
        while (!trimmed.empty() && (trimmed.back() == '\r' || trimmed.back() == ' ' || trimmed.back() == '\t'))
            trimmed.remove_suffix(1);
        if (trimmed == "#frame") {
            frames.push_back({{}, line + 1, {}});
        } else if (trimmed.starts_with("#label ")) {
            std::string_view name = trimmed.substr(7);
            while (!name.empty() && name.front() == ' ')
                name.remove_prefix(1);
            if (name.empty())
                throw SourceError(line, "#label needs a name");
            frames.back().labels.emplace_back(name);
            frames.back().source += '\n';
        } else {
            frames.back().source.append(text);
            frames.back().source += '\n';
        }
        start = end + 1;
    }
    return frames;
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
    movie::MovieWriter writer(550 * 20, 400 * 20, 12, version);
    auto& timeline = writer.root();
    for (const FrameScript& frame : frameScripts(source)) {
        for (const std::string& label : frame.labels)
            timeline.label(text::decodeUtf8(label));
        timeline.actions(compileActions(frame.source, version, frame.firstLine));
        timeline.showFrame();
    }
    while (timeline.frameCount() < frames)
        timeline.showFrame();
    return writer.finish(false);
}

} // namespace lumbra::actionscript
