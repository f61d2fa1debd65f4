// On Windows the registration's host is the player's PlayerServices; each
// class works through its own thin adapter over it.
#include "host/HostClassData.h"
#include "host/PlayerServices.h"
#include "host/win32/ServicesHostPlayer.h"

namespace lumbra::host {

void HostClassData::link(void* host)
{
    adapter = std::make_unique<ServicesHostPlayer>(*static_cast<PlayerServices*>(host));
    player = adapter.get();
}

} // namespace lumbra::host
