// Muting the speakers while the player runs (an author's choice in the
// settings): muted at start-up only when they were not muted already, and
// restored at shutdown only when the player muted them.
#pragma once

#include <windows.h>

namespace lumbra {

class SpeakerMute {
public:
    SpeakerMute() = default;
    SpeakerMute(const SpeakerMute&) = delete;
    SpeakerMute& operator=(const SpeakerMute&) = delete;
    ~SpeakerMute() { restore(); }

    // Mutes the speaker line of the first mixer; nothing without a mixer or
    // without a mute control on that line.
    void mute();
    // Gives back the state found, if the player changed it.
    void restore();

private:
    bool changed_ = false;
    DWORD previous_ = 0;
};

} // namespace lumbra
