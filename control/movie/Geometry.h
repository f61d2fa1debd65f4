// Plane geometry shared by the movie model and its renderers: points, rectangles
// and the affine matrices of the movie format.
#pragma once

namespace lumbra::movie {

// Movie coordinates are twips, twentieths of a pixel.
inline constexpr double kTwips = 20;

struct Point {
    double x = 0;
    double y = 0;
};

// Axis-aligned rectangle; empty when xMax <= xMin or yMax <= yMin.
struct Rect {
    double xMin = 0;
    double yMin = 0;
    double xMax = 0;
    double yMax = 0;

    double width() const { return xMax - xMin; }
    double height() const { return yMax - yMin; }
    bool empty() const { return !(xMax > xMin && yMax > yMin); }
    bool contains(Point p) const { return p.x >= xMin && p.x <= xMax && p.y >= yMin && p.y <= yMax; }
};

// x' = a*x + c*y + tx, y' = b*x + d*y + ty (the movie format's own layout).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1;
    double tx = 0, ty = 0;

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }

    // this after inner: (this * inner)(p) == this(inner(p)).
    Matrix operator*(const Matrix& inner) const
    {
        return {a * inner.a + c * inner.b,     b * inner.a + d * inner.b,
                a * inner.c + c * inner.d,     b * inner.c + d * inner.d,
                a * inner.tx + c * inner.ty + tx, b * inner.tx + d * inner.ty + ty};
    }

    // The identity when the matrix cannot be inverted: a collapsed object is never hit anyway.
    Matrix inverse() const
    {
        double det = a * d - b * c;
        if (det == 0)
            return {};
        return {d / det, -b / det, -c / det, a / det, (c * ty - d * tx) / det, (b * tx - a * ty) / det};
    }

    static Matrix translation(double x, double y) { return {1, 0, 0, 1, x, y}; }
    static Matrix scaling(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }
};

// Bounds of r after m.
Rect transformRect(const Matrix& m, const Rect& r);

} // namespace lumbra::movie
