// The Number class: the global "Number" and the class of Integer, Float and
// NaN values.
#pragma once

namespace orvet {

struct ScriptContext;

void registerNumberClass(ScriptContext& ctx);

} // namespace orvet
