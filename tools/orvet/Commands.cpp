#include "tools/orvet/Commands.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>
#include <string>

#include "script/compiler/Compiler.h"
#include "script/compiler/Disassembler.h"
#include "script/runtime/Linker.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/Conversions.h"
#include "script/runtime/RuntimeError.h"
#include "script/runtime/ScriptString.h"
#include "script/engine/EngineRun.h"
#include "script/engine/ScriptEngine.h"
#include "tools/orvet/InputBalance.h"
#include "tools/orvet/LineReader.h"

namespace orvet::tool {

namespace {

// "file:line: in function: " for the instruction the interpreter last
// saved, when the running code carries line information (compiled with -g);
// lines count from 1 here, as editors count them.
std::string locationPrefix(const ScriptContext& ctx)
{
    if (!ctx.ip)
        return {};
    SourceLocation location;
    if (!sourceLineAt(ctx, ctx.ip - 1, location))
        return {};
    return location.source + ":" + std::to_string(location.line + 1) + ": in " +
           std::string(functionNameAt(ctx, ctx.ip - 1)) + ": ";
}

// Trace output goes to standard output as the player writes it to its trace
// file; a warning is repeated on standard error with its location.
void writeTraceLine(void* data, std::string_view line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    const auto& engine = *static_cast<const ScriptEngine*>(data);
    if (!line.starts_with("Warning: "))
        return;
    std::string where = locationPrefix(*engine.context);
    if (where.empty())
        return;
    std::fflush(stdout);
    std::fprintf(stderr, "%s%.*s\n", where.c_str(), int(line.size()), line.data());
}

// The compiler's lines ("error: line 3: ...") with the file they are about.
std::string withFileName(const std::string& file, const std::string& messages)
{
    std::string out;
    std::size_t at = 0;
    while (at < messages.size()) {
        std::size_t end = messages.find('\n', at);
        end = end == std::string::npos ? messages.size() : end + 1;
        out += file + ": " + messages.substr(at, end - at);
        at = end;
    }
    return out;
}

EnginePtr makeEngine(const CommandLine& line)
{
    // Reading an undefined variable is quiet unless asked for.
    EngineConfig config;
    config.flagWord &= ~kFlagWarnUndefined;
    if (line.warnUndefined)
        config.flagWord |= kFlagWarnUndefined;
    EnginePtr engine = CreateEngine(config);
    if (!engine) {
        std::fputs("orvet: the engine could not be created\n", stderr);
        return nullptr;
    }
    SetTraceOutput(*engine, writeTraceLine, engine.get());
    return engine;
}

// Reports a run that did not complete; returns the exit status. Compiler
// messages name the file when there is one.
int reportRun(ScriptEngine& engine, int status, const std::string& file = {})
{
    if (status == 1)
        return 0;
    const ScriptContext& ctx = *engine.context;
    std::fflush(stdout);
    if (status < 0 && !ctx.compilerMessages.empty())
        std::fputs((file.empty() ? ctx.compilerMessages : withFileName(file, ctx.compilerMessages)).c_str(), stderr);
    if (ctx.errorBuffer[0] != '\0')
        std::fprintf(stderr, "%s%s\n", status == 0 ? locationPrefix(ctx).c_str() : "", ctx.errorBuffer);
    return 1;
}

// Prints the value of the last run, unless it is undefined.
void printResult(ScriptEngine& engine)
{
    ScriptContext& ctx = *engine.context;
    const ScriptValue value = ctx.result;
    if (value.is(ValueKind::Undefined))
        return;
    std::string text;
    if (protectedCall(ctx, [&] { text = toAnsi(*toString(ctx, value)); }))
        std::printf("%s\n", text.c_str());
    else
        std::fprintf(stderr, "%s\n", ctx.errorBuffer);
}

std::string compiledName(const std::string& source)
{
    const std::size_t slash = source.find_last_of("/\\");
    const std::size_t dot = source.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? source.substr(0, dot) : source) + ".ovc";
}

} // namespace

int runFile(const CommandLine& line)
{
    EnginePtr engine = makeEngine(line);
    if (!engine)
        return 1;
    return reportRun(*engine, RunFile(*engine, line.operand), line.operand);
}

int compileFile(const CommandLine& line)
{
    CompileOptions options{compileOptionsOf(EngineConfig{})};
    if (line.debugInfo)
        options.bits |= CompileOptions::kDebugInfo;
    CompileResult result = compileFile(line.operand, options, ansiToUtf16);
    std::fputs(withFileName(line.operand, result.messages).c_str(), stderr);
    if (!result.image) {
        if (result.outOfMemory)
            std::fputs("orvet: out of memory\n", stderr);
        return 1;
    }
    const std::string output = line.output.empty() ? compiledName(line.operand) : line.output;
    auto file = ByteStream::openWrite(output);
    if (!file) {
        std::fprintf(stderr, "orvet: can't write %s\n", output.c_str());
        return 1;
    }
    file->write(result.image->bytes().data(), result.image->bytes().size());
    if (!file->close()) {
        std::fprintf(stderr, "orvet: can't write %s\n", output.c_str());
        return 1;
    }
    return 0;
}

int disassembleFile(const CommandLine& line)
{
    std::ifstream file(line.operand, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (!file.good() && !file.eof()) {
        std::fprintf(stderr, "orvet: can't read %s\n", line.operand.c_str());
        return 1;
    }
    const auto listing = disassemble(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    if (!listing) {
        std::fprintf(stderr, "orvet: %s is not a compiled script\n", line.operand.c_str());
        return 1;
    }
    std::fputs(listing->c_str(), stdout);
    return 0;
}

int evalText(const CommandLine& line)
{
    EnginePtr engine = makeEngine(line);
    if (!engine)
        return 1;
    const int status = RunSourceText(*engine, line.operand.c_str());
    if (status == 1)
        printResult(*engine);
    return reportRun(*engine, status);
}

// Reads programs at a prompt: lines gather until their brackets balance, then
// run in one engine, so that definitions stay for the next program. "exit"
// or the end of the input leaves.
int interactive(const CommandLine& line)
{
    EnginePtr engine = makeEngine(line);
    if (!engine)
        return 1;
    LineReader reader;
    std::string program;
    while (auto text = reader.read(program.empty() ? "> " : "... ")) {
        if (program.empty() && (*text == "exit" || *text == "exit;"))
            break;
        program += *text + "\n";
        if (needsMoreInput(program))
            continue;
        reader.remember(program.substr(0, program.size() - 1));
        const int status = RunSourceText(*engine, program.c_str());
        if (status == 1)
            printResult(*engine);
        else
            reportRun(*engine, status);
        program.clear();
    }
    if (reader.interactive())
        std::fputc('\n', stdout);
    return 0;
}

} // namespace orvet::tool
