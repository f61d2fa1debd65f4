// Start minimized and always on top (behaviourFlags 0x10 and 0x100).
#pragma once

#include "package/ProjectSettings.h"

#include <windows.h>

namespace lumbra {

// Minimizes the window when asked to, then puts it (same rectangle) at the
// top of the always-on-top band or of the normal band. With `show` (after the
// options dialog) the window is shown as well; at start-up it is not redrawn.
void applyStacking(HWND window, const ProjectSettings& settings, bool show);

} // namespace lumbra
