// The Array class: the global "Array" and the class of Array values, with
// its methods and the "length" property.
#pragma once

namespace orvet {

struct ScriptContext;

void registerArrayClass(ScriptContext& ctx);

} // namespace orvet
