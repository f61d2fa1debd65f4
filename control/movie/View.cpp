#include "control/movie/View.h"

#include <algorithm>

namespace lumbra::movie {

namespace {

double offset(double free, int align, int startFlag, int endFlag)
{
    if (align & startFlag)
        return 0;
    if (align & endFlag)
        return free;
    return free / 2;
}

} // namespace

Matrix View::matrix(const Rect& frame) const
{
    const Rect& area = zoom.empty() ? frame : zoom;
    if (width <= 0 || height <= 0 || area.empty())
        return Matrix::scaling(1 / kTwips, 1 / kTwips) * Matrix::translation(-frame.xMin, -frame.yMin);
    double sx = width / area.width(), sy = height / area.height();
    switch (mode) {
    case ScaleMode::ShowAll: sx = sy = std::min(sx, sy); break;
    case ScaleMode::NoBorder: sx = sy = std::max(sx, sy); break;
    case ScaleMode::ExactFit: break;
    case ScaleMode::NoScale: sx = sy = 1 / kTwips; break;
    }
    double ox = offset(width - area.width() * sx, align, AlignLeft, AlignRight);
    double oy = offset(height - area.height() * sy, align, AlignTop, AlignBottom);
    return Matrix::translation(ox, oy) * Matrix::scaling(sx, sy) * Matrix::translation(-area.xMin, -area.yMin);
}

void View::zoomBy(int percent, const Rect& frame)
{
    if (percent <= 0) {
        zoom = {};
        return;
    }
    const Rect& area = zoom.empty() ? frame : zoom;
    double cx = (area.xMin + area.xMax) / 2, cy = (area.yMin + area.yMax) / 2;
    double w = area.width() * percent / 100, h = area.height() * percent / 100;
    if (!(w >= 1 && h >= 1))
        return; // smaller than a twip: refuse rather than collapse the view
    zoom = {cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2};
}

void View::panBy(int x, int y, int panMode, const Rect& frame)
{
    if (zoom.empty())
        return; // an unzoomed view shows everything already
    double dx, dy;
    if (panMode == 1) {
        dx = zoom.width() * x / 100;
        dy = zoom.height() * y / 100;
    } else {
        Matrix m = matrix(frame);
        dx = m.a != 0 ? x / m.a : 0;
        dy = m.d != 0 ? y / m.d : 0;
    }
    zoom.xMin += dx;
    zoom.xMax += dx;
    zoom.yMin += dy;
    zoom.yMax += dy;
}

} // namespace lumbra::movie
