#include "host/HostClasses.h"

#include "host/ApplicationTrace.h"

namespace lumbra {

orvet::EnginePtr createHostEngine(PlayerServices& services, const orvet::EngineConfig& config)
{
    orvet::HostClasses classes;
    classes.host = &services;
    classes.application = registerApplicationTrace;
    return orvet::CreateEngine(config, classes);
}

} // namespace lumbra
