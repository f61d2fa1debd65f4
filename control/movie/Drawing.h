// What a clip's drawing methods (moveTo, lineTo, beginFill ...) leave behind:
// an ordinary shape, in the clip's own twips, drawn under the clip's children.
// Every call extends it at once, so bounds and hit tests see the drawing as
// it stands, open fills included. The drawings of one stage share an
// allowance of points, so a script drawing or copying drawings in a loop
// cannot exhaust memory: beyond it drawings stop growing.
#pragma once

#include "control/movie/Character.h"

#include <cstddef>
#include <memory>
#include <optional>

namespace lumbra::movie {

class Drawing {
public:
    // `pointsInUse` counts the points of every drawing of the stage.
    explicit Drawing(std::shared_ptr<std::size_t> pointsInUse);
    ~Drawing();
    // A copy when the allowance has room for it, else null.
    std::shared_ptr<Drawing> copy() const;
    Drawing(const Drawing&) = delete;
    Drawing& operator=(const Drawing&) = delete;

    // The pen: lines drawn from now on, or none.
    void lineStyle(std::optional<LineStyle> style);
    // The pen in use, if any.
    std::optional<LineStyle> pen() const;
    // Opens a fill at the pen, closing the one open before.
    void beginFill(const Fill& fill);
    // Closes the open fill back to where its outline started.
    void endFill();
    void moveTo(Point p);
    void lineTo(Point p);
    void curveTo(Point control, Point to);
    // Forgets everything drawn and the pen's style; the pen returns to the origin.
    void clear();

    const ShapeDef& shape() const { return shape_; }

private:
    // Adds an edge run from the pen through `points`; the pen ends on the last.
    void extend(const Contour& points);
    void include(Point p, double halfWidth);
    bool full() const;
    void charge(std::size_t points);

    std::shared_ptr<std::size_t> pointsInUse_;
    ShapeDef shape_;
    Point pen_;
    int fill_ = -1; // the open fill, an index of shape_.fills
    int line_ = -1; // the current pen, an index of shape_.lines
    bool lineOpen_ = false; // the last line contour ends at the pen
    Point fillStart_;
    bool anyBounds_ = false;
    std::size_t points_ = 0;
};

} // namespace lumbra::movie
