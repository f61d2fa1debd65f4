// The projector's only top-level window: a frame around the movie control's
// host window, which fills its client area. Its form (styles, size,
// position, shape, stacking) follows the settings: WindowLayout.h and
// WindowShape.h compute and apply it. It routes the player's menu commands,
// the movie's commands and keyboard input, and closes only when no command
// of the movie is running.
#pragma once

#include "win32/OwnedWindowProc.h"

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

    // Creates the window, owned by `owner`, with the program's icon and the
    // styles the settings ask for, and the movie's host window in it.
    bool create(HINSTANCE instance, HWND owner, HICON icon);
    // Puts the movie control of `controlPath` ("" the installed one) into
    // the host window, in place of any control there; false when it cannot
    // be made (the host then has none).
    bool siteControl(const std::string& controlPath);
    HWND handle() const { return window_; }
    CShockwaveFlash& host() { return host_; }

    // No packaged movie: the user may open a movie file.
    void setNoPackagedMovie() { noPackagedMovie_ = true; }
    bool hasNoPackagedMovie() const { return noPackagedMovie_; }

    // Loads a movie into the control; the layout steps below then fit the
    // window to it.
    bool loadMovie(const std::string& path, bool autoPlay);

    // The layout steps, run at start-up and again after a settings change.
    void applyAppearance();
    void applySizeAndPosition(); // for the current movie
    void applyShape();
    void applyStacking(bool show);
    void recordAspectRatio();
    // The custom background colour, when the settings enable it.
    void applyBackgroundColor();
    // The whole layout again (the movie's "fullscreen" command): appearance,
    // size and position, shape, then the aspect ratio.
    void reapplyLayout();

    // Keyboard and mouse input on its way to the movie, before translation:
    // true when it was consumed (a filter, an accelerator).
    bool preTranslate(MSG& message);

private:
    template <class Owner>
    friend LRESULT CALLBACK win32::ownedWindowProc(HWND, UINT, WPARAM, LPARAM);
    void attachWindow(HWND window) { window_ = window; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onClose();
    bool onCommand(UINT id);
    void onInitMenu(HMENU menu);
    void releaseControl();
    void openMovie();

    PlayerApp& app_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr; // a resource: freed with the program
    CShockwaveFlash host_;
    bool noPackagedMovie_ = false;
    float aspectRatio_ = 0;
    RECT sizeStart_{}; // the window when the user began to size or move it
};

} // namespace lumbra
