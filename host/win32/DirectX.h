// "DirectX": display mode changes through DirectDraw.
#pragma once


namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

// host: the PlayerServices of the player, whose main window the class uses.
void registerDirectXClass(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra
