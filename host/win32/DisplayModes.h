// Display mode changes through DirectDraw. The first change takes exclusive
// full-screen control for the owner window; restore() gives it back and
// returns to the mode the system had before.
#pragma once

#include <windows.h>

#include <ddraw.h>

#include <memory>

namespace lumbra {

class DisplayModes {
public:
    bool setMode(HWND owner, DWORD width, DWORD height, DWORD bitsPerPixel);
    // True when there is nothing to restore.
    bool restore(HWND owner);

    // Whether there is a DirectDraw object, or one can be had on this system
    // (a probe object is made and dropped).
    bool available() const;

private:
    bool ensureDirectDraw();

    struct Release {
        void operator()(IDirectDraw* directDraw) const { directDraw->Release(); }
    };
    std::unique_ptr<IDirectDraw, Release> directDraw_;
    bool restored_ = true;
};

} // namespace lumbra
