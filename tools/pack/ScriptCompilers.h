// How the packager turns a script file into the compiled image it stores as
// an ORVET resource. Compiled images (".ovc") are stored as they are; other
// extensions need a compiler registered with add(), as lumbra-pack's main
// does for every compiler it is linked with.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra::pack {

class ScriptCompilers {
public:
    // Reads a script file and returns its compiled image; throws PackError
    // (naming the file) when it cannot.
    using Compiler = std::function<std::vector<std::uint8_t>(const std::filesystem::path& script)>;

    ScriptCompilers(); // knows ".ovc"

    void add(std::string_view extension, Compiler compiler); // extension with its dot, any case
    std::vector<std::uint8_t> compile(const std::filesystem::path& script) const;

private:
    std::map<std::string, Compiler> compilers_;
};

} // namespace lumbra::pack
