#include "control/com/ServerModule.h"

namespace lumbra::com::server {

namespace {
HINSTANCE moduleInstance = nullptr;
LONG references = 0;
} // namespace

void setInstance(HINSTANCE instance) { moduleInstance = instance; }

HINSTANCE instance() {
    // Linked into an executable (the tests) nothing calls setInstance.
    return moduleInstance ? moduleInstance : GetModuleHandleW(nullptr);
}

void addReference() { InterlockedIncrement(&references); }
void releaseReference() { InterlockedDecrement(&references); }
bool canUnload() { return references == 0; }

} // namespace lumbra::com::server
