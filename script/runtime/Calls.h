// Calls of script values from native code, and the method lookup shared with
// the interpreter's CALL_METHOD.
//
// The entry points run under their own recovery record and return 1 on
// success (the value in ctx.result) or 0 on failure (the message in
// ctx.errorBuffer). args is an argument block: args[0] is the count as an
// Integer, args[1..count] the arguments, n the number of entries including
// the count (n = 0 or args = null: no arguments).
#pragma once

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;
struct NativeClass;

// Calls a Function (in the interpreter) or a Native with a call callback.
int callValue(ScriptContext& ctx, const ScriptValue& receiver, const ScriptValue& callee, int n, ScriptValue* args);
// The same with no receiver.
int callFunction(ScriptContext& ctx, const ScriptValue& callee, int n, ScriptValue* args);
// Calls the method `name` of a value.
int callMethod(ScriptContext& ctx, const ScriptValue& value, Atom name, int n, ScriptValue* args);

// The interpreter's method lookup. A native method runs at once (Native);
// a script method is handed back to be entered with the receiver (Script).
struct MethodLookup {
    enum class Kind { Native, Script, Missing } kind;
    Closure* closure; // Script
};
// receiver points to the receiver value (on the stack); result receives a
// native method's result.
MethodLookup lookupMethod(ScriptContext& ctx, ScriptValue* receiver, Atom name, ScriptValue* args,
                          ScriptValue& result);

// The class that answers methods and properties for a value (its own class
// for a Native, the per-kind class otherwise), and the data it is asked with.
NativeClass* classOf(const ScriptContext& ctx, ScriptValue* value, void** data);

} // namespace orvet
