#include "host/HostClasses.h"

#include "host/ApplicationTrace.h"

#include "script/runtime/RuntimeError.h"

namespace lumbra {

orvet::EnginePtr createHostEngine(PlayerServices& services, const orvet::EngineConfig& config)
{
    orvet::EnginePtr engine = orvet::CreateEngine(config, orvet::HostClasses{});
    if (!engine)
        return nullptr;
    // Until registrations carry the services themselves, the classes that
    // need them are registered here, after the engine's own list.
    const bool registered =
        orvet::protectedCall(*engine->context, [&] { registerApplicationTrace(*engine, services); });
    return registered ? std::move(engine) : nullptr;
}

} // namespace lumbra
