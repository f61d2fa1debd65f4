// The one list of host classes: every engine the player runs for a package
// is made here, with the built-in classes and every host class, each of
// which reaches the running player through `services`.
#pragma once

#include "script/engine/ScriptEngine.h"

namespace lumbra {

class PlayerServices;

// Null when the engine cannot be made (memory, a failed registration).
orvet::EnginePtr createHostEngine(PlayerServices& services, const orvet::EngineConfig& config = {});

} // namespace lumbra
