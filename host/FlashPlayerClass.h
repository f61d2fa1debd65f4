// "FlashPlayer": the movie control of the main window as scripts drive it
// (playback, frames, variables, the control's properties, the movie header,
// movie-to-window mapping), with a data-binding layer that mirrors named
// Flash variables in script values; and "MovieClip", the light path objects
// through which bound names with dots are reached as nested properties.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

// `host` is the HostPlayer. "MovieClip" is registered after "FlashPlayer".
void registerFlashPlayer(orvet::ScriptEngine& engine, void* host);
void registerMovieClip(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra::host
