// The class data of every class in this library: its member atoms and the
// player it works on. `host` as the engine hands it to a registration is the
// player's PlayerServices on Windows, which an adapter turns into a
// HostPlayer; the native tests hand in a HostPlayer directly.
#pragma once

#include <memory>

#include "host/HostPlayer.h"
#include "script/engine/ClassRegistration.h"

namespace lumbra::host {

struct HostClassData : orvet::MemberAtoms {
    HostPlayer* player = nullptr;
    std::unique_ptr<HostPlayer> adapter; // owned when `player` is one

    // Sets `player` from the registration's host pointer.
    void link(void* host);
};

// Attaches the class data with its member names and links it to the player.
template <class Data>
Data& attachHostData(orvet::ScriptEngine& engine, void* host, orvet::NativeClass& cls,
                     std::initializer_list<std::string_view> names)
{
    Data& data = orvet::MemberAtoms::attach<Data>(engine, host, cls, names);
    data.link(host);
    return data;
}

inline HostPlayer& playerOf(const orvet::NativeClass& cls)
{
    return *orvet::MemberAtoms::of<HostClassData>(cls).player;
}

} // namespace lumbra::host
