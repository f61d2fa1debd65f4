#include "control/movie/actions/GeometryValues.h"

#include "control/movie/actions/Packages.h"

namespace lumbra::movie {

namespace {

double member(Machine& m, const Value& object, std::u16string_view name)
{
    return m.toNumber(m.get(object, name));
}

} // namespace

std::optional<Point> pointFrom(Machine& m, const Value& value)
{
    if (!value.isObject())
        return std::nullopt;
    return Point{member(m, value, u"x"), member(m, value, u"y")};
}

Value pointValue(Machine& m, Point p)
{
    const Value args[] = {p.x, p.y};
    return newInstance(m, u"flash.geom.Point", args);
}

std::optional<Rect> rectangleFrom(Machine& m, const Value& value)
{
    if (!value.isObject())
        return std::nullopt;
    double x = member(m, value, u"x"), y = member(m, value, u"y");
    return Rect{x, y, x + member(m, value, u"width"), y + member(m, value, u"height")};
}

Value rectangleValue(Machine& m, const Rect& r)
{
    const Value args[] = {r.xMin, r.yMin, r.width(), r.height()};
    return newInstance(m, u"flash.geom.Rectangle", args);
}

std::optional<Matrix> matrixFrom(Machine& m, const Value& value)
{
    if (!value.isObject())
        return std::nullopt;
    return Matrix{member(m, value, u"a"), member(m, value, u"b"),  member(m, value, u"c"),
                  member(m, value, u"d"), member(m, value, u"tx"), member(m, value, u"ty")};
}

Value matrixValue(Machine& m, const Matrix& x)
{
    const Value args[] = {x.a, x.b, x.c, x.d, x.tx, x.ty};
    return newInstance(m, u"flash.geom.Matrix", args);
}

std::optional<ColorTransform> colorTransformFrom(Machine& m, const Value& value)
{
    if (!value.isObject())
        return std::nullopt;
    ColorTransform cx;
    cx.rMult = member(m, value, u"redMultiplier");
    cx.gMult = member(m, value, u"greenMultiplier");
    cx.bMult = member(m, value, u"blueMultiplier");
    cx.aMult = member(m, value, u"alphaMultiplier");
    cx.rAdd = member(m, value, u"redOffset");
    cx.gAdd = member(m, value, u"greenOffset");
    cx.bAdd = member(m, value, u"blueOffset");
    cx.aAdd = member(m, value, u"alphaOffset");
    return cx;
}

Value colorTransformValue(Machine& m, const ColorTransform& cx)
{
    const Value args[] = {cx.rMult, cx.gMult, cx.bMult, cx.aMult, cx.rAdd, cx.gAdd, cx.bAdd, cx.aAdd};
    return newInstance(m, u"flash.geom.ColorTransform", args);
}

std::u16string membersText(Machine& m, const Value& object, std::span<const char16_t* const> members,
                           std::span<const char16_t* const> labels)
{
    std::u16string text = u"(";
    for (std::size_t i = 0; i < members.size(); ++i)
        text += (i ? u", " : u"") + std::u16string(labels.empty() ? members[i] : labels[i]) + u"=" +
                m.toString(m.get(object, members[i]));
    return text + u")";
}

} // namespace lumbra::movie
