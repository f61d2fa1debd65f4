#include "host/HostClasses.h"

#include "host/ApplicationTrace.h"
#include "host/DataFile.h"
#include "host/DiskInfo.h"
#include "host/Encryption.h"
#include "host/win32/DesktopToy.h"
#include "host/win32/DirectX.h"
#include "host/win32/Dialogs.h"

namespace lumbra {

orvet::EnginePtr createHostEngine(PlayerServices& services, const orvet::EngineConfig& config)
{
    orvet::HostClasses classes;
    classes.host = &services;
    classes.dialogs = registerDialogsClass;
    classes.application = registerApplicationTrace;
    classes.directX = registerDirectXClass;
    classes.encryption = registerEncryptionClass;
    classes.diskInfo = registerDiskInfoClass;
    classes.desktopToy = registerDesktopToyClass;
    classes.dataFile = registerDataFileClass;
    return orvet::CreateEngine(config, classes);
}

} // namespace lumbra
