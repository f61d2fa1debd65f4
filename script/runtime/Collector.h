// Mark and sweep over the context's heap.
//
// Roots: the constant table, the globals, every class of the context (with
// what its null-data markData call marks), the result
// slot, the values held by recovery records and the interpreter stack from
// the saved stack pointer to its base (frame links mark their with-scope
// lists). Marking uses an explicit work list, so long chains of objects never
// deepen the host stack.
#pragma once

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;

// Marks a value and, through the work list, everything it reaches. Also used
// by NativeClass::markData callbacks.
void markValue(ScriptContext& ctx, const ScriptValue& value);
// A full collection over the stack [ctx.sp, stack end).
void collect(ScriptContext& ctx);
// At the interpreter's collection points: collects when enough has been
// allocated, then asks the hook, whose non-zero answer raises "hook break".
void collectIfDue(ScriptContext& ctx);

} // namespace orvet
