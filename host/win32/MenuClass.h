// The script class "Menu": menu bars and pop-up menus of the system, whose
// items scripts know by command name, shown, loaded from the package's
// "MENUS" blocks and given accelerators from their captions. The class
// serves the main window's script commands (ids 47000 to 56999) through
// PlayerServices::setScriptCommands while its engine lives.
//
// Registered after "Window"; `host` is the PlayerServices.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

void registerMenuClass(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra::host
