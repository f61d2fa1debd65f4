#include "host/win32/SpecialFolderPath.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

namespace lumbra::host {

namespace {

// A call that fills a buffer and answers the length (or the size it needs).
template <class Fill>
std::optional<std::wstring> systemText(Fill fill)
{
    std::wstring text(MAX_PATH, L'\0');
    DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
    if (length >= text.size()) {
        text.resize(length + 1);
        length = fill(text.data(), static_cast<DWORD>(text.size()));
    }
    if (length == 0 || length >= text.size())
        return std::nullopt;
    text.resize(length);
    return text;
}

std::optional<std::wstring> environment(const wchar_t* name)
{
    return systemText([name](wchar_t* buffer, DWORD size) { return GetEnvironmentVariableW(name, buffer, size); });
}

std::optional<std::wstring> windowsDirectory()
{
    return systemText([](wchar_t* buffer, DWORD size) { return GetWindowsDirectoryW(buffer, size); });
}

std::optional<std::wstring> programFilesFromRegistry()
{
    wchar_t path[MAX_PATH];
    DWORD size = sizeof path;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"software\\microsoft\\windows\\currentversion", L"ProgramFilesDir",
                     RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(path);
}

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { ILFree(list); }
};

// Asks the shell for the folder's item list and turns it into a path.
std::optional<std::wstring> shellFolder(int csidl)
{
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &raw)) || !raw)
        return std::nullopt;
    const std::unique_ptr<ITEMIDLIST, ItemListFree> list(raw);
    wchar_t path[MAX_PATH];
    if (!SHGetPathFromIDListW(list.get(), path) || path[0] == L'\0')
        return std::nullopt;
    return std::wstring(path);
}

// Without a trailing backslash, except for a drive's root ("C:\\").
std::optional<std::wstring> withoutTrailingBackslash(std::optional<std::wstring> path)
{
    if (path && path->size() > 3 && path->back() == L'\\')
        path->pop_back();
    return path;
}

std::optional<std::wstring> folderPath(const SpecialFolder& folder)
{
    switch (folder.source) {
    case FolderSource::Shell: return shellFolder(folder.csidl);
    case FolderSource::WindowsDirectory: return windowsDirectory();
    case FolderSource::SystemDirectory:
        return systemText([](wchar_t* buffer, DWORD size) { return GetSystemDirectoryW(buffer, size); });
    case FolderSource::Temp:
        if (auto tmp = environment(L"TMP"))
            return tmp;
        if (auto temp = environment(L"TEMP"))
            return temp;
        return windowsDirectory();
    case FolderSource::ProgramFiles:
        if (auto programFiles = environment(L"ProgramFiles"))
            return programFiles;
        return programFilesFromRegistry();
    case FolderSource::None: break;
    }
    return std::nullopt;
}

} // namespace

std::optional<std::wstring> specialFolderPath(const SpecialFolder& folder)
{
    return withoutTrailingBackslash(folderPath(folder));
}

} // namespace lumbra::host
