// The script class "Window": a handle on any window of the system. Its
// objects read and change the window and, through the window's shared
// routing record (host/WindowTable.h), receive its messages as events.
//
// Registered after the application functions; `host` is the PlayerServices
// through which it finds the main window.
#pragma once

#include <windows.h>

#include "script/runtime/ScriptValue.h"

namespace orvet {
struct ScriptContext;
struct ScriptEngine;
} // namespace orvet

namespace lumbra::host {

struct WindowRecord;

void registerWindowClass(orvet::ScriptEngine& engine, void* host);

// A new "Window" object for the handle, sharing the window's record with the
// window's other objects and becoming the receiver of its events. A handle
// that names no window (0 for "nothing found") gives an object whose members
// do nothing but "handle". Undefined when the class is not registered.
orvet::ScriptValue MakeWindowObject(orvet::ScriptContext& ctx, HWND handle);

// The routing record behind a "Window" object of a living window, or null
// (the Flash player's "onContextMenu" stores its handler there).
WindowRecord* windowRecordOf(const orvet::ScriptValue& value);

} // namespace lumbra::host
