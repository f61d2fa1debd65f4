// The script class "MCI": connections to the system's media devices (wave
// audio, video, CD audio ...) driven like a media player control. A script
// sets properties ("fileName", "from", "notify" ...) and assigns command
// names to "command"; video plays in a window inside the Flash player
// window; completion notices reach "onNotify". The class also sends raw
// command strings, lists the installed devices and packs the composite time
// formats. `host` is the PlayerServices whose Flash window holds the video.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

void registerMciClass(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra::host
