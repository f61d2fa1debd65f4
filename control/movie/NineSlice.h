// scale9Grid: a clip's content cut into nine regions by a grid, so that when
// the clip is scaled its corners keep their size, its edges stretch along
// their length only and the middle takes up the rest. Outlines are cut where
// they cross the grid, so each piece moves with its own region.
#pragma once

#include "control/movie/Canvas.h"

namespace lumbra::movie {

class NineSlice {
public:
    // `bounds` and `grid` in the clip's own twips; scaleX and scaleY are the
    // clip's own scale, which the corners undo. Where the corners would
    // overlap (the clip shrunk below them) they shrink alike to fit.
    NineSlice(const Rect& bounds, const Rect& grid, double scaleX, double scaleY);

    // A point of the clip's space moved by its region.
    Point apply(Point p) const;
    // The outline carried into the clip's space by `inner` (a child's own
    // placement), cut at the grid lines, every point moved by its region.
    // Closed outlines (fills) are cut on the edge back to their start too.
    Path map(const Path& path, const Matrix& inner, bool closed) const;

private:
    // One axis: the region edges before (b0, g0, g1, b1) and after (n0, n1 for the grid lines).
    struct Axis {
        double b0, g0, g1, b1, n0, n1;
        double apply(double v) const;
    };
    static Axis axis(double b0, double g0, double g1, double b1, double scale);

    Axis x_, y_;
};

} // namespace lumbra::movie
