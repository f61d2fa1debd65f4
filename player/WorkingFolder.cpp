#include "player/WorkingFolder.h"

#include "player/ProgramPaths.h"

#include "package/PlayerException.h"
#include "win32/FindHandle.h"

#include <windows.h>
#include <objbase.h>

namespace lumbra {

namespace {

std::string usableVariable(const char* name)
{
    char value[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    // 0: unset or empty; MAX_PATH or more: the value does not fit a path.
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::string(value, length);
}

std::string newGuidText()
{
    GUID guid;
    CoCreateGuid(&guid);
    wchar_t wide[40];
    StringFromGUID2(guid, wide, 40);
    char text[40];
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

} // namespace

std::string temporaryRoot()
{
    std::string root = usableVariable("TMP");
    if (root.empty())
        root = usableVariable("TEMP");
    if (root.empty()) {
        char windows[MAX_PATH];
        const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
        root.assign(windows, length < MAX_PATH ? length : 0);
    }
    return withTrailingBackslash(std::move(root));
}

std::string createWorkingFolder()
{
    const std::string folder = temporaryRoot() + newGuidText();
    if (!CreateDirectoryA(folder.c_str(), nullptr))
        throw PlayerException();
    return folder + '\\';
}

void deleteFolderTree(const std::string& folder)
{
    const std::string base = withTrailingBackslash(folder);
    for (win32::FindHandle search(base + '*'); search; search.next()) {
        if (search.isDotEntry())
            continue;
        const std::string path = base + search.entry().cFileName;
        if (search.isFolder()) {
            deleteFolderTree(path);
        } else if (!DeleteFileA(path.c_str())) {
            // A script may have left a read-only file; it is still ours.
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
    RemoveDirectoryA(base.substr(0, base.size() - 1).c_str());
}

} // namespace lumbra
