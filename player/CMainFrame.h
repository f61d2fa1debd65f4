// The projector's only top-level window: a frame around the movie control's
// host window, which fills its client area. Its form (styles, size,
// position, shape, stacking) follows the settings; WindowLayout.h and
// WindowShape.h compute and apply it.
#pragma once

#include "player/CShockwaveFlash.h"

#include "package/ProjectSettings.h"

#include <windows.h>

#include <filesystem>
#include <string>

namespace lumbra {

class CMainFrame {
public:
    CMainFrame() = default;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;
    ~CMainFrame();

    // Creates the window, owned by `owner`, with the program's icon and the
    // styles the settings ask for, and the movie control in it (see
    // CShockwaveFlash::create). Without a control there is no window either.
    // The settings and the working folder outlive the window.
    bool create(HINSTANCE instance, HWND owner, HICON icon, const std::string& controlPath,
                const ProjectSettings& settings, const std::filesystem::path& workingFolder);
    HWND handle() const { return window_; }
    HWND hostWindow() const { return host_.window(); }
    std::string currentMovie() const { return host_.currentMovie(); }

    // Loads a movie into the control; the layout steps below then fit the
    // window to it.
    bool loadMovie(const std::string& path, bool autoPlay);
    // Start-up found no packaged movie: the user may open one (Ctrl+O).
    void setNoPackagedMovie() { noPackagedMovie_ = true; }

    // The layout steps, run at start-up and again after a settings change.
    void applyAppearance();
    void applySizeAndPosition();
    void applyShape();
    void applyStacking(bool show);
    void recordAspectRatio();
    // The custom background colour, when the settings enable it.
    void applyBackgroundColor();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void openMovie();

    HWND window_ = nullptr;
    CShockwaveFlash host_;
    const ProjectSettings* settings_ = nullptr;
    std::filesystem::path workingFolder_;
    std::string moviePath_;
    bool noPackagedMovie_ = false;
    float aspectRatio_ = 0;
    RECT sizeStart_{}; // the window when the user began to size or move it
};

} // namespace lumbra
