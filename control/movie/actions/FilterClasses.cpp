// flash.filters: BitmapFilter and the nine filter classes. A filter object
// keeps its settings in its elements, in the order of the class's member list
// below (the constructor's arguments in the same order), each checked and
// clamped as it is set; its primitive is the index of its class. The members
// are accessors on the class's prototype, so every assignment passes the
// checks, and arrays and points read back as copies: changing one in place
// changes nothing until it is assigned again.
#include "control/movie/BitmapData.h"
#include "control/movie/actions/Accessors.h"
#include "control/movie/actions/Construction.h"
#include "control/movie/actions/FilterValues.h"
#include "control/movie/actions/GeometryValues.h"
#include "control/movie/actions/Packages.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <span>
#include <string>
#include <type_traits>

namespace lumbra::movie {

namespace {

// How a member's value is checked.
enum class Field {
    Number, Blur, Quality, Alpha, Strength, Angle, Color, Flag, BevelType, Colors, Alphas, Ratios,
    ColorMatrix, Kernel, KernelSize, Map, MapPoint, Channel, MapMode
};

struct Member {
    const char16_t* name;
    Field field;
    double initial = 0;
    const char16_t* text = nullptr; // the initial value of a text member
};

enum ClassId { DropShadow, Blur, Glow, Bevel, GradientGlow, GradientBevel, ColorMatrix, Convolution, DisplacementMap };

constexpr Member kDropShadow[] = {
    {u"distance", Field::Number, 4}, {u"angle", Field::Angle, 45},  {u"color", Field::Color, 0},
    {u"alpha", Field::Alpha, 1},     {u"blurX", Field::Blur, 4},    {u"blurY", Field::Blur, 4},
    {u"strength", Field::Strength, 1}, {u"quality", Field::Quality, 1}, {u"inner", Field::Flag, 0},
    {u"knockout", Field::Flag, 0},   {u"hideObject", Field::Flag, 0}};
constexpr Member kBlur[] = {{u"blurX", Field::Blur, 4}, {u"blurY", Field::Blur, 4}, {u"quality", Field::Quality, 1}};
constexpr Member kGlow[] = {
    {u"color", Field::Color, 0xFF0000}, {u"alpha", Field::Alpha, 1},     {u"blurX", Field::Blur, 6},
    {u"blurY", Field::Blur, 6},         {u"strength", Field::Strength, 2}, {u"quality", Field::Quality, 1},
    {u"inner", Field::Flag, 0},         {u"knockout", Field::Flag, 0}};
constexpr Member kBevel[] = {
    {u"distance", Field::Number, 4},      {u"angle", Field::Angle, 45},         {u"highlightColor", Field::Color, 0xFFFFFF},
    {u"highlightAlpha", Field::Alpha, 1}, {u"shadowColor", Field::Color, 0},    {u"shadowAlpha", Field::Alpha, 1},
    {u"blurX", Field::Blur, 4},           {u"blurY", Field::Blur, 4},           {u"strength", Field::Strength, 1},
    {u"quality", Field::Quality, 1},      {u"type", Field::BevelType, 0, u"inner"}, {u"knockout", Field::Flag, 0}};
constexpr Member kGradient[] = {
    {u"distance", Field::Number, 4}, {u"angle", Field::Angle, 45},     {u"colors", Field::Colors},
    {u"alphas", Field::Alphas},      {u"ratios", Field::Ratios},       {u"blurX", Field::Blur, 4},
    {u"blurY", Field::Blur, 4},      {u"strength", Field::Strength, 1}, {u"quality", Field::Quality, 1},
    {u"type", Field::BevelType, 0, u"inner"}, {u"knockout", Field::Flag, 0}};
constexpr Member kColorMatrix[] = {{u"matrix", Field::ColorMatrix}};
constexpr Member kConvolution[] = {
    {u"matrixX", Field::KernelSize, 0}, {u"matrixY", Field::KernelSize, 0}, {u"matrix", Field::Kernel},
    {u"divisor", Field::Number, 1},     {u"bias", Field::Number, 0},        {u"preserveAlpha", Field::Flag, 1},
    {u"clamp", Field::Flag, 1},         {u"color", Field::Color, 0},        {u"alpha", Field::Alpha, 0}};
constexpr Member kDisplacementMap[] = {
    {u"mapBitmap", Field::Map},         {u"mapPoint", Field::MapPoint},     {u"componentX", Field::Channel, 0},
    {u"componentY", Field::Channel, 0}, {u"scaleX", Field::Number, 0},      {u"scaleY", Field::Number, 0},
    {u"mode", Field::MapMode, 0, u"wrap"}, {u"color", Field::Color, 0},    {u"alpha", Field::Alpha, 0}};

struct FilterClass {
    const char16_t* name;
    std::span<const Member> members;
};

constexpr FilterClass kClasses[] = {
    {u"DropShadowFilter", kDropShadow},   {u"BlurFilter", kBlur},
    {u"GlowFilter", kGlow},               {u"BevelFilter", kBevel},
    {u"GradientGlowFilter", kGradient},   {u"GradientBevelFilter", kGradient},
    {u"ColorMatrixFilter", kColorMatrix}, {u"ConvolutionFilter", kConvolution},
    {u"DisplacementMapFilter", kDisplacementMap}};
constexpr int kClassCount = int(std::size(kClasses));
// An accessor's function knows its member as class * kSlots + index.
constexpr int kSlots = 64;

std::u16string pathOf(int id) { return u"flash.filters." + std::u16string(kClasses[id].name); }

// The class of a filter object, or -1.
int classOf(const ActionObject* o)
{
    if (!o || o->kind != ActionObject::Kind::Plain || !o->primitive.isNumber())
        return -1;
    double id = o->primitive.toNumber(8);
    if (!(id >= 0 && id < kClassCount) || o->elements.size() != kClasses[int(id)].members.size())
        return -1;
    return int(id);
}

// --- checking values ---------------------------------------------------------------

double clamped(double v, double low, double high) { return std::isnan(v) ? low : std::clamp(v, low, high); }
double finiteOrZero(double v) { return std::isfinite(v) ? v : 0; }

// Arrays are kept as private array objects that scripts never hold.
template <typename F> Value numbers(Machine& m, const Value& from, const Value& previous, F each)
{
    ActionObject* array = from.toObject();
    if (!array || array->kind != ActionObject::Kind::Array)
        return previous;
    std::vector<Value> out;
    for (const Value& v : array->elements)
        out.emplace_back(each(m.toNumber(v)));
    return Value(m.newArray(std::move(out)));
}

bool oneOf(const std::u16string& text, std::initializer_list<std::u16string_view> names)
{
    return std::ranges::find(names, text) != names.end();
}

Value checked(Machine& m, const Member& member, const Value& v, const Value& previous)
{
    auto n = [&] { return m.toNumber(v); };
    switch (member.field) {
    case Field::Number: return n();
    case Field::Blur: return clamped(n(), 0, 255);
    case Field::Quality: return std::trunc(clamped(n(), 0, 15));
    case Field::Alpha: return clamped(n(), 0, 1);
    case Field::Strength: return clamped(n(), 0, 255);
    case Field::Angle: return std::isfinite(n()) ? std::fmod(n(), 360.0) : 0.0;
    case Field::Color: return double(std::uint32_t(m.toInt32(v)) & 0xFFFFFF);
    case Field::Flag: return m.toBoolean(v);
    case Field::Channel: return double(m.toInt32(v));
    case Field::KernelSize: return std::trunc(clamped(n(), 0, 15));
    case Field::BevelType:
    case Field::MapMode: {
        std::u16string text = m.toString(v);
        bool known = member.field == Field::BevelType ? oneOf(text, {u"inner", u"outer", u"full"})
                                                      : oneOf(text, {u"wrap", u"clamp", u"ignore", u"color"});
        return known ? Value(text) : previous;
    }
    case Field::Colors:
        return numbers(m, v, previous, [&m](double c) { return double(std::uint32_t(m.toInt32(Value(c))) & 0xFFFFFF); });
    case Field::Alphas: return numbers(m, v, previous, [](double a) { return clamped(a, 0, 1); });
    case Field::Ratios: return numbers(m, v, previous, [](double r) { return clamped(r, 0, 255); });
    case Field::Kernel: return numbers(m, v, previous, finiteOrZero);
    case Field::ColorMatrix: {
        Value out = numbers(m, v, previous, finiteOrZero);
        if (ActionObject* array = out.toObject())
            array->elements.resize(20, Value(0.0)); // four rows of five
        return out;
    }
    case Field::MapPoint: {
        auto p = pointFrom(m, v);
        return p ? pointValue(m, *p) : previous;
    }
    case Field::Map: return v.isObject() ? v : Value();
    }
    return previous;
}

Value initial(Machine& m, const Member& member)
{
    switch (member.field) {
    case Field::Colors:
    case Field::Alphas:
    case Field::Ratios:
    case Field::Kernel: return Value(m.newArray());
    case Field::ColorMatrix: {
        std::vector<Value> identity(20, Value(0.0));
        for (std::size_t i = 0; i < 20; i += 6)
            identity[i] = 1.0;
        return Value(m.newArray(std::move(identity)));
    }
    case Field::MapPoint: return pointValue(m, {});
    case Field::Map: return {};
    case Field::Flag: return member.initial != 0;
    case Field::BevelType:
    case Field::MapMode: return Value(member.text);
    default: return member.initial;
    }
}

// A copy for a reader: arrays and points are never shared with the filter.
Value copyOf(Machine& m, const Value& v)
{
    ActionObject* o = v.toObject();
    if (!o || o->bitmap) // a map picture is handed back itself
        return v;
    if (o->kind == ActionObject::Kind::Array)
        return Value(m.newArray(o->elements));
    if (auto p = pointFrom(m, v))
        return pointValue(m, *p);
    return v;
}

// --- the classes -------------------------------------------------------------------------

// Absent and undefined arguments leave the member at its initial value.
template <int Id> Value construct(NativeCall& c)
{
    if (!setsUpThis(c))
        return {};
    ActionObject* self = c.self();
    self->primitive = double(Id);
    self->elements.clear();
    const auto& members = kClasses[Id].members;
    for (std::size_t i = 0; i < members.size(); ++i) {
        Value value = initial(c.machine, members[i]);
        if (i < c.args.size() && !c.args[i].isNullish())
            value = checked(c.machine, members[i], c.args[i], value);
        self->elements.push_back(std::move(value));
    }
    return {};
}

constexpr NativeFunction kConstructors[] = {construct<0>, construct<1>, construct<2>, construct<3>, construct<4>,
                                            construct<5>, construct<6>, construct<7>, construct<8>};
static_assert(std::size(kConstructors) == kClassCount);

// The member an accessor stands for, on a filter object of its class.
Value* slot(NativeCall& c)
{
    int id = classOf(c.self());
    if (id < 0 || !c.callee)
        return nullptr;
    // The callee is the getter or setter; its pair knows the member.
    double code = c.callee->primitive.toNumber(8);
    if (!(code >= 0) || int(code) / kSlots != id)
        return nullptr;
    return &c.self()->elements[std::size_t(int(code) % kSlots)];
}

Value getMember(NativeCall& c)
{
    Value* v = slot(c);
    return v ? copyOf(c.machine, *v) : Value();
}

Value setMember(NativeCall& c)
{
    if (Value* v = slot(c)) {
        double code = c.callee->primitive.toNumber(8);
        const Member& member = kClasses[int(code) / kSlots].members[std::size_t(int(code) % kSlots)];
        *v = checked(c.machine, member, c.arg(0), *v);
    }
    return {};
}

// BitmapFilter.clone: a new filter of the same class with the same settings.
Value clone(NativeCall& c)
{
    int id = classOf(c.self());
    if (id < 0)
        return {};
    Value copy = newInstance(c.machine, pathOf(id));
    ActionObject* o = copy.toObject();
    if (classOf(o) != id)
        return copy;
    const auto& from = c.self()->elements;
    for (std::size_t i = 0; i < from.size(); ++i)
        o->elements[i] = copyOf(c.machine, from[i]);
    return copy;
}

Value bitmapFilter(NativeCall&) { return {}; }

// --- to and from the drawn form ----------------------------------------------------------

constexpr double kDegrees = 180 / std::numbers::pi;

struct Reader {
    Machine& m;
    const std::vector<Value>& e;

    // Drawing takes no NaN or infinity: they count as 0.
    double number(std::size_t i) const { return finiteOrZero(e[i].toNumber(m.version())); }
    bool flag(std::size_t i) const { return e[i].toBoolean(m.version()); }
    int passes(std::size_t i) const { return int(number(i)); }
    double radians(std::size_t i) const { return number(i) / kDegrees; }
    Argb color(std::size_t rgb, std::size_t alpha) const
    {
        return argb(unsigned(std::lround(number(alpha) * 255)), 0, 0, 0) | (std::uint32_t(number(rgb)) & 0xFFFFFF);
    }
    std::vector<double> list(std::size_t i) const
    {
        std::vector<double> out;
        if (ActionObject* array = e[i].toObject())
            for (const Value& v : array->elements)
                out.push_back(finiteOrZero(v.toNumber(m.version())));
        return out;
    }
    // colors, alphas and ratios at i, i + 1, i + 2; the shortest list counts.
    std::vector<RampStop> ramp(std::size_t i) const
    {
        auto colors = list(i), alphas = list(i + 1), ratios = list(i + 2);
        std::vector<RampStop> out;
        for (std::size_t k = 0; k < std::min({colors.size(), alphas.size(), ratios.size()}); ++k)
            out.push_back({unsigned(ratios[k]), argb(unsigned(std::lround(alphas[k] * 255)), 0, 0, 0) |
                                                    (std::uint32_t(colors[k]) & 0xFFFFFF)});
        return out;
    }
};

ShadowFilter shadowFrom(const Reader& r, int id)
{
    ShadowFilter f;
    if (id == DropShadow) {
        f.distance = r.number(0), f.angle = r.radians(1), f.color = r.color(2, 3);
        f.blurX = r.number(4), f.blurY = r.number(5), f.strength = r.number(6), f.passes = r.passes(7);
        f.inner = r.flag(8), f.knockout = r.flag(9), f.hideObject = r.flag(10);
    } else if (id == Glow) {
        f.color = r.color(0, 1), f.blurX = r.number(2), f.blurY = r.number(3), f.strength = r.number(4);
        f.passes = r.passes(5), f.inner = r.flag(6), f.knockout = r.flag(7), f.glow = true;
    } else {
        f.distance = r.number(0), f.angle = r.radians(1), f.ramp = r.ramp(2);
        f.blurX = r.number(5), f.blurY = r.number(6), f.strength = r.number(7), f.passes = r.passes(8);
        f.inner = r.e[9].toString() == u"inner", f.knockout = r.flag(10), f.glow = true;
        f.color = 0; // an empty ramp shows nothing
    }
    return f;
}

BevelFilter bevelFrom(const Reader& r, int id)
{
    BevelFilter f;
    std::size_t typeAt = 10, knockoutAt = 11;
    if (id == Bevel) {
        f.distance = r.number(0), f.angle = r.radians(1);
        f.highlightColor = r.color(2, 3), f.shadowColor = r.color(4, 5);
        f.blurX = r.number(6), f.blurY = r.number(7), f.strength = r.number(8), f.passes = r.passes(9);
    } else {
        f.distance = r.number(0), f.angle = r.radians(1), f.ramp = r.ramp(2);
        f.highlightColor = f.ramp.empty() ? 0 : f.ramp.front().color;
        f.shadowColor = f.ramp.empty() ? 0 : f.ramp.back().color;
        f.blurX = r.number(5), f.blurY = r.number(6), f.strength = r.number(7), f.passes = r.passes(8);
        typeAt = 9, knockoutAt = 10;
    }
    std::u16string type = r.e[typeAt].toString();
    f.inner = type == u"inner";
    f.onTop = type == u"full";
    f.knockout = r.flag(knockoutAt);
    return f;
}

Value array(Machine& m, const std::vector<double>& values)
{
    std::vector<Value> out(values.begin(), values.end());
    return Value(m.newArray(std::move(out)));
}

// colors, alphas, ratios of a ramp.
std::array<Value, 3> rampValues(Machine& m, const std::vector<RampStop>& ramp)
{
    std::vector<double> colors, alphas, ratios;
    for (const RampStop& stop : ramp) {
        colors.push_back(stop.color & 0xFFFFFF);
        alphas.push_back(alphaOf(stop.color) / 255.0);
        ratios.push_back(stop.ratio);
    }
    return {array(m, colors), array(m, alphas), array(m, ratios)};
}

double rgbOf(Argb c) { return c & 0xFFFFFF; }
double alphaFraction(Argb c) { return alphaOf(c) / 255.0; }

} // namespace

std::optional<Filter> filterFrom(Machine& m, const Value& value)
{
    ActionObject* o = value.toObject();
    int id = classOf(o);
    if (id < 0)
        return std::nullopt;
    Reader r{m, o->elements};
    switch (id) {
    case DropShadow:
    case Glow:
    case GradientGlow: return shadowFrom(r, id);
    case Bevel:
    case GradientBevel: return bevelFrom(r, id);
    case Blur: return BlurFilter{r.number(0), r.number(1), r.passes(2)};
    case ColorMatrix: {
        ColorMatrixFilter f;
        auto values = r.list(0);
        for (std::size_t i = 0; i < f.m.size() && i < values.size(); ++i)
            f.m[i] = values[i];
        return f;
    }
    case Convolution: {
        ConvolutionFilter f;
        f.columns = int(r.number(0)), f.rows = int(r.number(1));
        f.matrix = r.list(2);
        f.matrix.resize(std::size_t(f.columns * f.rows), 0.0); // missing weights count as 0
        f.divisor = r.number(3), f.bias = r.number(4), f.preserveAlpha = r.flag(5), f.clamp = r.flag(6);
        f.defaultColor = r.color(7, 8);
        return f;
    }
    case DisplacementMap: {
        DisplacementMapFilter f;
        if (ActionObject* map = o->elements[0].toObject(); map && map->bitmap) {
            f.picture = map->bitmap;
            f.map = map->bitmap->pixels();
        }
        f.mapPoint = pointFrom(m, o->elements[1]).value_or(Point{});
        f.mapPoint = {finiteOrZero(f.mapPoint.x), finiteOrZero(f.mapPoint.y)};
        // Channels are kept as 32-bit integers.
        f.componentX = unsigned(int(r.number(2))), f.componentY = unsigned(int(r.number(3)));
        f.scaleX = r.number(4), f.scaleY = r.number(5);
        std::u16string mode = o->elements[6].toString();
        using Mode = DisplacementMapFilter::Mode;
        f.mode = mode == u"clamp" ? Mode::Clamp : mode == u"ignore" ? Mode::Ignore : mode == u"color" ? Mode::Color : Mode::Wrap;
        f.color = r.color(7, 8);
        return f;
    }
    default: return std::nullopt;
    }
}

Value filterValue(Machine& m, const Filter& filter)
{
    return std::visit(
        [&](const auto& f) -> Value {
            using F = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<F, BlurFilter>) {
                const Value args[] = {f.blurX, f.blurY, f.passes};
                return newInstance(m, pathOf(Blur), args);
            } else if constexpr (std::is_same_v<F, ShadowFilter>) {
                if (!f.ramp.empty()) {
                    auto [colors, alphas, ratios] = rampValues(m, f.ramp);
                    const Value args[] = {f.distance, f.angle * kDegrees, colors, alphas, ratios, f.blurX, f.blurY,
                                          f.strength, f.passes, f.inner ? u"inner" : u"outer", f.knockout};
                    return newInstance(m, pathOf(GradientGlow), args);
                }
                if (f.glow) {
                    const Value args[] = {rgbOf(f.color), alphaFraction(f.color), f.blurX, f.blurY,
                                          f.strength, f.passes, f.inner, f.knockout};
                    return newInstance(m, pathOf(Glow), args);
                }
                const Value args[] = {f.distance, f.angle * kDegrees, rgbOf(f.color), alphaFraction(f.color),
                                      f.blurX, f.blurY, f.strength, f.passes, f.inner, f.knockout, f.hideObject};
                return newInstance(m, pathOf(DropShadow), args);
            } else if constexpr (std::is_same_v<F, BevelFilter>) {
                const char16_t* type = f.onTop ? u"full" : f.inner ? u"inner" : u"outer";
                if (!f.ramp.empty()) {
                    auto [colors, alphas, ratios] = rampValues(m, f.ramp);
                    const Value args[] = {f.distance, f.angle * kDegrees, colors, alphas, ratios, f.blurX, f.blurY,
                                          f.strength, f.passes, type, f.knockout};
                    return newInstance(m, pathOf(GradientBevel), args);
                }
                const Value args[] = {f.distance, f.angle * kDegrees, rgbOf(f.highlightColor),
                                      alphaFraction(f.highlightColor), rgbOf(f.shadowColor),
                                      alphaFraction(f.shadowColor), f.blurX, f.blurY, f.strength, f.passes, type,
                                      f.knockout};
                return newInstance(m, pathOf(Bevel), args);
            } else if constexpr (std::is_same_v<F, ColorMatrixFilter>) {
                const Value args[] = {array(m, std::vector<double>(f.m.begin(), f.m.end()))};
                return newInstance(m, pathOf(ColorMatrix), args);
            } else if constexpr (std::is_same_v<F, DisplacementMapFilter>) {
                Value map;
                if (f.picture) {
                    ActionObject* picture = m.heap().make(ActionObject::Kind::Plain, m.prototypes().bitmapData);
                    picture->bitmap = f.picture;
                    map = Value(picture);
                }
                static constexpr const char16_t* modes[] = {u"wrap", u"clamp", u"ignore", u"color"};
                const Value args[] = {map, pointValue(m, f.mapPoint), double(f.componentX), double(f.componentY),
                                      f.scaleX, f.scaleY, modes[int(f.mode)], rgbOf(f.color), alphaFraction(f.color)};
                return newInstance(m, pathOf(DisplacementMap), args);
            } else {
                const Value args[] = {f.columns, f.rows, array(m, f.matrix), f.divisor, f.bias,
                                      f.preserveAlpha, f.clamp, rgbOf(f.defaultColor), alphaFraction(f.defaultColor)};
                return newInstance(m, pathOf(Convolution), args);
            }
        },
        filter);
}

void installFilters(Machine& m)
{
    ActionObject* package = packageObject(m, u"flash.filters");
    ActionObject* base = m.newObject();
    package->set(u"BitmapFilter", Value(m.newFunction(bitmapFilter, base)));
    m.method(base, u"clone", clone);
    for (int id = 0; id < kClassCount; ++id) {
        ActionObject* proto = m.heap().make(ActionObject::Kind::Plain, base);
        package->set(kClasses[id].name, Value(m.newFunction(kConstructors[id], proto)));
        const auto& members = kClasses[id].members;
        for (std::size_t i = 0; i < members.size(); ++i) {
            ActionObject* pair = defineAccessor(m, proto, members[i].name, getMember, setMember);
            for (const Value& function : pair->elements)
                function.toObject()->primitive = double(id * kSlots + int(i));
        }
    }
}

} // namespace lumbra::movie
