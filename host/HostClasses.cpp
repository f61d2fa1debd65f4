#include "host/HostClasses.h"

#include "host/ApplicationClass.h"
#include "host/ApplicationFunctions.h"
#include "host/FlashPlayerClass.h"

namespace lumbra {

orvet::EnginePtr createHostEngine(PlayerServices& services, const orvet::EngineConfig& config)
{
    return orvet::CreateEngine(config, host::hostClasses(&services));
}

namespace host {

orvet::HostClasses hostClasses(void* host)
{
    orvet::HostClasses classes;
    classes.host = host;
    classes.flashPlayer = registerFlashPlayer;
    classes.movieClip = registerMovieClip;
    classes.applicationFunctions = registerApplicationFunctions;
    classes.application = registerApplication;
    return classes;
}

} // namespace host

} // namespace lumbra
