// lumbra-pack: builds a packaged program from the player and a project
// folder, and shows what a packaged program carries.
#include "tools/pack/Manifest.h"
#include "tools/pack/PackageBuilder.h"
#include "tools/pack/PackageInspector.h"
#include "tools/pack/ScriptCompilers.h"

#include "package/PackagePaths.h"
#include "script/compiler/Compiler.h"
#include "script/runtime/AnsiCodec.h"
#include "script/engine/EngineConfig.h"

#include <iostream>
#include <string_view>

namespace {

using namespace lumbra;
using namespace lumbra::pack;

constexpr const char* usage =
    "usage: lumbra-pack build --player PLAYER.exe --project DIR --output OUT.exe\n"
    "       lumbra-pack inspect PROGRAM.exe [--json]\n";

// Windows hands the program ANSI arguments; elsewhere they are UTF-8, as
// the file system's names are.
std::filesystem::path argumentPath(const char* argument)
{
#ifdef _WIN32
    return pathFromAnsi(argument);
#else
    return std::filesystem::path(argument);
#endif
}

// An Orvet source compiled with the options an engine with the default
// settings uses, so that the packaged image runs as the source would.
std::vector<std::uint8_t> compileOrvetSource(const std::filesystem::path& script)
{
    const orvet::CompileOptions options{orvet::compileOptionsOf(orvet::EngineConfig{})};
    orvet::CompileResult result = orvet::compileFile(script.string(), options, orvet::ansiToUtf16);
    if (!result.image)
        throw PackError(script.string() + ": " + (result.outOfMemory ? "out of memory" : result.messages));
    return result.image->takeBytes();
}

int build(int argc, char** argv)
{
    BuildRequest request;
    for (int i = 2; i < argc; ++i) {
        std::string_view option = argv[i];
        if (i + 1 >= argc)
            throw PackError("missing value after " + std::string(option));
        std::filesystem::path value = argumentPath(argv[++i]);
        if (option == "--player")
            request.player = value;
        else if (option == "--project")
            request.project = value;
        else if (option == "--output")
            request.output = value;
        else
            throw PackError("unknown option " + std::string(option));
    }
    if (request.player.empty() || request.project.empty() || request.output.empty())
        throw PackError("build needs --player, --project and --output");
    ScriptCompilers compilers; // compilers of script sources are added here
    compilers.add(".ovs", compileOrvetSource);
    buildPackage(request, compilers, std::cout);
    return 0;
}

int inspect(int argc, char** argv)
{
    std::filesystem::path program;
    bool json = false;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--json")
            json = true;
        else if (program.empty())
            program = argumentPath(argv[i]);
        else
            throw PackError("unexpected argument " + std::string(arg));
    }
    if (program.empty())
        throw PackError("inspect needs a program file");
    Inspection inspection = inspectPackage(program);
    if (json) {
        ReportObject report = inspection.report;
        ReportList problems(inspection.problems.begin(), inspection.problems.end());
        report.emplace_back("problems", std::move(problems));
        std::cout << toJson(report);
    } else {
        std::cout << toText(inspection.report);
    }
    for (const std::string& problem : inspection.problems)
        std::cerr << "lumbra-pack: " << problem << "\n";
    return inspection.problems.empty() ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string_view command = argc > 1 ? argv[1] : "";
    try {
        if (command == "build")
            return build(argc, argv);
        if (command == "inspect")
            return inspect(argc, argv);
        std::cerr << usage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "lumbra-pack: " << error.what() << "\n";
        return 1;
    }
}
