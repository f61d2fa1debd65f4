// The class object handed out by DllGetClassObject.
#pragma once

#include <objbase.h>

namespace lumbra::com {

// Answers DllGetClassObject for our class: a new factory, queried for `iid`.
HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** out);

} // namespace lumbra::com
