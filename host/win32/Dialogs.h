// "Dialogs": the system's message box, file open and save dialogs and folder
// browser, owned by the main window.
#pragma once


namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

// host: the PlayerServices of the player, whose main window the class uses.
void registerDialogsClass(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra
