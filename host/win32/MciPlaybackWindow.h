// The private playback window of an "MCI" object: a hidden child of the
// Flash player window (of class "Lumbra_Playback_Window", title "Playback")
// into which a video device draws, and the callback window of the object's
// notifying commands, which hands the device's completion notices to the
// object's "onNotify" handler.
#pragma once

#include <windows.h>

namespace lumbra::host {

struct MciDevice;

// Owns the window; the window finds its device through the window's user
// data until `detach`.
class PlaybackWindow {
public:
    // A child of `parent` when there is one; otherwise a message-only window,
    // which still receives the notices.
    PlaybackWindow(MciDevice& device, HWND parent);
    ~PlaybackWindow();
    PlaybackWindow(const PlaybackWindow&) = delete;
    PlaybackWindow& operator=(const PlaybackWindow&) = delete;

    HWND handle() const { return hwnd_; }
    // From now on the window neither calls scripts nor asks the device.
    void detach();

private:
    HWND hwnd_ = nullptr;
};

// Registers the window class once per process. Should it fail, the objects
// have no playback window: they play sound, but show no video and send no
// notices.
void registerPlaybackWindowClass();

} // namespace lumbra::host
