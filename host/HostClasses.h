// The one list of the host classes the player registers in its engines.
// Each host unit adds its registration here.
#pragma once

#include "script/engine/ScriptEngine.h"

namespace lumbra {
class PlayerServices;
}

namespace lumbra::host {

orvet::HostClasses hostClasses(PlayerServices& player);

} // namespace lumbra::host
