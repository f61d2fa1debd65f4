// The movie's drawing surface on a GDI device context: paths through GDI
// paths with the non-zero winding rule, solid brushes and geometric pens,
// text in device fonts. Colours that are partly transparent are blended in;
// gradients are drawn in their mean colour.
#pragma once

#include "control/movie/Canvas.h"

#include <windows.h>

namespace lumbra::com {

class GdiCanvas final : public movie::Canvas {
public:
    // Draws into `dc`, whose drawing area is width x height pixels from (0, 0).
    GdiCanvas(HDC dc, int width, int height);

    void clear(movie::Argb background) override;
    void fillPath(const movie::Path& path, const movie::Fill& fill) override;
    void strokePath(const movie::Path& path, const movie::Stroke& stroke) override;
    void drawText(const movie::TextRun& run) override;

private:
    // Runs draw(dc) opaque on this canvas, or, when alpha is partial, on a
    // copy of the area `bounds` that is then blended back.
    template <class Draw>
    void withAlpha(unsigned alpha, const RECT& bounds, Draw draw);

    HDC dc_;
    int width_;
    int height_;
};

} // namespace lumbra::com
