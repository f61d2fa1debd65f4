// The Math namespace: functions and constants, and the seeding of
// Math.random when a context registers it.
#pragma once

namespace orvet {

struct ScriptContext;

void registerMathClass(ScriptContext& ctx);

} // namespace orvet
