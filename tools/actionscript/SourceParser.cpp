#include "tools/actionscript/SourceParser.h"

#include <algorithm>
#include <string>
#include <vector>

#include "script/compiler/Diagnostics.h"
#include "script/compiler/Lexer.h"
#include "script/runtime/ByteStream.h"
#include "tools/actionscript/ClassResolution.h"
#include "tools/actionscript/SourceCompiler.h"

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

orvet::ParsedProgram SourceParser::parse(std::string_view source, int version, int firstLine,
                                         const std::set<std::string>& movieClasses)
{
    orvet::ParsedProgram program = syntax(source, version, firstLine);
    program.topLevel = resolveClasses(program.topLevel, nodes_, firstLine, movieClasses);
    return program;
}

std::set<std::string> SourceParser::declaredClasses(std::string_view source, int version, int firstLine)
{
    std::set<std::string> names;
    for (const orvet::SyntaxNode* node = syntax(source, version, firstLine).topLevel; node; node = node->next)
        if (node->kind == orvet::NodeKind::Class)
            names.insert(node->text);
    return names;
}

orvet::ParsedProgram SourceParser::syntax(std::string_view source, int version, int firstLine)
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
    orvet::Parser parser(lexer, diagnostics, nodes_, false, true);
    orvet::ParsedProgram program;
    try {
        program = parser.parseProgram();
    } catch (const orvet::CompileError&) {
        rethrow(messages.bytes(), firstLine);
    }
    return program;
}

} // namespace lumbra::actionscript
