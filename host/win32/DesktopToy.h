// "DesktopToy": moves the main window around the desktop, following the
// cursor or thrown along a trajectory, with an "onStop" event; it also keeps
// the two texts of the movie host's sprite-bounds query.
#pragma once

#include <string>

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

// host: the PlayerServices of the player, whose main window the class uses.
void registerDesktopToyClass(orvet::ScriptEngine& engine, void* host);

// The texts scripts set for the sprite-bounds query: a Flash variable path
// and a frame label (empty when unset or when the engine has no DesktopToy).
struct SpriteQuery {
    std::string bounds;
    std::string infoFrame;
};
SpriteQuery desktopToySpriteQuery(orvet::ScriptEngine& engine);

} // namespace lumbra
