// The class of string values, registered as the global "String" and as the
// class of the String kind, together with "RegExp" whose values its match,
// replace, search and split methods take.
#pragma once

namespace orvet {

struct ScriptContext;

void registerStringClass(ScriptContext& ctx);

}  // namespace orvet
