// "DirectX": display mode changes through DirectDraw.
#pragma once

#include <windows.h>

#include <functional>

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

// mainWindow gives the window that takes full-screen control.
void registerDirectXClass(orvet::ScriptEngine& engine, std::function<HWND()> mainWindow);

} // namespace lumbra
