// The script class "Shell": starts programs, opens documents through the
// system shell, and finds the system's special folders. `host` is the
// PlayerServices whose main window owns the shell's windows.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra::host {

void registerShellClass(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra::host
