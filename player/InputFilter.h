// What the mouse buttons and the keyboard do before the movie sees them: the
// left and right button modes, dragging the window by the movie, the keys
// that close the player and the keys kept from the movie.
#pragma once

#include "package/ProjectSettings.h"

#include <windows.h>

#include <bitset>
#include <functional>

namespace lumbra {

class InputFilter {
public:
    // `showContextMenu` receives a point in host-window coordinates.
    using ContextMenu = std::function<void(POINT)>;
    // The area of the host window in which a drag may start (host-window
    // coordinates; the host window owns it); null for everywhere.
    using DragRegion = std::function<HRGN()>;

    InputFilter(const ProjectSettings& settings, HWND mainWindow, HWND hostWindow, ContextMenu showContextMenu,
                DragRegion dragRegion = nullptr);
    InputFilter(const InputFilter&) = delete;
    InputFilter& operator=(const InputFilter&) = delete;

    // Called by the message loop for every message before it is translated:
    // mouse messages of the host window and the control inside it, and
    // keyboard messages of the main window and everything inside it, go
    // through the filters. True means the message is consumed.
    bool consumes(const MSG& message);

    // The filters themselves: false means the message is consumed. Mouse
    // coordinates are in host-window coordinates.
    bool mouseFilter(UINT message, WPARAM keys, int x, int y);
    bool keyFilter(UINT message, WPARAM key);

    bool dragging() const { return dragging_; }

private:
    bool leftButtonDown(int x, int y);
    bool mouseMove(WPARAM keys);
    void stopDragging();
    bool modifiersDown() const;

    const ProjectSettings& settings_;
    HWND mainWindow_;
    HWND hostWindow_;
    ContextMenu showContextMenu_;
    DragRegion dragRegion_;

    bool armed_ = false;
    bool dragging_ = false;
    HWND capturedWindow_ = nullptr; // held the mouse when the drag was armed
    POINT cursorStart_{};
    RECT windowStart_{};
    std::bitset<256> pressedHere_; // keys whose press the filter saw
};

} // namespace lumbra
