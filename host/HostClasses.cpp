#include "host/HostClasses.h"

#include "host/ApplicationTrace.h"
#include "host/DataFile.h"
#include "host/DiskInfo.h"
#include "host/Encryption.h"
#include "host/win32/DesktopToy.h"
#include "host/win32/DirectX.h"
#include "host/win32/Dialogs.h"

#include "script/runtime/RuntimeError.h"

namespace lumbra {

orvet::EnginePtr createHostEngine(PlayerServices& services, const orvet::EngineConfig& config)
{
    orvet::HostClasses classes;
    classes.host = &services;
    classes.dialogs = registerDialogsClass;
    classes.directX = registerDirectXClass;
    classes.encryption = registerEncryptionClass;
    classes.diskInfo = registerDiskInfoClass;
    classes.desktopToy = registerDesktopToyClass;
    classes.dataFile = registerDataFileClass;
    orvet::EnginePtr engine = orvet::CreateEngine(config, classes);
    if (!engine)
        return nullptr;
    // Until registrations carry the services themselves, the classes that
    // need them are registered here, after the engine's own list.
    const bool registered =
        orvet::protectedCall(*engine->context, [&] { registerApplicationTrace(*engine, services); });
    return registered ? std::move(engine) : nullptr;
}

} // namespace lumbra
