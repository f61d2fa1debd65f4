// The movie's drawing surface in the control: the portable anti-aliased canvas
// in memory, with text in the system's device fonts, and one blit of the
// finished picture to a device context.
#pragma once

#include "control/movie/RasterCanvas.h"

#include <windows.h>

namespace lumbra::com {

class GdiCanvas final : public movie::RasterCanvas {
public:
    GdiCanvas(int width, int height);

    void drawText(const movie::TextRun& run) override;

    // Copies the picture to `dc` with its top-left corner at (x, y).
    void present(HDC dc, int x, int y) const;
};

} // namespace lumbra::com
