// The main window of the player a host class was registered for: the owner
// of its dialogs, the window it moves. Null without a player or a window.
#pragma once

#include "host/PlayerServices.h"
#include "script/engine/ClassRegistration.h"

namespace lumbra {

inline HWND playerMainWindow(const orvet::MemberAtoms& cls)
{
    const auto* player = static_cast<const PlayerServices*>(cls.host);
    return player ? player->mainWindow() : nullptr;
}

} // namespace lumbra
