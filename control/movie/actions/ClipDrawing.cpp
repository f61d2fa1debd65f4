// The drawing methods of MovieClip: lineStyle, lineGradientStyle, beginFill,
// beginGradientFill, beginBitmapFill, moveTo, lineTo, curveTo, endFill and
// clear, and attachBitmap, which places a picture as a clip drawing it. Scripts
// give pixels; the clip's drawing keeps twips like every other shape.
#include "control/movie/BitmapData.h"
#include "control/movie/Playback.h"
#include "control/movie/actions/Machine.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// Gradients carry at most this many colours.
constexpr std::size_t kMaxStops = 15;

std::shared_ptr<DisplayObject> clip(NativeCall& c)
{
    auto self = c.thisValue.toClip();
    return self && self->isClip() ? self : nullptr;
}

// An alpha given as 0..100; `fallback` when not a number.
unsigned alphaFrom(double percent, unsigned fallback)
{
    if (std::isnan(percent))
        return fallback;
    return unsigned(std::lround(std::clamp(percent, 0.0, 100.0) * 2.55));
}

Argb colorFrom(Machine& m, const Value& rgb, unsigned alpha)
{
    auto bits = std::uint32_t(m.toInt32(rgb));
    return argb(alpha, bits >> 16, bits >> 8, bits);
}

// Coordinates stay where 32-bit twips reach, as in shapes from files.
constexpr double kMaxCoordinate = 107374182;

std::optional<Point> pointArgs(NativeCall& c, std::size_t first)
{
    double x = c.number(first), y = c.number(first + 1);
    if (!std::isfinite(x) || !std::isfinite(y))
        return std::nullopt;
    return Point{std::clamp(x, -kMaxCoordinate, kMaxCoordinate) * kTwips,
                 std::clamp(y, -kMaxCoordinate, kMaxCoordinate) * kTwips};
}

Value moveTo(NativeCall& c)
{
    if (auto self = clip(c))
        if (auto p = pointArgs(c, 0))
            c.machine.playback().drawingOf(*self).moveTo(*p);
    return {};
}

Value lineTo(NativeCall& c)
{
    if (auto self = clip(c))
        if (auto p = pointArgs(c, 0))
            c.machine.playback().drawingOf(*self).lineTo(*p);
    return {};
}

Value curveTo(NativeCall& c)
{
    auto self = clip(c);
    if (!self)
        return {};
    auto control = pointArgs(c, 0), to = pointArgs(c, 2);
    if (control && to)
        c.machine.playback().drawingOf(*self).curveTo(*control, *to);
    return {};
}

CapStyle capFrom(const std::u16string& name)
{
    if (name == u"none")
        return CapStyle::None;
    return name == u"square" ? CapStyle::Square : CapStyle::Round;
}

JoinStyle joinFrom(const std::u16string& name)
{
    if (name == u"miter")
        return JoinStyle::Miter;
    return name == u"bevel" ? JoinStyle::Bevel : JoinStyle::Round;
}

// lineStyle(thickness, rgb, alpha, pixelHinting, noScale, caps, joints, miterLimit);
// without a thickness the pen draws nothing.
Value lineStyle(NativeCall& c)
{
    auto self = clip(c);
    if (!self)
        return {};
    double thickness = c.number(0);
    std::optional<LineStyle> style;
    if (!c.arg(0).isUndefined() && !std::isnan(thickness)) {
        style.emplace();
        style->width = std::clamp(thickness, 0.0, 255.0) * kTwips;
        style->color = colorFrom(c.machine, c.arg(1), alphaFrom(c.number(2), 255));
        if (c.args.size() > 5) {
            CapStyle cap = capFrom(c.string(5));
            style->startCap = style->endCap = cap;
        }
        if (c.args.size() > 6)
            style->join = joinFrom(c.string(6));
        if (double limit = c.number(7); c.args.size() > 7 && !std::isnan(limit))
            style->miterLimit = std::clamp(limit, 1.0, 255.0);
    }
    c.machine.playback().drawingOf(*self).lineStyle(style);
    return {};
}

// beginFill(rgb, alpha); without a colour the outline drawn next is not filled.
Value beginFill(NativeCall& c)
{
    auto self = clip(c);
    if (!self)
        return {};
    Drawing& drawing = c.machine.playback().drawingOf(*self);
    if (c.arg(0).isUndefined()) {
        drawing.endFill();
        return {};
    }
    Fill fill;
    fill.color = colorFrom(c.machine, c.arg(0), alphaFrom(c.number(1), 255));
    drawing.beginFill(fill);
    return {};
}

Value endFill(NativeCall& c)
{
    if (auto self = clip(c))
        c.machine.playback().drawingOf(*self).endFill();
    return {};
}

Value clear(NativeCall& c)
{
    if (auto self = clip(c))
        c.machine.playback().drawingOf(*self).clear();
    return {};
}

std::vector<Value> elementsOf(Machine& m, const Value& array)
{
    std::vector<Value> out;
    if (!array.isObject())
        return out;
    double length = m.toNumber(m.get(array, u"length"));
    if (!(length > 0))
        return out;
    auto n = std::size_t(std::min(length, double(kMaxStops + 1)));
    for (std::size_t i = 0; i < n; ++i)
        out.push_back(m.get(array, numberToString(double(i))));
    return out;
}

double member(Machine& m, const Value& object, const char16_t* name)
{
    double n = m.toNumber(m.get(object, name));
    return std::isfinite(n) ? std::clamp(n, -kMaxCoordinate, kMaxCoordinate) : 0;
}

// The gradient's unit square (-1..1 both ways) in the clip's twips, from the
// script's matrix: a box {matrixType: "box", x, y, w, h, r}, a geometry matrix
// {a, b, c, d, tx, ty} over the 1638.4-pixel gradient square, or the older
// 3x3 form {a, b, d, e, g, h} over a unit square.
std::optional<Matrix> gradientMatrix(Machine& m, const Value& given)
{
    if (!given.isObject())
        return std::nullopt;
    Matrix toPixels;
    if (m.toString(m.get(given, u"matrixType")) == u"box") {
        double w = member(m, given, u"w"), h = member(m, given, u"h"), r = member(m, given, u"r");
        double cos = std::cos(r), sin = std::sin(r);
        toPixels = {w / 2 * cos, h / 2 * sin, -w / 2 * sin, h / 2 * cos, member(m, given, u"x") + w / 2,
                    member(m, given, u"y") + h / 2};
    } else if (m.has(given, u"tx")) {
        Matrix geometry{member(m, given, u"a"), member(m, given, u"b"), member(m, given, u"c"),
                        member(m, given, u"d"), member(m, given, u"tx"), member(m, given, u"ty")};
        toPixels = geometry * Matrix::scaling(819.2, 819.2);
    } else {
        Matrix legacy{member(m, given, u"a"), member(m, given, u"b"), member(m, given, u"d"),
                      member(m, given, u"e"), member(m, given, u"g"), member(m, given, u"h")};
        toPixels = legacy * Matrix::scaling(0.5, 0.5);
    }
    return Matrix::scaling(kTwips, kTwips) * toPixels;
}

Argb meanColor(const std::vector<GradientStop>& stops)
{
    double sum[4] = {};
    for (const auto& stop : stops) {
        sum[0] += alphaOf(stop.color);
        sum[1] += redOf(stop.color);
        sum[2] += greenOf(stop.color);
        sum[3] += blueOf(stop.color);
    }
    auto n = double(stops.size());
    return argb(unsigned(sum[0] / n), unsigned(sum[1] / n), unsigned(sum[2] / n), unsigned(sum[3] / n));
}

// The gradient of (type, colors, alphas, ratios, matrix, spreadMethod,
// interpolationMethod, focalPointRatio), as beginGradientFill and
// lineGradientStyle take it. Arrays of different lengths, an unknown type or a
// missing matrix give none.
std::optional<Fill> gradientFrom(NativeCall& c)
{
    Machine& m = c.machine;
    std::u16string type = c.string(0);
    auto colors = elementsOf(m, c.arg(1)), alphas = elementsOf(m, c.arg(2)), ratios = elementsOf(m, c.arg(3));
    auto matrix = gradientMatrix(m, c.arg(4));
    bool valid = (type == u"linear" || type == u"radial") && !colors.empty() && colors.size() <= kMaxStops &&
                 alphas.size() == colors.size() && ratios.size() == colors.size() && matrix;
    if (!valid)
        return std::nullopt;
    Fill fill;
    fill.kind = type == u"linear" ? Fill::Kind::LinearGradient : Fill::Kind::RadialGradient;
    double previous = 0;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        double ratio = m.toNumber(ratios[i]);
        // Stops never go back: a smaller ratio repeats the one before.
        previous = std::isnan(ratio) ? previous : std::max(previous, std::clamp(ratio, 0.0, 255.0));
        fill.stops.push_back({previous / 255, colorFrom(m, colors[i], alphaFrom(m.toNumber(alphas[i]), 255))});
    }
    fill.color = meanColor(fill.stops);
    fill.gradientToPixels = *matrix;
    std::u16string spread = c.string(5);
    fill.spread = spread == u"reflect" ? Spread::Reflect : spread == u"repeat" ? Spread::Repeat : Spread::Pad;
    fill.linearRgb = c.string(6) == u"linearRGB";
    double focus = c.number(7);
    if (fill.kind == Fill::Kind::RadialGradient && std::isfinite(focus) && focus != 0) {
        fill.kind = Fill::Kind::FocalGradient;
        fill.focus = std::clamp(focus, -1.0, 1.0);
    }
    return fill;
}

// beginGradientFill(...): without a valid gradient the next outline is not filled.
Value beginGradientFill(NativeCall& c)
{
    auto self = clip(c);
    if (!self)
        return {};
    Drawing& drawing = c.machine.playback().drawingOf(*self);
    if (auto fill = gradientFrom(c))
        drawing.beginFill(*fill);
    else
        drawing.endFill();
    return {};
}

// lineGradientStyle(...): the pen set by lineStyle paints with the gradient
// from now on; without a pen it does nothing.
Value lineGradientStyle(NativeCall& c)
{
    auto self = clip(c);
    if (!self)
        return {};
    Drawing& drawing = c.machine.playback().drawingOf(*self);
    auto pen = drawing.pen();
    if (!pen)
        return {};
    pen->fill = gradientFrom(c);
    drawing.lineStyle(pen);
    return {};
}

const BitmapData* pictureOf(const Value& v)
{
    ActionObject* o = v.toObject();
    return o && o->bitmap && !o->bitmap->disposed() ? o->bitmap.get() : nullptr;
}

// A fill of the picture with its pixels placed by `toPixels` (script pixels).
Fill bitmapFill(const BitmapData& picture, const Matrix& toPixels, bool repeat, bool smooth)
{
    Fill fill;
    fill.kind = Fill::Kind::Bitmap;
    fill.bitmap = picture.pixels();
    fill.bitmapToPixels = Matrix::scaling(kTwips, kTwips) * toPixels;
    fill.repeat = repeat;
    fill.smooth = smooth;
    return fill;
}

// beginBitmapFill(bitmap, matrix, repeat = true, smoothing = false); the
// matrix is a geometry matrix {a, b, c, d, tx, ty} in pixels.
Value beginBitmapFill(NativeCall& c)
{
    auto self = clip(c);
    if (!self)
        return {};
    Machine& m = c.machine;
    Drawing& drawing = m.playback().drawingOf(*self);
    const BitmapData* picture = pictureOf(c.arg(0));
    if (!picture) {
        drawing.endFill();
        return {};
    }
    Matrix place;
    if (Value given = c.arg(1); given.isObject()) {
        auto entry = [&](const char16_t* name, double fallback) {
            return m.has(given, name) ? member(m, given, name) : fallback;
        };
        place = {entry(u"a", 1), entry(u"b", 0), entry(u"c", 0), entry(u"d", 1), entry(u"tx", 0), entry(u"ty", 0)};
    }
    bool repeat = c.args.size() < 3 || m.toBoolean(c.arg(2));
    drawing.beginFill(bitmapFill(*picture, place, repeat, m.toBoolean(c.arg(3))));
    return {};
}

// attachBitmap(bitmap, depth, pixelSnapping, smoothing): a new clip at the
// depth, drawing the picture at its origin one pixel to a pixel.
Value attachBitmap(NativeCall& c)
{
    auto self = clip(c);
    const BitmapData* picture = pictureOf(c.arg(0));
    double depth = c.number(1);
    if (!self || !picture || !(depth >= -16384 && depth <= 2130706428))
        return {};
    Playback& playback = c.machine.playback();
    auto holder = playback.createEmptyClip(*self, u"", int(depth));
    if (!holder)
        return {};
    Drawing& drawing = playback.drawingOf(*holder);
    drawing.beginFill(bitmapFill(*picture, {}, false, c.machine.toBoolean(c.arg(3))));
    double w = picture->width() * kTwips, h = picture->height() * kTwips;
    drawing.moveTo({0, 0});
    drawing.lineTo({w, 0});
    drawing.lineTo({w, h});
    drawing.lineTo({0, h});
    drawing.endFill();
    return {};
}

} // namespace

void installClipDrawing(Machine& m, ActionObject* proto)
{
    m.method(proto, u"lineStyle", lineStyle);
    m.method(proto, u"beginFill", beginFill);
    m.method(proto, u"beginGradientFill", beginGradientFill);
    m.method(proto, u"beginBitmapFill", beginBitmapFill);
    m.method(proto, u"lineGradientStyle", lineGradientStyle);
    m.method(proto, u"attachBitmap", attachBitmap);
    m.method(proto, u"endFill", endFill);
    m.method(proto, u"moveTo", moveTo);
    m.method(proto, u"lineTo", lineTo);
    m.method(proto, u"curveTo", curveTo);
    m.method(proto, u"clear", clear);
}

} // namespace lumbra::movie
