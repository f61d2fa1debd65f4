// The main window's shape: a rectangle, the region of a shape mask mapped
// onto the window the way the control scales the movie, or the movie's own
// outline (the transparent mode of the host window, TransparentWindow.h).
#pragma once

#include "package/MaskShape.h"
#include "package/ProjectSettings.h"

#include <windows.h>

#include <filesystem>

namespace lumbra {

// windowShape 2: the region of the mask file <workingFolder><shapeMaskFile>.msk
// (none when the file is missing or damaged); every other shape removes the
// region. Then tells the host window whether the transparent mode
// (windowShape 1 or 3) is on. `movie` is the movie's size in pixels.
void applyShape(HWND frame, HWND host, const ProjectSettings& settings, const std::filesystem::path& workingFolder,
                SIZE movie);

// A region of `shape` transformed by `transform`; null when the system
// cannot make it. The caller owns the region.
HRGN createRegion(const MaskShape& shape, const XFORM* transform);

} // namespace lumbra
