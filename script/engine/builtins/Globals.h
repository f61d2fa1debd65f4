// The global values "NaN" and "Infinity" and the global functions parseInt,
// parseFloat, escape, unescape, isNaN, isFinite and trace.
#pragma once

namespace orvet {

struct ScriptContext;

void registerGlobals(ScriptContext& ctx);

} // namespace orvet
