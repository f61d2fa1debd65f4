// "DataFile": saves global variables, nested arrays and objects included, to
// an initialisation file and loads them back.
#pragma once

namespace orvet {
struct ScriptEngine;
}

namespace lumbra {

void registerDataFileClass(orvet::ScriptEngine& engine, void* host);

} // namespace lumbra
