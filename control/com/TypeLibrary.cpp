#include "control/com/TypeLibrary.h"

#include "control/com/ServerModule.h"
#include "win32/ComPtr.h"

#include <oleauto.h>

namespace lumbra::com {

using win32::ComPtr;

HRESULT loadTypeInfo(REFGUID guid, ITypeInfo** info)
{
    if (!info) return E_POINTER;
    *info = nullptr;
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(server::instance(), path, MAX_PATH);
    if (length == 0 || length == MAX_PATH) return TYPE_E_CANTLOADLIBRARY;
    // Loaded without registering: a control loaded from its file leaves no trace.
    // The system keeps loaded libraries cached, so each call costs little.
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, library.put());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(guid, info);
}

} // namespace lumbra::com
