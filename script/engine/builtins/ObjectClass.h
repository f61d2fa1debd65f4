// The Object class: the global "Object" and the class of Object values.
#pragma once

namespace orvet {

struct ScriptContext;

void registerObjectClass(ScriptContext& ctx);

} // namespace orvet
