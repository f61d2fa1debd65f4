// flash.geom.Rectangle: x, y, width and height are ordinary members; the
// edges and corners (left, right, top, bottom, topLeft, bottomRight, size)
// are worked out from them and, when set, move one edge and keep the others.
// An empty rectangle has no positive width or height.
#include "control/movie/actions/Accessors.h"
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/GeometryValues.h"
#include "control/movie/actions/Packages.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

Rect self(NativeCall& c) { return rectangleFrom(c.machine, c.thisValue).value_or(Rect{NAN, NAN, NAN, NAN}); }
Rect argument(NativeCall& c, std::size_t i)
{
    return rectangleFrom(c.machine, c.arg(i)).value_or(Rect{NAN, NAN, NAN, NAN});
}
Point pointArgument(NativeCall& c, std::size_t i) { return pointFrom(c.machine, c.arg(i)).value_or(Point{NAN, NAN}); }

void store(NativeCall& c, const Rect& r)
{
    c.machine.set(c.thisValue, u"x", r.xMin);
    c.machine.set(c.thisValue, u"y", r.yMin);
    c.machine.set(c.thisValue, u"width", r.width());
    c.machine.set(c.thisValue, u"height", r.height());
}

bool isEmpty(const Rect& r) { return !(r.width() > 0 && r.height() > 0); }

// new Rectangle() is empty at the origin; given arguments are kept as they are.
Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    const char16_t* names[] = {u"x", u"y", u"width", u"height"};
    for (std::size_t i = 0; i < 4; ++i)
        c.machine.set(c.thisValue, names[i], c.args.empty() ? Value(0) : c.arg(i));
    return {};
}

// --- edges and corners ------------------------------------------------------------

enum Edge { Left, Top, Right, Bottom };

template <Edge E> Value edge(NativeCall& c)
{
    Rect r = self(c);
    return E == Left ? r.xMin : E == Top ? r.yMin : E == Right ? r.xMax : r.yMax;
}

template <Edge E> Value setEdge(NativeCall& c)
{
    Rect r = self(c);
    double v = c.number(0);
    (E == Left ? r.xMin : E == Top ? r.yMin : E == Right ? r.xMax : r.yMax) = v;
    store(c, r);
    return {};
}

Value topLeft(NativeCall& c)
{
    Rect r = self(c);
    return pointValue(c.machine, {r.xMin, r.yMin});
}

Value setTopLeft(NativeCall& c)
{
    Rect r = self(c);
    Point p = pointArgument(c, 0);
    r.xMin = p.x, r.yMin = p.y;
    store(c, r);
    return {};
}

Value bottomRight(NativeCall& c)
{
    Rect r = self(c);
    return pointValue(c.machine, {r.xMax, r.yMax});
}

Value setBottomRight(NativeCall& c)
{
    Rect r = self(c);
    Point p = pointArgument(c, 0);
    r.xMax = p.x, r.yMax = p.y;
    store(c, r);
    return {};
}

Value size(NativeCall& c)
{
    Rect r = self(c);
    return pointValue(c.machine, {r.width(), r.height()});
}

Value setSize(NativeCall& c)
{
    Point p = pointArgument(c, 0);
    c.machine.set(c.thisValue, u"width", p.x);
    c.machine.set(c.thisValue, u"height", p.y);
    return {};
}

// --- tests ---------------------------------------------------------------------------

// The left and top edges are inside, the right and bottom ones outside.
bool inside(const Rect& r, double x, double y) { return x >= r.xMin && x < r.xMax && y >= r.yMin && y < r.yMax; }

Value contains(NativeCall& c) { return inside(self(c), c.number(0), c.number(1)); }

Value containsPoint(NativeCall& c)
{
    Point p = pointArgument(c, 0);
    return inside(self(c), p.x, p.y);
}

Value containsRectangle(NativeCall& c)
{
    Rect r = self(c), o = argument(c, 0);
    return o.xMin >= r.xMin && o.yMin >= r.yMin && o.xMax <= r.xMax && o.yMax <= r.yMax;
}

Rect intersectionOf(const Rect& a, const Rect& b)
{
    Rect r{std::max(a.xMin, b.xMin), std::max(a.yMin, b.yMin), std::min(a.xMax, b.xMax), std::min(a.yMax, b.yMax)};
    return isEmpty(r) ? Rect{} : r;
}

Value intersects(NativeCall& c) { return !isEmpty(intersectionOf(self(c), argument(c, 0))); }

Value intersection(NativeCall& c) { return rectangleValue(c.machine, intersectionOf(self(c), argument(c, 0))); }

// An empty rectangle adds nothing to the other.
Value unionOf(NativeCall& c)
{
    Rect a = self(c), b = argument(c, 0);
    if (isEmpty(a))
        return rectangleValue(c.machine, b);
    if (isEmpty(b))
        return rectangleValue(c.machine, a);
    return rectangleValue(c.machine, {std::min(a.xMin, b.xMin), std::min(a.yMin, b.yMin), std::max(a.xMax, b.xMax),
                                      std::max(a.yMax, b.yMax)});
}

Value equals(NativeCall& c)
{
    if (!c.arg(0).isObject())
        return false;
    Rect a = self(c), b = argument(c, 0);
    return a.xMin == b.xMin && a.yMin == b.yMin && a.width() == b.width() && a.height() == b.height();
}

Value emptyTest(NativeCall& c) { return isEmpty(self(c)); }

// --- changes ---------------------------------------------------------------------------

void inflateBy(NativeCall& c, double dx, double dy)
{
    Rect r = self(c);
    store(c, {r.xMin - dx, r.yMin - dy, r.xMax + dx, r.yMax + dy});
}

Value inflate(NativeCall& c)
{
    inflateBy(c, c.number(0), c.number(1));
    return {};
}

Value inflatePoint(NativeCall& c)
{
    Point p = pointArgument(c, 0);
    inflateBy(c, p.x, p.y);
    return {};
}

void offsetBy(NativeCall& c, double dx, double dy)
{
    Rect r = self(c);
    c.machine.set(c.thisValue, u"x", r.xMin + dx);
    c.machine.set(c.thisValue, u"y", r.yMin + dy);
}

Value offset(NativeCall& c)
{
    offsetBy(c, c.number(0), c.number(1));
    return {};
}

Value offsetPoint(NativeCall& c)
{
    Point p = pointArgument(c, 0);
    offsetBy(c, p.x, p.y);
    return {};
}

Value setEmpty(NativeCall& c)
{
    store(c, Rect{});
    return {};
}

Value clone(NativeCall& c)
{
    Machine& m = c.machine;
    const Value args[] = {m.get(c.thisValue, u"x"), m.get(c.thisValue, u"y"), m.get(c.thisValue, u"width"),
                          m.get(c.thisValue, u"height")};
    return newInstance(m, u"flash.geom.Rectangle", args);
}

Value toString(NativeCall& c)
{
    constexpr const char16_t* members[] = {u"x", u"y", u"width", u"height"};
    constexpr const char16_t* labels[] = {u"x", u"y", u"w", u"h"};
    return membersText(c.machine, c.thisValue, members, labels);
}

} // namespace

void installRectangle(Machine& m)
{
    ActionObject* proto = m.newObject();
    packageObject(m, u"flash.geom")->set(u"Rectangle", Value(m.newFunction(construct, proto)));
    defineAccessor(m, proto, u"left", edge<Left>, setEdge<Left>);
    defineAccessor(m, proto, u"top", edge<Top>, setEdge<Top>);
    defineAccessor(m, proto, u"right", edge<Right>, setEdge<Right>);
    defineAccessor(m, proto, u"bottom", edge<Bottom>, setEdge<Bottom>);
    defineAccessor(m, proto, u"topLeft", topLeft, setTopLeft);
    defineAccessor(m, proto, u"bottomRight", bottomRight, setBottomRight);
    defineAccessor(m, proto, u"size", size, setSize);
    m.method(proto, u"contains", contains);
    m.method(proto, u"containsPoint", containsPoint);
    m.method(proto, u"containsRectangle", containsRectangle);
    m.method(proto, u"intersects", intersects);
    m.method(proto, u"intersection", intersection);
    m.method(proto, u"union", unionOf);
    m.method(proto, u"equals", equals);
    m.method(proto, u"isEmpty", emptyTest);
    m.method(proto, u"inflate", inflate);
    m.method(proto, u"inflatePoint", inflatePoint);
    m.method(proto, u"offset", offset);
    m.method(proto, u"offsetPoint", offsetPoint);
    m.method(proto, u"setEmpty", setEmpty);
    m.method(proto, u"clone", clone);
    m.method(proto, u"toString", toString);
}

} // namespace lumbra::movie
