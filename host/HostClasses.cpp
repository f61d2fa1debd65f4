#include "host/HostClasses.h"

#include "host/ApplicationClass.h"
#include "host/ApplicationFunctions.h"
#include "host/DataFile.h"
#include "host/DiskInfo.h"
#include "host/Encryption.h"
#include "host/FlashPlayerClass.h"
#ifdef _WIN32
#include "host/win32/DesktopToy.h"
#include "host/win32/DirectX.h"
#include "host/win32/Dialogs.h"
#include "host/win32/MenuClass.h"
#include "host/win32/ShellClass.h"
#include "host/win32/MciClass.h"
#include "host/win32/WindowClass.h"
#endif

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
    classes.encryption = registerEncryptionClass;
    classes.diskInfo = registerDiskInfoClass;
    classes.dataFile = registerDataFileClass;
#ifdef _WIN32 // classes over the system's windows and devices
    classes.dialogs = registerDialogsClass;
    classes.directX = registerDirectXClass;
    classes.desktopToy = registerDesktopToyClass;
    classes.shell = registerShellClass;
    classes.mci = registerMciClass;
    classes.window = registerWindowClass;
    classes.menu = registerMenuClass;
#endif
    return classes;
}

} // namespace host

} // namespace lumbra
