// Natively there is no player: the tests register the classes with a HostPlayer.
#include "host/HostClassData.h"

namespace lumbra::host {

void HostClassData::link(void* host)
{
    player = static_cast<HostPlayer*>(host);
}

} // namespace lumbra::host
