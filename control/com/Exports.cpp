// The four entry points of an in-process COM server.
#include "control/com/ClassFactory.h"
#include "control/com/ControlWindow.h"
#include "control/com/Registration.h"
#include "control/com/ServerModule.h"

using namespace lumbra::com;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        server::setInstance(instance);
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // A later load may place the window procedure elsewhere.
        ControlWindow::unregisterClass(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return getClassObject(clsid, iid, out);
}

STDAPI DllCanUnloadNow() { return server::canUnload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return registerServer(server::instance()); }

STDAPI DllUnregisterServer() { return unregisterServer(server::instance()); }

} // extern "C"
