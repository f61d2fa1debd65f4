// The projector's only top-level window: a frame around the movie control's
// host window, which fills its client area.
#pragma once

#include "player/CShockwaveFlash.h"

#include <windows.h>

#include <string>

namespace lumbra {

class CMainFrame {
public:
    CMainFrame() = default;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;
    ~CMainFrame();

    // Creates the window, owned by `owner`, with the program's icon, and the
    // movie control in it (see CShockwaveFlash::create). Without a control
    // there is no window either.
    bool create(HINSTANCE instance, HWND owner, HICON icon, const std::string& controlPath);
    HWND handle() const { return window_; }
    HWND hostWindow() const { return host_.window(); }
    std::string currentMovie() const { return host_.currentMovie(); }

    // Loads a movie and gives the window the movie's size, centred on the screen.
    bool showMovie(const std::string& path, bool autoPlay);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    CShockwaveFlash host_;
};

} // namespace lumbra
