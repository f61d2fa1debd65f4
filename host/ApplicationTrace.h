// The "Application" object, for now with the one member the player's own
// tests and script authors need first: "traceToFile", which makes a file
// the trace output of the engines the player runs.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

class PlayerServices;

void registerApplicationTrace(orvet::ScriptEngine& engine, PlayerServices& services);

} // namespace lumbra
