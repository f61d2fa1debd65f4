// The system's standard dialogs as the Dialogs object shows them, each owned
// by a given window. Texts are ANSI.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace lumbra {

int showMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

struct FileDialogRequest {
    std::string filter;           // description and pattern alternate, "|" between entries
    std::string defaultExtension; // empty: none
    std::string initialFile;
    bool multiple = false;        // open only: several files may be chosen
    DWORD extraFlags = 0;         // save only: added to the dialog's flags
};

// What a file dialog gave: the chosen path (with multiple selection, the
// pieces the dialog returns: the folder, then the file names), or, when it was
// cancelled or failed, the dialog's error code (0 for cancelled).
struct FileDialogResult {
    std::vector<std::string> pieces;
    DWORD error = 0;
    bool chosen() const { return !pieces.empty(); }
    // The system's message text for the error code.
    std::string errorText() const;
};

FileDialogResult openFileDialog(HWND owner, const FileDialogRequest& request);
FileDialogResult saveFileDialog(HWND owner, const FileDialogRequest& request);

// The shell's folder browser (file-system folders, a status line); with an
// initial folder it starts there and shows the selection's path in the
// status line. Nothing when cancelled or when the choice has no path.
std::optional<std::string> browseForFolder(HWND owner, const std::string& title, const std::string& initialFolder,
                                           bool computers);

} // namespace lumbra
