#include "host/HostClasses.h"

#include "host/ApplicationTrace.h"
#include "host/UriFunctions.h"
#include "host/win32/ShellClass.h"
#include "host/win32/WindowClass.h"

namespace lumbra {

orvet::EnginePtr createHostEngine(PlayerServices& services, const orvet::EngineConfig& config)
{
    orvet::HostClasses classes;
    classes.host = &services;
    classes.shell = host::registerShellClass;
    // The application functions end with the four URI functions.
    classes.applicationFunctions = [](orvet::ScriptEngine& engine, void*) { host::registerUriFunctions(*engine.context); };
    classes.window = host::registerWindowClass;
    classes.application = registerApplicationTrace;
    return orvet::CreateEngine(config, classes);
}

} // namespace lumbra
