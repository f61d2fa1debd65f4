// The "Application" object, for now with the one member the player's own
// tests and script authors need first: "traceToFile", which makes a file
// the trace output of the engines the player runs.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

// `host` is the PlayerServices of the running player.
void registerApplicationTrace(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra
