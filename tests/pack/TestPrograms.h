// Stand-ins for the Windows products in native tests: a player with
// resources of its own and a movie control library.
#pragma once

#include <cstdint>
#include <vector>

namespace lumbra::test {

// A minimal image that already has an icon, its group and a version.
std::vector<std::uint8_t> minimalPlayer();

// A 32-bit DLL exporting DllGetClassObject, as the packager requires of the
// control.
std::vector<std::uint8_t> controlLibrary();

} // namespace lumbra::test
