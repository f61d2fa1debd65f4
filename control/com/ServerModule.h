// The DLL as a COM server: its instance handle and the count of live objects
// and server locks that decides whether it may be unloaded. This is the only
// process-wide state of the control.
#pragma once

#include <windows.h>

namespace lumbra::com::server {

void setInstance(HINSTANCE instance);
HINSTANCE instance();

// Every live object and every IClassFactory::LockServer(TRUE) holds one.
void addReference();
void releaseReference();
bool canUnload();

} // namespace lumbra::com::server
