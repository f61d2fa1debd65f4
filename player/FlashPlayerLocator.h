// Finding the movie control: the one installed on the machine when it is
// recent enough, else the copy the package carries, unpacked into the
// working folder together with any run-time library the machine lacks.
#pragma once

#include "player/MessageReporter.h"

#include "package/ResourceSource.h"

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace lumbra {

// The oldest installed control the player accepts: 7.0.32.0.
bool installedControlIsRecent(DWORD versionHigh, DWORD versionLow);

// The file version of the registered ShockwaveFlash server, when the class
// can be instantiated and its server file has a version.
bool installedControlVersion(DWORD& versionHigh, DWORD& versionLow);

// The path of the control file to load, or "" for the installed control.
// Unpacking errors of the control are silent; those of a needed support
// library are reported; the question about an old automation library is
// asked through the reporter too.
std::string findFlashPlayer(const ResourceSource& resources, const std::string& workingFolder,
                            MessageReporter& reporter);

// Creates the control: through COM for "", else from the file without
// registration (the library stays loaded until the process frees it).
// Returns the control's IDispatch (owned by the caller) or a failure code.
HRESULT createFlashControl(const std::string& path, IDispatch** control);

} // namespace lumbra
