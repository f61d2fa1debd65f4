#include "script/engine/EngineRun.h"

#include <cstdio>
#include <memory>

#include "script/compiler/Compiler.h"
#include "script/runtime/AnsiCodec.h"
#include "script/runtime/BytecodeModule.h"
#include "script/runtime/Linker.h"
#include "script/runtime/RuntimeError.h"
#include "script/engine/ScriptEngine.h"

namespace orvet {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void reportRuntimeError(ScriptContext& ctx, std::string_view text)
{
    setErrorText(ctx, std::string("Runtime error: ") + std::string(text));
}

// An image that did not load is nothing to run: the loaders write no
// message, and no message of an earlier run is left to be mistaken for one.
int runModule(ScriptEngine& engine, BytecodeModule* module)
{
    ScriptContext& ctx = *engine.context;
    if (!module) {
        setErrorText(ctx, "");
        return -1;
    }
    return protectedCall(ctx, [&] { linkAndRun(ctx, *module); });
}

int runCompiled(ScriptEngine& engine, CompileResult result)
{
    ScriptContext& ctx = *engine.context;
    ctx.compilerMessages = std::move(result.messages);
    if (!result.image) {
        if (result.outOfMemory)
            reportRuntimeError(ctx, kErrOutOfMemory);
        else
            setErrorText(ctx, "");
        return -1;
    }
    const std::vector<std::uint8_t>& image = result.image->bytes();
    const ModulePtr module = loadModule(image.data(), image.size());
    return runModule(engine, module.get());
}

CompileOptions compileOptions(const ScriptEngine& engine)
{
    return CompileOptions{engine.compileOptions()};
}

bool hasExtension(const std::string& path, std::string_view extension)
{
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.size() - dot != extension.size())
        return false;
    for (std::size_t i = 0; i < extension.size(); ++i) {
        const char c = path[dot + i];
        if ((c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c) != extension[i])
            return false;
    }
    return true;
}

// Whether the file holds an image: the magic, after an optional "#" line.
bool looksCompiled(const std::string& path)
{
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return false;
    int c = std::fgetc(file.get());
    if (c == '#') {
        do
            c = std::fgetc(file.get());
        while (c != '\n' && c != EOF);
        if (c == EOF)
            return false;
    } else if (c != EOF) {
        std::ungetc(c, file.get());
    }
    char magic[4];
    return std::fread(magic, 1, 4, file.get()) == 4 && std::string_view(magic, 4) == "OV1b";
}

} // namespace

int RunCompiledMemory(ScriptEngine& engine, const std::uint8_t* bytes, std::size_t length)
{
    const ModulePtr module = loadModule(bytes, length);
    return runModule(engine, module.get());
}

int RunCompiledFile(ScriptEngine& engine, const std::string& path)
{
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        // As a source file that cannot be opened: a line in the messages.
        engine.context->compilerMessages = "can't open the script file: " + path + "\n";
        setErrorText(*engine.context, "");
        return -1;
    }
    const ModulePtr module = loadModule(file.get());
    return runModule(engine, module.get());
}

int RunSourceText(ScriptEngine& engine, const char* text)
{
    return runCompiled(engine, compileText(text, compileOptions(engine), ansiToUtf16));
}

int RunSourceText(ScriptEngine& engine, const char* text, std::size_t length)
{
    const std::string terminated(text, length);
    return RunSourceText(engine, terminated.c_str());
}

int RunSourceFile(ScriptEngine& engine, const std::string& path)
{
    return runCompiled(engine, compileFile(path, compileOptions(engine), ansiToUtf16));
}

int RunFile(ScriptEngine& engine, const std::string& path)
{
    if (hasExtension(path, ".ovc"))
        return RunCompiledFile(engine, path);
    if (hasExtension(path, ".ovs"))
        return RunSourceFile(engine, path);
    return looksCompiled(path) ? RunCompiledFile(engine, path) : RunSourceFile(engine, path);
}

} // namespace orvet
