// flash.display.BitmapData: pictures scripts make, change pixel by pixel and
// draw clips into. Rectangles, points, matrices and colour transforms come as
// any object with the members of the flash.geom classes; a matrix or colour
// transform member that is missing counts as the identity's.
//
// A picture whose size was refused, or that was disposed, answers -1 for its
// sizes and ignores every change. Work over many pixels is charged to the
// running actions' step budget, so a loop of fills cannot freeze the player:
// once the budget cannot cover an operation, the operation is not done.
#include "control/movie/BitmapData.h"
#include "control/movie/Playback.h"
#include "control/movie/RasterCanvas.h"
#include "control/movie/Renderer.h"
#include "control/movie/TextField.h"
#include "control/movie/actions/Accessors.h"
#include "control/movie/actions/FilterValues.h"
#include "control/movie/actions/GeometryValues.h"
#include "control/movie/actions/Machine.h"
#include "control/movie/actions/Packages.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

// Pixels of work that cost one step of the budget.
constexpr std::size_t kPixelsPerStep = 256;
// Outline points drawn that cost one step.
constexpr std::size_t kPointsPerStep = 64;

BitmapData* pictureOf(const Value& v)
{
    ActionObject* o = v.toObject();
    return o && o->bitmap && !o->bitmap->disposed() ? o->bitmap.get() : nullptr;
}

// Script numbers as pixel coordinates: truncated, and kept where sums of a
// few of them still fit an int.
int toPixel(double v)
{
    if (std::isnan(v))
        return 0;
    return int(std::clamp(v, -1e8, 1e8));
}

std::optional<PixelRect> pixelRectFrom(Machine& m, const Value& v)
{
    auto r = rectangleFrom(m, v);
    if (!r || !std::isfinite(r->xMin) || !std::isfinite(r->yMin) || !std::isfinite(r->xMax) || !std::isfinite(r->yMax))
        return std::nullopt;
    int x0 = toPixel(r->xMin), y0 = toPixel(r->yMin);
    return PixelRect{x0, y0, toPixel(x0 + std::max(r->width(), 0.0)), toPixel(y0 + std::max(r->height(), 0.0))};
}

struct PixelPoint {
    int x = 0, y = 0;
};

PixelPoint pixelPointFrom(Machine& m, const Value& v)
{
    auto p = pointFrom(m, v);
    return p ? PixelPoint{toPixel(p->x), toPixel(p->y)} : PixelPoint{};
}

// A member as given, or the identity's when missing or not finite.
double orIdentity(double given, double identity)
{
    return std::isfinite(given) ? std::clamp(given, -1e9, 1e9) : identity;
}

Matrix placeFrom(Machine& m, const Value& v)
{
    Matrix x = matrixFrom(m, v).value_or(Matrix{});
    return {orIdentity(x.a, 1), orIdentity(x.b, 0), orIdentity(x.c, 0),
            orIdentity(x.d, 1), orIdentity(x.tx, 0), orIdentity(x.ty, 0)};
}

ColorTransform colorFrom(Machine& m, const Value& v)
{
    ColorTransform t = colorTransformFrom(m, v).value_or(ColorTransform{});
    for (double* mult : {&t.rMult, &t.gMult, &t.bMult, &t.aMult})
        *mult = orIdentity(*mult, 1);
    for (double* add : {&t.rAdd, &t.gAdd, &t.bAdd, &t.aAdd})
        *add = orIdentity(*add, 0);
    return t;
}

BlendMode blendFrom(Machine& m, const Value& v)
{
    static constexpr const char16_t* names[] = {u"normal",   u"layer",    u"multiply",  u"screen", u"lighten",
                                                u"darken",   u"difference", u"add",     u"subtract", u"invert",
                                                u"alpha",    u"erase",    u"overlay",   u"hardlight"};
    if (v.isString()) {
        for (std::size_t i = 0; i < std::size(names); ++i)
            if (v.toString() == names[i])
                return BlendMode(i + 1);
        return BlendMode::Normal;
    }
    double n = m.toNumber(v);
    return n >= 1 && n <= 14 ? BlendMode(int(n)) : BlendMode::Normal;
}

std::uint32_t bits(Machine& m, const Value& v) { return std::uint32_t(m.toInt32(v)); }

// Colours scripts read are signed 32-bit numbers, as the player's integers are.
Value colorValue(Argb c) { return double(std::int32_t(c)); }

Value rectangleValue(Machine& m, const PixelRect& r)
{
    return rectangleValue(m, Rect{double(r.x0), double(r.y0), double(r.x1), double(r.y1)});
}

Value bitmapValue(Machine& m, std::shared_ptr<BitmapData> picture)
{
    if (!picture)
        return {};
    ActionObject* o = m.heap().make(ActionObject::Kind::Plain, m.prototypes().bitmapData);
    o->bitmap = std::move(picture);
    return Value(o);
}

bool charge(NativeCall& c, std::size_t pixels) { return c.machine.playback().chargeWork(pixels, kPixelsPerStep); }

std::size_t area(const PixelRect& r) { return r.empty() ? 0 : std::size_t(r.width()) * std::size_t(r.height()); }

// The picture `this` is, when it can be changed; the rest charged for `work` pixels.
BitmapData* target(NativeCall& c, std::size_t work = 0)
{
    BitmapData* self = pictureOf(c.thisValue);
    return self && charge(c, work) ? self : nullptr;
}

// The source, rectangle and destination point of the operations that copy.
std::optional<BitmapData::Transfer> transferFrom(NativeCall& c)
{
    BitmapData* source = pictureOf(c.arg(0));
    auto rect = pixelRectFrom(c.machine, c.arg(1));
    if (!source || !rect)
        return std::nullopt;
    PixelPoint at = pixelPointFrom(c.machine, c.arg(2));
    return BitmapData::Transfer{*source, *rect, at.x, at.y};
}

// --- construction and sizes ------------------------------------------------------

// new BitmapData(width, height, transparent = true, fillColor = 0xFFFFFFFF)
Value construct(NativeCall& c)
{
    ActionObject* self = c.self();
    if (!c.constructing || !self)
        return {};
    double w = c.number(0), h = c.number(1);
    bool transparent = c.args.size() < 3 || c.machine.toBoolean(c.arg(2));
    Argb fill = c.args.size() < 4 ? 0xFFFFFFFFu : bits(c.machine, c.arg(3));
    if (w >= 1 && w <= BitmapData::kMaxSide && h >= 1 && h <= BitmapData::kMaxSide &&
        charge(c, std::size_t(w) * std::size_t(h)))
        self->bitmap = BitmapData::make(int(w), int(h), transparent, fill, c.machine.bitmapPixels());
    return {};
}

template <int (BitmapData::*Size)() const> Value size(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    return self ? double((self->*Size)()) : -1.0;
}

Value transparent(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    return self ? Value(self->transparent()) : Value(-1.0);
}

Value rectangle(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    return self ? rectangleValue(c.machine, self->bounds()) : Value(-1.0);
}

Value dispose(NativeCall& c)
{
    if (BitmapData* self = pictureOf(c.thisValue)) {
        self->dispose();
        c.machine.playback().dirty = true;
    }
    return {};
}

Value clone(NativeCall& c)
{
    BitmapData* self = target(c);
    return self && charge(c, area(self->bounds())) ? bitmapValue(c.machine, self->clone()) : Value();
}

// loadBitmap(linkageId): a picture of the movie exported under that name.
Value loadBitmap(NativeCall& c)
{
    const Movie& movie = c.machine.playback().movie();
    auto id = movie.exported(c.string(0));
    auto it = id ? movie.pictures.find(*id) : movie.pictures.end();
    if (it == movie.pictures.end() || !charge(c, area({0, 0, it->second->width(), it->second->height()})))
        return {};
    const PixelBuffer& pixels = *it->second;
    bool transparent = std::any_of(pixels.data(), pixels.data() + area({0, 0, pixels.width(), pixels.height()}),
                                   [](Argb p) { return alphaOf(p) != 0xFF; });
    return bitmapValue(c.machine, BitmapData::fromPixels(pixels, transparent, c.machine.bitmapPixels()));
}

// --- single pixels ---------------------------------------------------------------

Value getPixel(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    if (!self)
        return -1.0;
    return double(self->pixel32(toPixel(c.number(0)), toPixel(c.number(1))) & 0xFFFFFFu);
}

Value getPixel32(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    if (!self)
        return -1.0;
    return colorValue(self->pixel32(toPixel(c.number(0)), toPixel(c.number(1))));
}

Value setPixel(NativeCall& c)
{
    if (BitmapData* self = target(c))
        self->setPixel(toPixel(c.number(0)), toPixel(c.number(1)), bits(c.machine, c.arg(2)));
    return {};
}

Value setPixel32(NativeCall& c)
{
    if (BitmapData* self = target(c))
        self->setPixel32(toPixel(c.number(0)), toPixel(c.number(1)), bits(c.machine, c.arg(2)));
    return {};
}

// --- areas -------------------------------------------------------------------------

Value fillRect(NativeCall& c)
{
    auto rect = pixelRectFrom(c.machine, c.arg(0));
    if (!rect)
        return {};
    if (BitmapData* self = target(c, area(intersect(*rect, {0, 0, BitmapData::kMaxSide, BitmapData::kMaxSide}))))
        self->fillRect(*rect, bits(c.machine, c.arg(1)));
    return {};
}

Value floodFill(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    if (self && charge(c, area(self->bounds())))
        self->floodFill(toPixel(c.number(0)), toPixel(c.number(1)), bits(c.machine, c.arg(2)));
    return {};
}

Value colorTransform(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    auto rect = pixelRectFrom(c.machine, c.arg(0));
    if (self && rect && charge(c, area(intersect(*rect, self->bounds()))))
        self->colorTransform(*rect, colorFrom(c.machine, c.arg(1)));
    return {};
}

Value scroll(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    if (self && charge(c, area(self->bounds())))
        self->scroll(toPixel(c.number(0)), toPixel(c.number(1)));
    return {};
}

// noise(randomSeed, low = 0, high = 255, channelOptions = 7, grayScale = false)
Value noise(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    if (!self || !charge(c, area(self->bounds())))
        return {};
    auto byteArg = [&](std::size_t i, unsigned fallback) {
        double n = c.number(i);
        return c.args.size() > i && !std::isnan(n) ? unsigned(std::clamp(n, 0.0, 255.0)) : fallback;
    };
    unsigned channels = c.args.size() > 3 ? bits(c.machine, c.arg(3)) : 7u;
    self->noise(c.machine.toInt32(c.arg(0)), byteArg(1, 0), byteArg(2, 255), channels,
                c.machine.toBoolean(c.arg(4)));
    return {};
}

// perlinNoise(baseX, baseY, numOctaves, randomSeed, stitch, fractalNoise,
// channelOptions = 7, grayScale = false, offsets = null)
Value perlinNoise(NativeCall& c)
{
    Machine& m = c.machine;
    BitmapData::PerlinSettings p;
    p.baseX = c.number(0), p.baseY = c.number(1);
    p.octaves = std::clamp(m.toInt32(c.arg(2)), 0, BitmapData::kMaxOctaves);
    p.seed = m.toInt32(c.arg(3));
    p.stitch = m.toBoolean(c.arg(4)), p.fractal = m.toBoolean(c.arg(5));
    if (c.args.size() > 6)
        p.channels = bits(m, c.arg(6));
    p.gray = m.toBoolean(c.arg(7));
    if (ActionObject* offsets = c.arg(8).toObject(); offsets && offsets->kind == ActionObject::Kind::Array)
        for (std::size_t i = 0; i < offsets->elements.size() && i < std::size_t(p.octaves); ++i)
            p.offsets.push_back(pointFrom(m, offsets->elements[i]).value_or(Point{}));
    BitmapData* self = pictureOf(c.thisValue);
    // Each octave costs a pass per channel.
    if (self && charge(c, area(self->bounds()) * std::size_t(std::max(p.octaves, 1)) * 4))
        self->perlinNoise(p);
    return {};
}

// getColorBoundsRect(mask, color, findColor = true)
Value getColorBoundsRect(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    if (!self || !charge(c, area(self->bounds())))
        return {};
    bool find = c.args.size() < 3 || c.machine.toBoolean(c.arg(2));
    return rectangleValue(c.machine, self->colorBounds(bits(c.machine, c.arg(0)), bits(c.machine, c.arg(1)), find));
}

// --- copies from a source ------------------------------------------------------------

// copyPixels(source, sourceRect, destPoint, alphaBitmap, alphaPoint, mergeAlpha = false)
Value copyPixels(NativeCall& c)
{
    auto t = transferFrom(c);
    BitmapData* self = t ? target(c, area(intersect(t->rect, t->source.bounds()))) : nullptr;
    if (!self)
        return {};
    const BitmapData* alpha = pictureOf(c.arg(3));
    PixelPoint at = pixelPointFrom(c.machine, c.arg(4));
    self->copyPixels(*t, alpha, at.x, at.y, c.machine.toBoolean(c.arg(5)));
    return {};
}

// copyChannel(source, sourceRect, destPoint, sourceChannel, destChannel)
Value copyChannel(NativeCall& c)
{
    auto t = transferFrom(c);
    BitmapData* self = t ? target(c, area(intersect(t->rect, t->source.bounds()))) : nullptr;
    auto channel = [&](std::size_t i) {
        auto n = bits(c.machine, c.arg(i));
        return n == ChannelRed || n == ChannelGreen || n == ChannelBlue || n == ChannelAlpha ? n : 0u;
    };
    unsigned from = channel(3), to = channel(4);
    if (self && from && to)
        self->copyChannel(*t, from, to);
    return {};
}

// merge(source, sourceRect, destPoint, redMult, greenMult, blueMult, alphaMult)
Value merge(NativeCall& c)
{
    auto t = transferFrom(c);
    BitmapData* self = t ? target(c, area(intersect(t->rect, t->source.bounds()))) : nullptr;
    if (!self)
        return {};
    std::array<unsigned, 4> multipliers{};
    for (unsigned k = 0; k < 4; ++k) {
        double n = c.number(k == 0 ? 6 : 2 + k); // alpha is given last
        multipliers[k] = std::isnan(n) ? 0 : unsigned(std::clamp(n, 0.0, 256.0));
    }
    self->merge(*t, multipliers);
    return {};
}

// paletteMap(source, sourceRect, destPoint, redArray, greenArray, blueArray, alphaArray)
Value paletteMap(NativeCall& c)
{
    auto t = transferFrom(c);
    BitmapData* self = t ? target(c, area(intersect(t->rect, t->source.bounds()))) : nullptr;
    if (!self)
        return {};
    Machine& m = c.machine;
    std::array<std::optional<std::array<std::uint32_t, 256>>, 4> tables;
    for (unsigned k = 0; k < 4; ++k) {
        ActionObject* array = c.arg(k == 0 ? 6 : 2 + k).toObject();
        if (!array || array->kind != ActionObject::Kind::Array)
            continue;
        auto& table = tables[k].emplace();
        for (std::size_t i = 0; i < 256; ++i)
            table[i] = i < array->elements.size() ? bits(m, array->elements[i]) : 0;
    }
    self->paletteMap(*t, tables);
    return {};
}

// threshold(source, sourceRect, destPoint, operation, threshold, color = 0,
// mask = 0xFFFFFFFF, copySource = false): how many pixels passed.
Value threshold(NativeCall& c)
{
    auto t = transferFrom(c);
    BitmapData* self = t ? target(c, area(intersect(t->rect, t->source.bounds()))) : nullptr;
    if (!self)
        return {};
    Machine& m = c.machine;
    std::uint32_t mask = c.args.size() > 6 ? bits(m, c.arg(6)) : 0xFFFFFFFFu;
    auto passed = self->threshold(*t, c.string(3), bits(m, c.arg(4)), bits(m, c.arg(5)), mask, m.toBoolean(c.arg(7)));
    return passed ? Value(double(*passed)) : Value(0.0);
}

std::size_t pointsOf(const ShapeDef& shape)
{
    std::size_t n = 0;
    for (const auto* paths : {&shape.fillPaths, &shape.linePaths})
        for (const Path& path : *paths)
            for (const Contour& contour : path)
                n += contour.size();
    return n;
}

// What drawing a clip costs beyond its pixels: the points of every outline
// under it (a glyph counting as one), so drawing a huge drawing into a tiny
// picture in a loop still spends the budget.
std::size_t outlinePoints(const DisplayObject& top)
{
    std::size_t n = 0;
    std::vector<const DisplayObject*> pending{&top};
    while (!pending.empty()) {
        const DisplayObject& object = *pending.back();
        pending.pop_back();
        ++n;
        if (const ShapeDef* shape = object.shape())
            n += pointsOf(*shape);
        if (const MorphShapeDef* morph = object.morph())
            n += morph->startRecords.size() + morph->endRecords.size();
        if (object.drawing)
            n += pointsOf(object.drawing->shape());
        if (object.textField)
            n += object.textField->text().size();
        for (const auto& [depth, child] : object.children())
            pending.push_back(child.get());
    }
    return n;
}

// --- drawing ---------------------------------------------------------------------------

// draw(source, matrix, colorTransform, blendMode, clipRect, smoothing): a
// clip as it would show untransformed, or another picture, drawn in.
Value draw(NativeCall& c)
{
    BitmapData* self = target(c);
    if (!self)
        return {};
    Machine& m = c.machine;
    auto clip = c.arg(0).toClip();
    BitmapData* source = clip ? nullptr : pictureOf(c.arg(0));
    if ((!clip && !source) || !charge(c, area(self->bounds())) ||
        (clip && !m.playback().chargeWork(outlinePoints(*clip), kPointsPerStep)))
        return {};
    Matrix matrix = placeFrom(m, c.arg(1));
    ColorTransform color = colorFrom(m, c.arg(2));
    RasterCanvas layer(self->width(), self->height());
    if (clip) {
        renderContent(*clip, matrix * Matrix::scaling(1 / kTwips, 1 / kTwips), color, layer);
    } else {
        Fill fill;
        fill.kind = Fill::Kind::Bitmap;
        fill.bitmap = source->pixels();
        fill.bitmapToPixels = matrix;
        fill.smooth = m.toBoolean(c.arg(5));
        fill.bitmapColor = color;
        Contour outline;
        double w = source->width(), h = source->height();
        for (Point p : {Point{0, 0}, Point{w, 0}, Point{w, h}, Point{0, h}})
            outline.push_back(matrix.apply(p));
        layer.fillPath({outline}, fill);
    }
    PixelRect within = self->bounds();
    if (c.arg(4).isObject()) {
        auto given = pixelRectFrom(m, c.arg(4));
        within = given ? *given : PixelRect{};
    }
    self->composite(layer.pixels(), within, blendFrom(m, c.arg(3)));
    m.playback().dirty = true;
    return {};
}

// The rectangle a filter grows a source rectangle to; what applyFilter changes.
PixelRect filterRect(const PixelRect& r, const Filter& filter)
{
    Growth g = growthOf(filter);
    auto at = [](long long v) { return int(std::clamp(v, -1000000000LL, 1000000000LL)); };
    return {at((long long)r.x0 - g.left), at((long long)r.y0 - g.top), at((long long)r.x1 + g.right),
            at((long long)r.y1 + g.bottom)};
}

// generateFilterRect(sourceRect, filter): the rectangle applyFilter would
// change for the rectangle, whatever this picture's size.
Value generateFilterRect(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    auto rect = pixelRectFrom(c.machine, c.arg(0));
    auto filter = filterFrom(c.machine, c.arg(1));
    if (!self || !rect || !filter)
        return {};
    return rectangleValue(c.machine, filterRect(*rect, *filter));
}

// applyFilter(source, sourceRect, destPoint, filter): the source's rectangle
// passed through the filter (on its own, nothing around it) replaces the
// pixels at the point, over the rectangle the filter grows it to. 0 when
// done, -1 for something that is not a filter.
Value applyFilter(NativeCall& c)
{
    auto t = transferFrom(c);
    auto filter = filterFrom(c.machine, c.arg(3));
    BitmapData* self = pictureOf(c.thisValue);
    if (!t || !filter || !self)
        return -1.0;
    PixelRect src = intersect(t->rect, t->source.bounds());
    // What the filter reaches, in the source's coordinates, cut to what lands here.
    int shiftX = t->dx - t->rect.x0, shiftY = t->dy - t->rect.y0;
    PixelRect here{self->bounds().x0 - shiftX, self->bounds().y0 - shiftY, self->bounds().x1 - shiftX,
                   self->bounds().y1 - shiftY};
    PixelRect reach = intersect(filterRect(src, *filter), here);
    // Blurs cost a few passes over every pixel.
    if (src.empty() || reach.empty() || !charge(c, 4 * area(reach)))
        return src.empty() || reach.empty() ? 0.0 : -1.0;
    PixelBuffer layer(reach.width(), reach.height());
    const PixelBuffer& from = *t->source.pixels();
    PixelRect inside = intersect(src, reach);
    for (int y = inside.y0; y < inside.y1; ++y)
        std::copy(from.row(y) + inside.x0, from.row(y) + inside.x1, layer.row(y - reach.y0) + (inside.x0 - reach.x0));
    movie::applyFilter(layer, *filter, {double(reach.x0 - t->rect.x0), double(reach.y0 - t->rect.y0)});
    self->replace(layer, reach.x0 + shiftX, reach.y0 + shiftY);
    c.machine.playback().dirty = true;
    return 0.0;
}

// --- comparing ---------------------------------------------------------------------------

// hitTest(firstPoint, firstAlphaThreshold, secondObject, secondBitmapPoint,
// secondAlphaThreshold): the second object a point, a rectangle or a picture.
Value hitTest(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    if (!self)
        return {};
    Machine& m = c.machine;
    PixelPoint at = pixelPointFrom(m, c.arg(0));
    auto alphaArg = [&](std::size_t i) {
        double n = c.number(i);
        return std::isnan(n) ? 0u : unsigned(std::clamp(n, 0.0, 255.0));
    };
    unsigned threshold = alphaArg(1);
    Value second = c.arg(2);
    if (BitmapData* other = pictureOf(second)) {
        PixelPoint otherAt = pixelPointFrom(m, c.arg(3));
        if (!charge(c, area(self->bounds())))
            return {};
        return self->overlaps(threshold, *other, otherAt.x - at.x, otherAt.y - at.y,
                              c.args.size() > 4 ? alphaArg(4) : 1u);
    }
    if (!second.isObject())
        return {};
    if (m.has(second, u"width")) {
        auto rect = pixelRectFrom(m, second);
        if (!rect || !charge(c, area(self->bounds())))
            return false;
        return self->opaqueWithin({rect->x0 - at.x, rect->y0 - at.y, rect->x1 - at.x, rect->y1 - at.y}, threshold);
    }
    PixelPoint p = pixelPointFrom(m, second);
    return self->opaqueWithin({p.x - at.x, p.y - at.y, p.x - at.x + 1, p.y - at.y + 1}, threshold);
}

// compare(other): 0 when equal, -3 / -4 for other widths / heights, -1 / -2
// when this / the other is not a usable picture, else a picture of the differences.
Value compare(NativeCall& c)
{
    BitmapData* self = pictureOf(c.thisValue);
    if (!self)
        return -1.0;
    BitmapData* other = pictureOf(c.arg(0));
    if (!other)
        return -2.0;
    if (!charge(c, area(self->bounds())))
        return {};
    switch (self->compare(*other)) {
    case BitmapData::Comparison::Equal:
        return 0.0;
    case BitmapData::Comparison::OtherWidth:
        return -3.0;
    case BitmapData::Comparison::OtherHeight:
        return -4.0;
    case BitmapData::Comparison::Different:
        break;
    }
    return bitmapValue(c.machine, self->difference(*other));
}

} // namespace

void installBitmapData(Machine& m)
{
    ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, m.prototypes().object);
    m.prototypes().bitmapData = proto;
    ActionObject* display = packageObject(m, u"flash.display");
    ActionObject* constructor = m.newFunction(construct, proto);
    display->set(u"BitmapData", Value(constructor), DontEnum);
    m.method(constructor, u"loadBitmap", loadBitmap);
    defineAccessor(m, proto, u"width", size<&BitmapData::width>);
    defineAccessor(m, proto, u"height", size<&BitmapData::height>);
    defineAccessor(m, proto, u"transparent", transparent);
    defineAccessor(m, proto, u"rectangle", rectangle);
    static constexpr std::pair<const char16_t*, NativeFunction> methods[] = {
        {u"getPixel", getPixel},
        {u"getPixel32", getPixel32},
        {u"setPixel", setPixel},
        {u"setPixel32", setPixel32},
        {u"fillRect", fillRect},
        {u"floodFill", floodFill},
        {u"colorTransform", colorTransform},
        {u"scroll", scroll},
        {u"noise", noise},
        {u"getColorBoundsRect", getColorBoundsRect},
        {u"copyPixels", copyPixels},
        {u"copyChannel", copyChannel},
        {u"merge", merge},
        {u"paletteMap", paletteMap},
        {u"threshold", threshold},
        {u"draw", draw},
        {u"applyFilter", applyFilter},
        {u"generateFilterRect", generateFilterRect},
        {u"perlinNoise", perlinNoise},
        {u"hitTest", hitTest},
        {u"compare", compare},
        {u"clone", clone},
        {u"dispose", dispose},
    };
    for (auto [name, native] : methods)
        m.method(proto, name, native);
}

} // namespace lumbra::movie
