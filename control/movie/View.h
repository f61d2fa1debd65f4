// How the movie's frame maps onto the host's viewport: scale mode, alignment,
// zoom and pan.
#pragma once

#include "control/movie/Geometry.h"
#include "control/movie/MoviePlayer.h"

namespace lumbra::movie {

struct View {
    int width = 0;  // viewport pixels; 0 until the host tells
    int height = 0;
    ScaleMode mode = ScaleMode::ShowAll;
    int align = 0;
    Rect zoom; // visible area in twips; empty shows the whole frame

    // Root twips to viewport pixels for a movie whose frame is `frame`.
    Matrix matrix(const Rect& frame) const;
    void zoomBy(int percent, const Rect& frame);
    void panBy(int x, int y, int mode, const Rect& frame);
};

} // namespace lumbra::movie
