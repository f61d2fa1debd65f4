// The Boolean class: the global "Boolean" and the class of Boolean values.
#pragma once

namespace orvet {

struct ScriptContext;

void registerBooleanClass(ScriptContext& ctx);

} // namespace orvet
