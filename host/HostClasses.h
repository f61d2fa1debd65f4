// The one list of the host classes the player registers in its engines.
// Each host unit adds its registration here.
#pragma once

#include "script/engine/ScriptEngine.h"

namespace lumbra::host {

// `host`: the player's PlayerServices (a HostPlayer in the native tests),
// handed to every registration.
orvet::HostClasses hostClasses(void* host);

} // namespace lumbra::host
