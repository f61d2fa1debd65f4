// A scratch folder for fuzz targets that write files, emptied per input.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

namespace lumbra::test {

inline const std::filesystem::path& fuzzFolder()
{
    static const std::filesystem::path folder = [] {
        auto path = std::filesystem::temp_directory_path() / ("lumbra-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// The working folder of one input: empty, inside the scratch folder, so that
// a file written outside it would be noticed.
inline std::filesystem::path freshWorkingFolder()
{
    std::filesystem::remove_all(fuzzFolder());
    std::filesystem::path working = fuzzFolder() / "work";
    std::filesystem::create_directories(working);
    return working;
}

// Everything in the scratch folder lies inside the working folder.
inline bool nothingEscaped()
{
    for (const auto& entry : std::filesystem::directory_iterator(fuzzFolder()))
        if (entry.path().filename() != "work" && entry.path().filename() != "program.exe")
            return false;
    return true;
}

} // namespace lumbra::test
