// The projector's only top-level window. For now it is an empty frame that
// closes normally; the movie host, layout and input handling join it later.
#pragma once

#include <windows.h>

namespace lumbra {

class CMainFrame {
public:
    CMainFrame() = default;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;
    ~CMainFrame();

    // Creates the window, owned by `owner`, with the program's icon.
    bool create(HINSTANCE instance, HWND owner, HICON icon);
    HWND handle() const { return window_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
};

} // namespace lumbra
