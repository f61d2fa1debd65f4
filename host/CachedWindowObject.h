// The player's own windows as scripts see them: "getMainWnd" and the Flash
// player's "window" hand out one "Window" object per window, kept in a
// global, so that handlers set through one reading are there at the next.
#pragma once

#include <cstdint>
#include <string_view>

#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptContext;
}

namespace lumbra {
class HostPlayer;
}

namespace lumbra::host {

// The "Window" object of `window` held by the global `cacheName`, made anew
// (and stored there) only when the global holds no Window object of that
// window. Null for window 0; Undefined where the build has no Window class.
orvet::ScriptValue cachedWindowObject(orvet::ScriptContext& ctx, HostPlayer& player, std::string_view cacheName,
                                      std::intptr_t window);

} // namespace lumbra::host
