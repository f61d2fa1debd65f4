#include "player/OpenMovieDialog.h"

#include "player/OpenMovieDialogIds.h"

#include <commdlg.h>

namespace lumbra {

namespace {

// The file dialog's filter: pairs of description and patterns.
constexpr char kMovieFilter[] = "Flash (*.swf,*.spl)\0*.swf;*.spl\0All Files (*.*)\0*.*\0";

struct DialogState {
    std::string path;
};

void browse(HWND dialog)
{
    char file[MAX_PATH] = "";
    GetDlgItemTextA(dialog, IDC_MOVIE_PATH, file, MAX_PATH);
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = dialog;
    request.lpstrFilter = kMovieFilter;
    request.lpstrFile = file;
    request.nMaxFile = MAX_PATH;
    request.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (GetOpenFileNameA(&request))
        SetDlgItemTextA(dialog, IDC_MOVIE_PATH, file);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BROWSE_MOVIE:
            browse(dialog);
            return TRUE;
        case IDOK: {
            auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
            char path[MAX_PATH] = "";
            GetDlgItemTextA(dialog, IDC_MOVIE_PATH, path, MAX_PATH);
            state->path = path;
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

} // namespace

std::optional<std::string> askForMovie(HINSTANCE instance, HWND owner)
{
    DialogState state;
    const INT_PTR result = DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_OPEN_MOVIE), owner, dialogProcedure,
                                           reinterpret_cast<LPARAM>(&state));
    if (result != IDOK || state.path.empty())
        return std::nullopt;
    return state.path;
}

} // namespace lumbra
