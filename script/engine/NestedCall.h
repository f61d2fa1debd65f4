// Calling a script value from inside a native callback, without a recovery
// record of its own: an error or a throw in the callee unwinds through the
// callback to the caller's record, as if the callee had been called by the
// script directly (Array sort's comparison function, for example).
#pragma once

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;

// A Function runs in the interpreter, a Native with a call callback is
// called; other values give undefined. n counts the entries of args
// including the count entry.
ScriptValue callNested(ScriptContext& ctx, const ScriptValue& receiver, const ScriptValue& callee, int n,
                       ScriptValue* args);

} // namespace orvet
