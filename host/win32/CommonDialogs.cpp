#include "host/win32/CommonDialogs.h"

#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>

namespace lumbra {

namespace {

constexpr DWORD kSingleFileBuffer = 260;
constexpr DWORD kMultipleFileBuffer = 4096;

// The filter as the dialog wants it: entries ending in zeros, then one more.
std::string dialogFilter(const std::string& filter)
{
    std::string result = filter;
    std::ranges::replace(result, '|', '\0');
    result.append(2, '\0');
    return result;
}

// The names in the buffer: one full path, or (with multiple selection) the
// folder and then the file names, each ended by a zero, the list by two.
std::vector<std::string> piecesOf(const std::vector<char>& buffer, bool multiple)
{
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at < buffer.size() && buffer[at];) {
        pieces.emplace_back(&buffer[at]);
        at += pieces.back().size() + 1;
        if (!multiple)
            break;
    }
    return pieces;
}

FileDialogResult runFileDialog(HWND owner, const FileDialogRequest& request, DWORD flags, bool save)
{
    const bool multiple = request.multiple && !save;
    std::vector<char> file(multiple ? kMultipleFileBuffer : kSingleFileBuffer, '\0');
    // An initial name too long for the buffer is cut, never written past it.
    std::copy_n(request.initialFile.begin(), std::min(request.initialFile.size(), file.size() - 1), file.begin());
    const std::string filter = dialogFilter(request.filter);

    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = request.filter.empty() ? nullptr : filter.c_str();
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = DWORD(file.size());
    dialog.lpstrDefExt = request.defaultExtension.empty() ? nullptr : request.defaultExtension.c_str();
    dialog.Flags = flags | (multiple ? OFN_ALLOWMULTISELECT : 0);

    FileDialogResult result;
    if (save ? GetSaveFileNameA(&dialog) : GetOpenFileNameA(&dialog))
        result.pieces = piecesOf(file, multiple);
    else
        result.error = CommDlgExtendedError();
    return result;
}

constexpr DWORD kBaseFlags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;

// Starts the browser at the initial folder and keeps the status line on the
// path of the current selection.
int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM param, LPARAM data)
{
    if (message == BFFM_INITIALIZED) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data); // data: the folder's path
    } else if (message == BFFM_SELCHANGED) {
        char path[MAX_PATH] = "";
        SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path);
        SendMessageA(dialog, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
    }
    return 0;
}

} // namespace

std::string FileDialogResult::errorText() const
{
    char buffer[512] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer - 1, nullptr);
    return std::string(buffer, length);
}

int showMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type)
{
    return MessageBoxA(owner, text.c_str(), caption.c_str(), type);
}

FileDialogResult openFileDialog(HWND owner, const FileDialogRequest& request)
{
    return runFileDialog(owner, request, kBaseFlags, false);
}

FileDialogResult saveFileDialog(HWND owner, const FileDialogRequest& request)
{
    // The hook bit asks for a hook procedure that this dialog does not have.
    return runFileDialog(owner, request, (kBaseFlags | request.extraFlags) & ~DWORD(OFN_ENABLEHOOK), true);
}

std::optional<std::string> browseForFolder(HWND owner, const std::string& title, const std::string& initialFolder,
                                           bool computers)
{
    BROWSEINFOA info{};
    info.hwndOwner = owner;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | (computers ? BIF_BROWSEFORCOMPUTER : 0);
    if (!initialFolder.empty()) {
        info.lpfn = browseCallback;
        info.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());
    }
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
    if (!chosen)
        return std::nullopt;
    char path[MAX_PATH] = "";
    const bool hasPath = SHGetPathFromIDListA(chosen, path);
    CoTaskMemFree(chosen);
    if (!hasPath)
        return std::nullopt;
    return std::string(path);
}

} // namespace lumbra
