// flash.geom.Matrix: a, b, c, d, tx and ty are ordinary members; a point
// (x, y) goes to (a*x + c*y + tx, b*x + d*y + ty). The methods that change
// the matrix apply their step after what it already does.
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/GeometryValues.h"
#include "control/movie/actions/Packages.h"

#include <cmath>

namespace lumbra::movie {

namespace {

constexpr const char16_t* kNames[] = {u"a", u"b", u"c", u"d", u"tx", u"ty"};
// A gradient box is 1638.4 pixels (32768 twips) wide before scaling.
constexpr double kGradientSize = 1638.4;

Matrix self(NativeCall& c) { return matrixFrom(c.machine, c.thisValue).value_or(Matrix{}); }

void store(NativeCall& c, const Matrix& x)
{
    const double values[] = {x.a, x.b, x.c, x.d, x.tx, x.ty};
    for (std::size_t i = 0; i < 6; ++i)
        c.machine.set(c.thisValue, kNames[i], values[i]);
}

// Then `step`.
void apply(NativeCall& c, const Matrix& step) { store(c, step * self(c)); }

// new Matrix() is the identity; given arguments are kept as they are.
Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    const double identity[] = {1, 0, 0, 1, 0, 0};
    for (std::size_t i = 0; i < 6; ++i)
        c.machine.set(c.thisValue, kNames[i], c.args.empty() ? Value(identity[i]) : c.arg(i));
    return {};
}

Value identity(NativeCall& c)
{
    store(c, Matrix{});
    return {};
}

// Then the other matrix.
Value concat(NativeCall& c)
{
    if (auto other = matrixFrom(c.machine, c.arg(0)))
        apply(c, *other);
    return {};
}

Value invert(NativeCall& c)
{
    store(c, self(c).inverse());
    return {};
}

Matrix rotation(double angle)
{
    double cos = std::cos(angle), sin = std::sin(angle);
    return {cos, sin, -sin, cos, 0, 0};
}

Value rotate(NativeCall& c)
{
    apply(c, rotation(c.number(0)));
    return {};
}

Value scale(NativeCall& c)
{
    apply(c, Matrix::scaling(c.number(0), c.number(1)));
    return {};
}

Value translate(NativeCall& c)
{
    apply(c, Matrix::translation(c.number(0), c.number(1)));
    return {};
}

// As identity(), rotate(), scale() and translate() in turn: the scale
// applies along the stage's axes, after the turn.
Matrix box(double scaleX, double scaleY, double angle, double tx, double ty)
{
    return Matrix::translation(tx, ty) * Matrix::scaling(scaleX, scaleY) * rotation(angle);
}

double optional(NativeCall& c, std::size_t i) { return i < c.args.size() ? c.number(i) : 0; }

Value createBox(NativeCall& c)
{
    store(c, box(c.number(0), c.number(1), optional(c, 2), optional(c, 3), optional(c, 4)));
    return {};
}

// The matrix beginGradientFill takes for a gradient filling the box
// (tx, ty, width, height), turned about its centre.
Value createGradientBox(NativeCall& c)
{
    double width = c.number(0), height = c.number(1);
    store(c, box(width / kGradientSize, height / kGradientSize, optional(c, 2), optional(c, 3) + width / 2,
                 optional(c, 4) + height / 2));
    return {};
}

template <bool Move> Value transformPoint(NativeCall& c)
{
    Matrix x = self(c);
    if (!Move)
        x.tx = x.ty = 0;
    Point p = pointFrom(c.machine, c.arg(0)).value_or(Point{NAN, NAN});
    return pointValue(c.machine, x.apply(p));
}

Value clone(NativeCall& c)
{
    Value args[6];
    for (std::size_t i = 0; i < 6; ++i)
        args[i] = c.machine.get(c.thisValue, kNames[i]);
    return newInstance(c.machine, u"flash.geom.Matrix", args);
}

Value toString(NativeCall& c) { return membersText(c.machine, c.thisValue, kNames); }

} // namespace

void installMatrix(Machine& m)
{
    ActionObject* proto = m.newObject();
    packageObject(m, u"flash.geom")->set(u"Matrix", Value(m.newFunction(construct, proto)));
    m.method(proto, u"identity", identity);
    m.method(proto, u"concat", concat);
    m.method(proto, u"invert", invert);
    m.method(proto, u"rotate", rotate);
    m.method(proto, u"scale", scale);
    m.method(proto, u"translate", translate);
    m.method(proto, u"createBox", createBox);
    m.method(proto, u"createGradientBox", createGradientBox);
    m.method(proto, u"transformPoint", transformPoint<true>);
    m.method(proto, u"deltaTransformPoint", transformPoint<false>);
    m.method(proto, u"clone", clone);
    m.method(proto, u"toString", toString);
}

} // namespace lumbra::movie
