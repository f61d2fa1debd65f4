// "Dialogs": the system's message box, file open and save dialogs and folder
// browser, owned by the main window.
#pragma once

#include <windows.h>

#include <functional>

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

// mainWindow gives the dialogs' owner when one is shown.
void registerDialogsClass(orvet::ScriptEngine& engine, std::function<HWND()> mainWindow);

} // namespace lumbra
