// Host-implemented classes. A NativeClass is a table of plain callbacks that
// the interpreter calls for the values of the class (Native values) or, for a
// per-kind class, for primitive values of its kinds. Callbacks answer 1 when
// they handled a request and 0 to let the runtime apply its default rules.
//
// The argument block `args` is part of the interpreter stack: args[0] is the
// argument count as an Integer, args[1..count] the arguments. For a per-kind
// class, `data` in callMethod and accessProperty points to the receiver
// ScriptValue; for a Native value it is the instance's native data (null for
// the class object itself).
#pragma once

#include <string_view>

#include "script/runtime/ScriptHeap.h"
#include "script/runtime/ScriptValue.h"

namespace orvet {

struct ScriptContext;
struct ScriptObject;
struct NativeClass;

using NativeCallFn = void (*)(ScriptContext& ctx, NativeClass& cls, void* data, ScriptValue* result, ScriptValue* args);
using NativeMethodFn = int (*)(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, ScriptValue* result,
                               ScriptValue* args);
// set 0: write the property into *value; set 1: store *value.
using NativePropertyFn = int (*)(ScriptContext& ctx, NativeClass& cls, void* data, Atom name, int set,
                                 ScriptValue* value);
using NativeConstructFn = void (*)(ScriptContext& ctx, NativeClass& cls, ScriptValue* args, ScriptValue* result);
// Called once for every instance when it dies (collected, deleted by a
// script, or at context destruction), also when its data is null: the class
// object (null data) dies at the latest when the context is destroyed, which
// makes it the place for class-wide cleanup.
using NativeDestroyFn = void (*)(ScriptContext& ctx, NativeClass& cls, void* data);
// Marks (with markValue, Collector.h) every script value the data refers to.
// Called during every collection for each reachable instance with its data
// (null for the class object), and once more with null data for every class
// of the context, reachable or not: values that a class keeps in its own
// storage (its user data) are marked in the null-data call. The callback may
// run more than once per collection; marking twice does no harm.
using NativeMarkFn = void (*)(ScriptContext& ctx, NativeClass& cls, void* data);
using NativeFinalizeFn = void (*)(void* userData);

struct NativeClass {
    Finalizer heapFinalizer;          // internal: runs finalize(userData)
    NativeCallFn call;                // the value is called as a function
    NativeMethodFn callMethod;
    NativePropertyFn accessProperty;
    NativeConstructFn construct;      // `new`
    NativeDestroyFn destroyData;      // an instance's native data dies
    NativeMarkFn markData;
    void* userData;                   // the class's own data (by convention its member atoms)
    NativeFinalizeFn finalize;        // the class record dies
    ScriptObject* prototype;          // "__proto__" is Null
};

// An instance of a class: a Native value's record.
struct NativeObject {
    Finalizer heapFinalizer; // internal: runs destroyData
    NativeClass* cls;
    void* data;
    ScriptObject* props;     // made when data is non-null; "__proto__" = class prototype
    bool disposed;           // destroyData has run
};

// A class with no callbacks and a fresh prototype. The context keeps every
// class until it is destroyed.
NativeClass* newClass(ScriptContext& ctx);
// A Native value of the class; with data it gets its own property object.
ScriptValue newInstance(ScriptContext& ctx, NativeClass* cls, void* data);
// Runs the class's destroyData on the instance's data now and clears it
// (delete of a variable holding the value); later calls do nothing.
void disposeInstance(ScriptContext& ctx, NativeObject& object);

// The argument block's count. An array literal passes
// its count negated, so its magnitude is the number of arguments; the
// interpreter has checked that they all lie on the caller's stack.
inline std::int64_t argumentCount(const ScriptValue* args)
{
    return args[0].integer < 0 ? -args[0].integer : args[0].integer;
}
// The call is an array literal's: its arguments are elements, never a length.
inline bool isArrayLiteralCall(const ScriptValue* args) { return args[0].integer < 0; }

// Registration helpers.
// The global `name` becomes a class object (an instance with null data).
void registerGlobalClass(ScriptContext& ctx, std::string_view name, NativeClass* cls);
// Makes cls the class of a value kind (Boolean, Integer, String, ...).
void setKindClass(ScriptContext& ctx, ValueKind kind, NativeClass* cls);
// The per-kind class of a kind, or null.
NativeClass* kindClass(const ScriptContext& ctx, ValueKind kind);

} // namespace orvet
