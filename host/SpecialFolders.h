// The names that Shell.getSpecialFolder knows, and where each folder comes
// from. The table is portable; finding the path is the shell's business.
#pragma once

#include <optional>
#include <string_view>

namespace lumbra::host {

enum class FolderSource {
    Shell,            // a shell folder, by its CSIDL number
    WindowsDirectory,
    SystemDirectory,
    Temp,             // TMP, else TEMP, else the Windows directory
    ProgramFiles,     // ProgramFiles, else the registry's ProgramFilesDir
    None,             // a known name without a file-system folder
};

struct SpecialFolder {
    FolderSource source;
    int csidl = 0; // for FolderSource::Shell
};

// The folder of a name, compared after lower-casing it; none for unknown names.
std::optional<SpecialFolder> findSpecialFolder(std::string_view name);

} // namespace lumbra::host
