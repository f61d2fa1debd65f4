// The control's type library, carried in its own DLL as the TYPELIB resource:
// the descriptions behind IDispatch::GetTypeInfo and IProvideClassInfo.
#pragma once

#include <oaidl.h>

namespace lumbra::com {

// The type description of `guid` (the control class, its dispatch or its event
// interface); TYPE_E_CANTLOADLIBRARY when the DLL carries no type library.
HRESULT loadTypeInfo(REFGUID guid, ITypeInfo** info);

} // namespace lumbra::com
