// lumbra-pack: builds a packaged program from the player and a project
// folder, and shows what a packaged program carries.
#include "tools/pack/Manifest.h"
#include "tools/pack/MaskPicture.h"
#include "tools/pack/PackageBuilder.h"
#include "tools/pack/PackageInspector.h"
#include "tools/pack/ScriptCompilers.h"

#include "package/PackagePaths.h"
#include "script/compiler/Compiler.h"
#include "script/runtime/AnsiCodec.h"
#include "script/engine/EngineConfig.h"

#include <charconv>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string_view>

namespace {

using namespace lumbra;
using namespace lumbra::pack;

constexpr const char* usage =
    "usage: lumbra-pack build --player PLAYER.exe --project DIR --output OUT.exe\n"
    "       lumbra-pack inspect PROGRAM.exe [--json]\n"
    "       lumbra-pack mask PICTURE.png -o NAME.msk [--threshold N | --key #RRGGBB]\n";

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

std::uint8_t thresholdArgument(std::string_view text)
{
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > 255)
        throw PackError("--threshold must be 1 to 255");
    return static_cast<std::uint8_t>(value);
}

// A picture's opaque pixels as a mask file, for [masks] or for the player's
// working folder.
int mask(int argc, char** argv)
{
    std::filesystem::path picture, output;
    MaskRule rule;
    bool thresholdGiven = false;
    for (int i = 2; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg != "-o" && arg != "--threshold" && arg != "--key") {
            if (!picture.empty())
                throw PackError("unexpected argument " + std::string(arg));
            picture = argumentPath(argv[i]);
            continue;
        }
        if (i + 1 >= argc)
            throw PackError("missing value after " + std::string(arg));
        std::string_view value = argv[++i];
        if (arg == "-o") {
            output = argumentPath(argv[i]);
        } else if (arg == "--threshold") {
            rule.threshold = thresholdArgument(value);
            thresholdGiven = true;
        } else if (!parseKeyColour(value, rule.key)) {
            throw PackError("--key must be a colour #RRGGBB");
        } else {
            rule.useKey = true;
        }
    }
    if (picture.empty() || output.empty())
        throw PackError("mask needs a picture and -o NAME.msk");
    if (thresholdGiven && rule.useKey)
        throw PackError("--threshold and --key exclude each other");
    std::ifstream in(picture, std::ios::binary);
    if (!in)
        throw PackError(ansiFromPath(picture) + ": cannot read the file");
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::uint8_t> file;
    try {
        file = maskFile(maskFromPicture(bytes, rule));
    } catch (const PackError& error) {
        throw PackError(ansiFromPath(picture) + ": " + error.what());
    }
    std::ofstream out(output, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
    if (!out.flush()) {
        out.close();
        std::error_code ignored;
        std::filesystem::remove(output, ignored); // no half-written mask
        throw PackError(ansiFromPath(output) + ": cannot write the file");
    }
    return 0;
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
        if (command == "mask")
            return mask(argc, argv);
        std::cerr << usage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "lumbra-pack: " << error.what() << "\n";
        return 1;
    }
}
