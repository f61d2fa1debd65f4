#include "player/ProgramPaths.h"

#include <windows.h>

namespace lumbra {

std::string programFile()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string applicationName()
{
    std::string name = programFile();
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.rfind('.'));
}

std::string withTrailingBackslash(std::string folder)
{
    if (!folder.empty() && folder.back() == '/')
        folder.back() = '\\';
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

} // namespace lumbra
