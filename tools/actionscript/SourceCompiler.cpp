#include "tools/actionscript/SourceCompiler.h"

#include <algorithm>
#include <string>

#include "control/movie/MovieWriter.h"
#include "control/movie/TagCodes.h"
#include "script/compiler/Diagnostics.h"
#include "script/compiler/Lexer.h"
#include "script/compiler/Parser.h"
#include "script/runtime/ByteStream.h"
#include "text/Utf8.h"
#include "tools/actionscript/CodeGenerator.h"
#include "tools/actionscript/SourceLayout.h"

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

// Init actions go to DoInitAction tags of empty clips defined on their
// frame; each clip is defined with its script and placed at the next depth.
std::vector<std::uint8_t> compileMovie(std::string_view source, int version, int frames)
{
    movie::MovieWriter writer(550 * 20, 400 * 20, 12, version);
    auto& timeline = writer.root();
    int depth = 1;
    for (const FrameLayout& frame : layoutOf(source)) {
        for (const std::string& label : frame.labels)
            timeline.label(text::decodeUtf8(label));
        for (const Script& init : frame.initActions) {
            std::vector<std::uint8_t> body(2);
            const std::uint16_t id = writer.defineSprite(movie::TimelineWriter());
            body[0] = std::uint8_t(id);
            body[1] = std::uint8_t(id >> 8);
            auto code = compileActions(init.source, version, init.firstLine);
            body.insert(body.end(), code.begin(), code.end());
            timeline.tag(movie::tag::DoInitAction, body);
        }
        for (const ClipScript& clip : frame.clips) {
            movie::TimelineWriter clipTimeline;
            clipTimeline.actions(compileActions(clip.script.source, version, clip.script.firstLine));
            clipTimeline.showFrame();
            if (depth > 0xFFFF)
                throw SourceError(clip.script.firstLine, "too many clips");
            timeline.place({depth++, writer.defineSprite(clipTimeline), {}, text::decodeUtf8(clip.name)});
        }
        timeline.actions(compileActions(frame.actions.source, version, frame.actions.firstLine));
        timeline.showFrame();
    }
    while (timeline.frameCount() < frames)
        timeline.showFrame();
    return writer.finish(false);
}

} // namespace lumbra::actionscript
