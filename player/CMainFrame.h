// The projector's only top-level window: a frame around the movie control's
// host window, which fills its client area. It routes the player's menu
// commands, the movie's commands and keyboard input, and closes only when
// no command of the movie is running.
#pragma once

#include "player/CShockwaveFlash.h"

#include <windows.h>

#include <string>

namespace lumbra {

class PlayerApp;

class CMainFrame {
public:
    // Script menus own the command ids in this range.
    static constexpr UINT kFirstScriptCommand = 47000;
    static constexpr UINT kLastScriptCommand = 56999;
    // The accelerator table of the main window.
    static constexpr WORD kAccelerators = 128;

    explicit CMainFrame(PlayerApp& app) : app_(app) {}
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;
    ~CMainFrame();

    // Creates the window, owned by `owner`, with the program's icon, and the
    // movie control in it (see CShockwaveFlash::create). Without a control
    // there is no window either.
    bool create(HINSTANCE instance, HWND owner, HICON icon, const std::string& controlPath);
    HWND handle() const { return window_; }
    CShockwaveFlash& host() { return host_; }

    // No packaged movie: the user may open a movie file.
    void setNoPackagedMovie() { noPackagedMovie_ = true; }
    bool hasNoPackagedMovie() const { return noPackagedMovie_; }

    // Loads a movie and gives the window the movie's size, centred on the screen.
    bool showMovie(const std::string& path, bool autoPlay);
    // Appearance, size and position for the current movie, then the shape.
    void reapplyLayout();

    // Keyboard and mouse input on its way to the movie, before translation:
    // true when it was consumed (a filter, an accelerator).
    bool preTranslate(MSG& message);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onClose();
    bool onCommand(UINT id);
    void onInitMenu(HMENU menu);
    void centreOnWorkArea(int clientWidth, int clientHeight);
    void releaseControl();

    PlayerApp& app_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr; // a resource: freed with the program
    CShockwaveFlash host_;
    bool noPackagedMovie_ = false;
};

} // namespace lumbra
