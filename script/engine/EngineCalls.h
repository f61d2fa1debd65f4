// Calling script code from native code, and running host routines under a
// recovery record. Each entry has its own record: it returns 1 on success
// with the value in the context's result, or 0 with the message in the
// error buffer; calls may nest.
#pragma once

#include <functional>

#include "script/runtime/ScriptContext.h"

namespace orvet {

struct ScriptEngine;

// Calls the global named `name`, or `value` when name is null, with no
// receiver. n counts the entries of args including the count entry args[0].
int CallFunction(ScriptContext& ctx, const char* name, const ScriptValue& value, int n, ScriptValue* args);
// Calls value with a receiver.
int CallValue(ScriptContext& ctx, const ScriptValue& receiver, const ScriptValue& value, int n, ScriptValue* args);
// Calls the method `name` of value.
int CallMethod(ScriptContext& ctx, const ScriptValue& value, const char* name, int n, ScriptValue* args);

// Runs a host routine under a recovery record: 1 when it completed, 0 when a
// runtime error ended it.
int Protected(ScriptEngine& engine, const std::function<void(ScriptContext&)>& routine);

} // namespace orvet
