// The global functions "encodeURI", "decodeURI", "encodeURIComponent" and
// "decodeURIComponent". They belong with the application functions and are
// registered at the end of that group.
#pragma once

namespace orvet {
struct ScriptContext;
}

namespace lumbra::host {

void registerUriFunctions(orvet::ScriptContext& ctx);

} // namespace lumbra::host
