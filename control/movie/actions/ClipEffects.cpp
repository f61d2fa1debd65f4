// The clip properties of version 8 that the renderer draws: filters,
// blendMode, cacheAsBitmap, opaqueBackground and scale9Grid. They are
// accessors of MovieClip.prototype (and TextField.prototype), hidden from
// older movies, where the names are ordinary variables.
#include "control/movie/Playback.h"
#include "control/movie/actions/Accessors.h"
#include "control/movie/actions/FilterValues.h"
#include "control/movie/actions/GeometryValues.h"

#include <cmath>

namespace lumbra::movie {

namespace {

// Names by mode number, from 1.
constexpr std::u16string_view kBlendNames[] = {u"normal",     u"layer",    u"multiply", u"screen", u"lighten",
                                               u"darken",     u"difference", u"add",    u"subtract", u"invert",
                                               u"alpha",      u"erase",    u"overlay",  u"hardlight"};

// Runs `f` on the clip or text field that is `this`, then marks the stage for drawing.
template <typename F> Value change(NativeCall& c, F f)
{
    if (auto object = c.thisValue.toClip()) {
        f(*object);
        c.machine.playback().dirty = true;
    }
    return {};
}

// A new array of new filter objects: changing it changes nothing until it is assigned.
Value filters(NativeCall& c)
{
    auto object = c.thisValue.toClip();
    if (!object)
        return {};
    std::vector<Value> out;
    for (const Filter& filter : object->effects.filters)
        out.push_back(filterValue(c.machine, filter));
    return Value(c.machine.newArray(std::move(out)));
}

// An array of filter objects; what is not a filter is left out. null or undefined clears.
Value setFilters(NativeCall& c)
{
    ActionObject* array = c.arg(0).toObject();
    bool clears = c.arg(0).isNullish();
    if (!clears && (!array || array->kind != ActionObject::Kind::Array))
        return {};
    std::vector<Filter> list;
    if (array)
        for (const Value& element : std::vector<Value>(array->elements))
            if (auto filter = filterFrom(c.machine, element))
                list.push_back(std::move(*filter));
    return change(c, [&](DisplayObject& o) { o.effects.filters = std::move(list); });
}

Value blendMode(NativeCall& c)
{
    auto object = c.thisValue.toClip();
    if (!object)
        return {};
    return Value(std::u16string(kBlendNames[int(object->effects.blend) - 1]));
}

// A name, or the mode's number; anything else leaves the mode as it is.
Value setBlendMode(NativeCall& c)
{
    std::optional<BlendMode> mode;
    Value v = c.arg(0);
    if (v.isNumber()) {
        double n = v.toNumber(c.machine.version());
        if (n >= 1 && n <= double(std::size(kBlendNames)))
            mode = BlendMode(int(n));
    } else if (v.isString()) {
        for (std::size_t i = 0; i < std::size(kBlendNames); ++i)
            if (kBlendNames[i] == v.toString())
                mode = BlendMode(int(i) + 1);
    }
    if (!mode)
        return {};
    return change(c, [&](DisplayObject& o) { o.effects.blend = *mode; });
}

// Filters cache a clip as a bitmap whatever the script set.
Value cacheAsBitmap(NativeCall& c)
{
    auto object = c.thisValue.toClip();
    if (!object)
        return {};
    return object->cacheAsBitmap || !object->effects.filters.empty();
}

Value setCacheAsBitmap(NativeCall& c)
{
    bool on = c.machine.toBoolean(c.arg(0));
    return change(c, [&](DisplayObject& o) { o.cacheAsBitmap = on; });
}

// A colour 0xRRGGBB, or undefined for none.
Value opaqueBackground(NativeCall& c)
{
    auto object = c.thisValue.toClip();
    if (!object || !object->opaqueBackground)
        return {};
    return double(*object->opaqueBackground & 0xFFFFFF);
}

Value setOpaqueBackground(NativeCall& c)
{
    std::optional<Argb> color;
    if (!c.arg(0).isNullish())
        color = 0xFF000000u | (std::uint32_t(c.machine.toInt32(c.arg(0))) & 0xFFFFFF);
    return change(c, [&](DisplayObject& o) { o.opaqueBackground = color; });
}

Value scale9Grid(NativeCall& c)
{
    auto object = c.thisValue.toClip();
    if (!object || !object->scale9Grid)
        return {};
    return rectangleValue(c.machine, *object->scale9Grid);
}

// A rectangle with finite edges, or null or undefined for none.
Value setScale9Grid(NativeCall& c)
{
    std::optional<Rect> grid;
    if (!c.arg(0).isNullish()) {
        grid = rectangleFrom(c.machine, c.arg(0));
        if (!grid || !std::isfinite(grid->xMin + grid->yMin + grid->xMax + grid->yMax))
            return {};
    }
    return change(c, [&](DisplayObject& o) { o.scale9Grid = grid; });
}

} // namespace

void installClipEffects(Machine& m)
{
    constexpr unsigned flags = DontEnum | DontDelete | OnlyFrom8;
    for (ActionObject* proto : {m.prototypes().clip, m.prototypes().textField, m.prototypes().button}) {
        if (!proto)
            continue;
        defineAccessor(m, proto, u"filters", filters, setFilters, flags);
        defineAccessor(m, proto, u"blendMode", blendMode, setBlendMode, flags);
        defineAccessor(m, proto, u"cacheAsBitmap", cacheAsBitmap, setCacheAsBitmap, flags);
        defineAccessor(m, proto, u"opaqueBackground", opaqueBackground, setOpaqueBackground, flags);
        defineAccessor(m, proto, u"scale9Grid", scale9Grid, setScale9Grid, flags);
    }
}

} // namespace lumbra::movie
