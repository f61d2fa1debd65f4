// The global application functions: where the program lives, its movies and
// appended files, the window shape switch, the profile, message processing
// and running packaged scripts.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

// `host` is the HostPlayer.
void registerApplicationFunctions(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra::host
