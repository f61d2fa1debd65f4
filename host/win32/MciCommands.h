// The command names a script assigns to an "MCI" object's "command"
// property ("open", "play", "seek", ...), each sent to the object's device
// as the matching device command with the object's properties as parameters.
#pragma once

#include <string_view>

namespace lumbra::host {

struct MciDevice;

// Numbers the aliases "_Orvet_MCI_%d" of one engine's objects, from 0.
struct AliasCounter {
    int next = 0;
};

// Runs the named command (compared without case); false for a name that is
// no command, which does nothing.
bool runMciCommand(MciDevice& device, AliasCounter& aliases, std::u16string_view name);

} // namespace lumbra::host
