// The interpreter: executes linked word code on the context's value stack.
//
// Calls between script functions stay inside one dispatch loop; a call that
// crosses into host code and back (a native method calling a script
// function) enters the loop afresh. A frame is four stack slots below the
// receiver: the caller's frame base, the argument bookkeeping, the frame's
// with-scope list and the return address.
#pragma once

#include <cstdint>

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct Closure;
struct ScriptContext;

// The objects of the `with` statements a frame is inside, outermost first.
struct WithList {
    std::uint32_t count;
    std::uint32_t reserved;
    ScriptValue items[1]; // count values
};

// Runs a function as the outermost frame of a new run: pushes the function,
// block[n-1] ... block[0] (block[0] is the argument count as an Integer) and
// the receiver (Null when none), and executes until that frame returns; the
// value it returns is left in ctx.result. Must run under a recovery record
// (protectedCall); runtime errors arrive there.
void run(ScriptContext& ctx, const ScriptValue& receiver, Closure* callee, int n, const ScriptValue* block);

} // namespace orvet
