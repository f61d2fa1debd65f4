// Entries under HKEY_CLASSES_ROOT that make the control creatable by class
// id and ProgID.
#pragma once

#include <objbase.h>

namespace lumbra::com {

// Writes the class key with the path of `module` as its in-process server.
HRESULT registerServer(HMODULE module);
// Removes what registerServer wrote for `module`; keys that are already gone
// are no error. A class registered to another file is left alone (S_FALSE).
HRESULT unregisterServer(HMODULE module);

} // namespace lumbra::com
