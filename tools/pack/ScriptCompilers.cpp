#include "tools/pack/ScriptCompilers.h"

#include "tools/pack/Manifest.h"

#include "package/PackagePaths.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

namespace lumbra::pack {

namespace {

std::string lower(std::string_view text)
{
    std::string result(text);
    std::ranges::transform(result, result.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return result;
}

// A compiled image is stored as it is, once its magic says it is one.
std::vector<std::uint8_t> precompiled(const std::filesystem::path& script)
{
    std::ifstream in(script, std::ios::binary);
    std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad())
        throw PackError(ansiFromPath(script) + ": cannot read the script");
    if (image.size() < 4 || !std::equal(image.begin(), image.begin() + 4, "OV1b"))
        throw PackError(ansiFromPath(script) + ": not a compiled script (no \"OV1b\" magic)");
    return image;
}

} // namespace

ScriptCompilers::ScriptCompilers()
{
    add(".ovc", precompiled);
}

void ScriptCompilers::add(std::string_view extension, Compiler compiler)
{
    compilers_[lower(extension)] = std::move(compiler);
}

std::vector<std::uint8_t> ScriptCompilers::compile(const std::filesystem::path& script) const
{
    std::string extension = lower(ansiFromPath(script.extension()));
    auto found = compilers_.find(extension);
    if (found == compilers_.end())
        throw PackError(ansiFromPath(script) + ": no compiler for \"" + extension + "\" scripts");
    return found->second(script);
}

} // namespace lumbra::pack
