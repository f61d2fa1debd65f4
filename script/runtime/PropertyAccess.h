// Property and element access on values of every kind, with the per-kind
// rules of the interpreter: native classes through their property callback,
// objects through their slots, primitive kinds through their per-kind class
// and their own property object.
#pragma once

#include <string_view>

#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;
struct ScriptObject;

// Found or not (GET_PROP warns when not); out is Undefined when not found.
bool getMember(ScriptContext& ctx, const ScriptValue& target, Atom name, ScriptValue& out);
// SET_PROP, with its warnings.
void setMember(ScriptContext& ctx, const ScriptValue& target, Atom name, const ScriptValue& value);
// SET_NAME on a with-scope object: stores only when the object already has
// the property or its class accepts it. True when stored.
bool setScopeMember(ScriptContext& ctx, const ScriptValue& scope, Atom name, const ScriptValue& value);
// DELETE_PROP: removes an own property of an Object.
void deleteMember(ScriptContext& ctx, const ScriptValue& target, Atom name);

ScriptValue getElement(ScriptContext& ctx, const ScriptValue& target, const ScriptValue& key);
void setElement(ScriptContext& ctx, const ScriptValue& target, const ScriptValue& key, const ScriptValue& value);
void deleteElement(ScriptContext& ctx, const ScriptValue& target, const ScriptValue& key);

// The own property object of a String, Array or Function value (made on
// first use with "__proto__" set to the class prototype of protoKind), or
// null for other kinds.
ScriptObject* ownPropertyObject(ScriptContext& ctx, const ScriptValue& v, ValueKind protoKind);

// "Warning: <what> \"<name>\"".
void warnName(ScriptContext& ctx, std::string_view what, std::string_view name);

} // namespace orvet
