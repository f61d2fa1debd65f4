// flash.geom.Point: x and y are ordinary members, as scripts read and set
// them; the methods work on whatever numbers they hold.
#include "control/movie/actions/Accessors.h"
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/GeometryValues.h"
#include "control/movie/actions/Packages.h"

#include <cmath>

namespace lumbra::movie {

namespace {

Point self(NativeCall& c) { return pointFrom(c.machine, c.thisValue).value_or(Point{NAN, NAN}); }
Point argument(NativeCall& c, std::size_t i) { return pointFrom(c.machine, c.arg(i)).value_or(Point{NAN, NAN}); }

void store(NativeCall& c, Point p)
{
    c.machine.set(c.thisValue, u"x", p.x);
    c.machine.set(c.thisValue, u"y", p.y);
}

// new Point() is the origin; given arguments are kept as they are.
Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    bool origin = c.args.empty();
    c.machine.set(c.thisValue, u"x", origin ? Value(0) : c.arg(0));
    c.machine.set(c.thisValue, u"y", origin ? Value(0) : c.arg(1));
    return {};
}

Value length(NativeCall& c)
{
    Point p = self(c);
    return std::hypot(p.x, p.y);
}

template <int Sign> Value addOrSubtract(NativeCall& c)
{
    Point p = self(c), v = argument(c, 0);
    return pointValue(c.machine, {p.x + Sign * v.x, p.y + Sign * v.y});
}

Value equals(NativeCall& c)
{
    if (!c.arg(0).isObject())
        return false;
    Point p = self(c), v = argument(c, 0);
    return p.x == v.x && p.y == v.y;
}

// Scales the point to the given length along the same line.
Value normalize(NativeCall& c)
{
    Point p = self(c);
    double length = std::hypot(p.x, p.y), to = c.number(0);
    if (length > 0)
        store(c, {p.x * to / length, p.y * to / length});
    return {};
}

Value offset(NativeCall& c)
{
    Point p = self(c);
    store(c, {p.x + c.number(0), p.y + c.number(1)});
    return {};
}

Value clone(NativeCall& c)
{
    const Value args[] = {c.machine.get(c.thisValue, u"x"), c.machine.get(c.thisValue, u"y")};
    return newInstance(c.machine, u"flash.geom.Point", args);
}

Value toString(NativeCall& c)
{
    constexpr const char16_t* members[] = {u"x", u"y"};
    return membersText(c.machine, c.thisValue, members);
}

Value distance(NativeCall& c)
{
    Point a = argument(c, 0), b = argument(c, 1);
    return std::hypot(a.x - b.x, a.y - b.y);
}

// interpolate(p1, p2, f): p1 at f = 1, p2 at f = 0.
Value interpolate(NativeCall& c)
{
    Point a = argument(c, 0), b = argument(c, 1);
    double f = c.number(2);
    return pointValue(c.machine, {b.x + f * (a.x - b.x), b.y + f * (a.y - b.y)});
}

// polar(length, angle in radians).
Value polar(NativeCall& c)
{
    double length = c.number(0), angle = c.number(1);
    return pointValue(c.machine, {length * std::cos(angle), length * std::sin(angle)});
}

} // namespace

void installPoint(Machine& m)
{
    ActionObject* proto = m.newObject();
    ActionObject* constructor = m.newFunction(construct, proto);
    packageObject(m, u"flash.geom")->set(u"Point", Value(constructor));
    defineAccessor(m, proto, u"length", length);
    m.method(proto, u"add", addOrSubtract<1>);
    m.method(proto, u"subtract", addOrSubtract<-1>);
    m.method(proto, u"equals", equals);
    m.method(proto, u"normalize", normalize);
    m.method(proto, u"offset", offset);
    m.method(proto, u"clone", clone);
    m.method(proto, u"toString", toString);
    m.method(constructor, u"distance", distance);
    m.method(constructor, u"interpolate", interpolate);
    m.method(constructor, u"polar", polar);
}

} // namespace lumbra::movie
