#include "control/movie/Filters.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace lumbra::movie {

namespace {

// Blur sizes beyond this many pixels are taken as this: the reference caps them too.
constexpr double kMaxBlur = 255;

unsigned byte(double v) { return unsigned(std::lround(std::clamp(v, 0.0, 255.0))); }

// One plane of floats, as blurs and shadows work on alpha alone.
struct Plane {
    int width, height;
    std::vector<float> v;
    Plane(int w, int h) : width(w), height(h), v(std::size_t(w) * std::size_t(h), 0.0f) {}
    float& at(int x, int y) { return v[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    float get(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return 0;
        return v[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// Box average of `size` samples along one line, zero outside. An even box
// has one sample more on one side: `flip` takes it on the other, so passes
// alternating it do not drift the picture.
void boxLine(float* data, int count, std::ptrdiff_t step, int size, bool flip, std::vector<float>& scratch)
{
    if (size <= 1)
        return;
    scratch.assign(std::size_t(count), 0.0f);
    int before = (size - 1) / 2, after = size - 1 - before;
    if (flip)
        std::swap(before, after);
    double sum = 0;
    for (int i = -before; i < count + after; ++i) {
        if (i + after < count && i + after >= 0)
            sum += data[(i + after) * step];
        if (i >= 0 && i < count)
            scratch[std::size_t(i)] = float(sum / size);
        int leaving = i - before;
        if (leaving >= 0 && leaving < count)
            sum -= data[leaving * step];
    }
    for (int i = 0; i < count; ++i)
        data[i * step] = scratch[std::size_t(i)];
}

int boxSize(double blur) { return int(std::lround(std::clamp(blur, 0.0, kMaxBlur))); }

void blurPlane(Plane& p, double blurX, double blurY, int passes)
{
    std::vector<float> scratch;
    int sx = boxSize(blurX), sy = boxSize(blurY);
    for (int pass = 0; pass < std::clamp(passes, 1, 15); ++pass) {
        bool flip = pass % 2 == 1;
        for (int y = 0; y < p.height; ++y)
            boxLine(&p.at(0, y), p.width, 1, sx, flip, scratch);
        for (int x = 0; x < p.width; ++x)
            boxLine(&p.at(x, 0), p.height, p.width, sy, flip, scratch);
    }
}

Plane alphaPlane(const PixelBuffer& layer)
{
    Plane p(layer.width(), layer.height());
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x)
            p.at(x, y) = float(alphaOf(layer.at(x, y)) / 255.0);
    return p;
}

Plane shifted(const Plane& p, double dx, double dy)
{
    Plane out(p.width, p.height);
    int ix = int(std::lround(std::clamp(dx, -1e6, 1e6))), iy = int(std::lround(std::clamp(dy, -1e6, 1e6)));
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            out.at(x, y) = p.get(x - ix, y - iy);
    return out;
}

Argb tint(Argb color, double alpha)
{
    return premultiply(argb(byte(alphaOf(color) * std::clamp(alpha, 0.0, 1.0)), redOf(color), greenOf(color), blueOf(color)));
}

// The ramp's colour at s (0..1), straight alpha, mixed between the stops around it.
Argb rampAt(const std::vector<RampStop>& ramp, double s)
{
    double at = std::clamp(s, 0.0, 1.0) * 255;
    if (at <= ramp.front().ratio)
        return ramp.front().color;
    for (std::size_t i = 1; i < ramp.size(); ++i) {
        const RampStop &low = ramp[i - 1], &high = ramp[i];
        if (at > high.ratio)
            continue;
        double t = high.ratio > low.ratio ? (at - low.ratio) / (high.ratio - low.ratio) : 1;
        auto mix = [&](unsigned a, unsigned b) { return byte(a + (double(b) - a) * t); };
        return argb(mix(alphaOf(low.color), alphaOf(high.color)), mix(redOf(low.color), redOf(high.color)),
                    mix(greenOf(low.color), greenOf(high.color)), mix(blueOf(low.color), blueOf(high.color)));
    }
    return ramp.back().color;
}

// A shadow's or glow's colour where its blurred alpha (strength applied) is
// s, premultiplied, and covering `cover` of the pixel.
Argb shadeOf(const ShadowFilter& f, double s, double cover)
{
    if (f.ramp.empty())
        return tint(f.color, s * cover);
    return tint(rampAt(f.ramp, s), cover);
}

// One channel at a time, so the work takes a single plane beside the layer.
void blurFilter(PixelBuffer& layer, const BlurFilter& f)
{
    Plane plane(layer.width(), layer.height());
    // Alpha first: the colours are kept within it as they come back.
    for (int shift : {24, 16, 8, 0}) {
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x)
                plane.at(x, y) = float((layer.at(x, y) >> shift) & 0xFF);
        blurPlane(plane, f.blurX, f.blurY, f.passes);
        for (int y = 0; y < layer.height(); ++y)
            for (int x = 0; x < layer.width(); ++x) {
                Argb& p = layer.at(x, y);
                unsigned v = byte(plane.at(x, y));
                if (shift != 24)
                    v = std::min(v, alphaOf(p));
                p = (p & ~(Argb(0xFF) << shift)) | (Argb(v) << shift);
            }
    }
}

void shadowFilter(PixelBuffer& layer, const ShadowFilter& f)
{
    Plane alpha = alphaPlane(layer);
    Plane shade = alpha;
    if (f.inner)
        for (float& v : shade.v)
            v = 1 - v;
    shade = shifted(shade, f.distance * std::cos(f.angle), f.distance * std::sin(f.angle));
    if (f.inner) // outside the picture counts as the inverse of nothing: full
        for (int y = 0; y < shade.height; ++y)
            for (int x = 0; x < shade.width; ++x) {
                double sx = x - f.distance * std::cos(f.angle), sy = y - f.distance * std::sin(f.angle);
                if (sx < 0 || sy < 0 || sx >= shade.width || sy >= shade.height)
                    shade.at(x, y) = 1;
            }
    blurPlane(shade, f.blurX, f.blurY, f.passes);
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            Argb src = layer.at(x, y);
            double a = alpha.at(x, y);
            double s = std::min(1.0, shade.at(x, y) * f.strength);
            Argb out;
            if (f.inner) {
                Argb inside = shadeOf(f, s, a);
                out = f.knockout ? inside : blendOver(src, inside);
            } else {
                Argb behind = shadeOf(f, s, f.knockout ? 1 - a : 1);
                if (f.knockout)
                    out = behind;
                else if (f.hideObject)
                    out = behind;
                else
                    out = blendOver(behind, src);
            }
            layer.at(x, y) = out;
        }
}

// The colour a bevel gives a pixel where the light side leads the shadow side
// by `lead` (-1..1, strength applied), before its coverage.
Argb bevelColor(const BevelFilter& f, double lead)
{
    if (!f.ramp.empty()) // full highlight at ratio 0, the flat base at 128, full shadow at 255
        return rampAt(f.ramp, (128 - lead * 128) / 255);
    return lead > 0 ? tint(f.highlightColor, lead) : tint(f.shadowColor, -lead);
}

void bevelFilter(PixelBuffer& layer, const BevelFilter& f)
{
    Plane alpha = alphaPlane(layer);
    Plane soft = alpha;
    blurPlane(soft, f.blurX, f.blurY, f.passes);
    double dx = f.distance * std::cos(f.angle), dy = f.distance * std::sin(f.angle);
    Plane lit = shifted(soft, dx, dy), dark = shifted(soft, -dx, -dy);
    soft = Plane(0, 0);
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            double a = alpha.at(x, y);
            double lead = std::clamp((dark.at(x, y) - lit.at(x, y)) * f.strength, -1.0, 1.0);
            // Outside the shape the bevel reaches only as far as the blurred edge does.
            double reach = std::min(1.0, std::max(lit.at(x, y), dark.at(x, y)) * f.strength);
            double where = f.inner ? a : f.onTop ? reach : reach * (1 - a);
            Argb color = bevelColor(f, lead);
            Argb effect = f.ramp.empty() ? scaled(color, byte(where * 255)) : tint(color, where);
            Argb src = layer.at(x, y);
            if (f.knockout)
                layer.at(x, y) = effect;
            else if (f.inner || f.onTop)
                layer.at(x, y) = blendOver(src, effect);
            else
                layer.at(x, y) = blendOver(effect, src);
        }
}

void colorMatrixFilter(PixelBuffer& layer, const ColorMatrixFilter& f)
{
    const auto& m = f.m;
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            Argb c = unpremultiply(layer.at(x, y));
            double in[4] = {double(redOf(c)), double(greenOf(c)), double(blueOf(c)), double(alphaOf(c))};
            double out[4];
            for (int row = 0; row < 4; ++row) {
                const double* k = &m[std::size_t(row) * 5];
                out[row] = k[0] * in[0] + k[1] * in[1] + k[2] * in[2] + k[3] * in[3] + k[4];
            }
            layer.at(x, y) = premultiply(argb(byte(out[3]), byte(out[0]), byte(out[1]), byte(out[2])));
        }
}

void convolutionFilter(PixelBuffer& layer, const ConvolutionFilter& f)
{
    if (f.columns <= 0 || f.rows <= 0 || f.matrix.size() != std::size_t(f.columns) * std::size_t(f.rows))
        return;
    double divisor = f.divisor == 0 ? 1 : f.divisor;
    PixelBuffer source = layer;
    int cx = f.columns / 2, cy = f.rows / 2;
    Argb outside = f.defaultColor;
    for (int y = 0; y < layer.height(); ++y)
        for (int x = 0; x < layer.width(); ++x) {
            double sum[4] = {0, 0, 0, 0};
            for (int j = 0; j < f.rows; ++j)
                for (int i = 0; i < f.columns; ++i) {
                    int sx = x + i - cx, sy = y + j - cy;
                    Argb c;
                    if (sx >= 0 && sy >= 0 && sx < layer.width() && sy < layer.height())
                        c = unpremultiply(source.at(sx, sy));
                    else if (f.clamp)
                        c = unpremultiply(source.at(std::clamp(sx, 0, layer.width() - 1), std::clamp(sy, 0, layer.height() - 1)));
                    else
                        c = outside;
                    double k = f.matrix[std::size_t(j) * std::size_t(f.columns) + std::size_t(i)];
                    sum[0] += k * redOf(c);
                    sum[1] += k * greenOf(c);
                    sum[2] += k * blueOf(c);
                    sum[3] += k * alphaOf(c);
                }
            Argb own = unpremultiply(source.at(x, y));
            unsigned a = f.preserveAlpha ? alphaOf(own) : byte(sum[3] / divisor + f.bias);
            layer.at(x, y) = premultiply(argb(a, byte(sum[0] / divisor + f.bias), byte(sum[1] / divisor + f.bias),
                                              byte(sum[2] / divisor + f.bias)));
        }
}

// The straight value 0..255 of one channel of a map pixel; 128 (no move) for
// anything but a single channel bit.
unsigned componentOf(Argb straight, unsigned channel)
{
    switch (channel) {
    case 1: return redOf(straight);
    case 2: return greenOf(straight);
    case 4: return blueOf(straight);
    case 8: return alphaOf(straight);
    default: return 128;
    }
}

int wrapped(int v, int size)
{
    v %= size;
    return v < 0 ? v + size : v;
}

void displacementFilter(PixelBuffer& layer, const DisplacementMapFilter& f, Point origin)
{
    if (!f.map || f.map->empty())
        return;
    const PixelBuffer source = layer;
    const PixelBuffer& map = *f.map;
    int w = layer.width(), h = layer.height();
    int ox = int(std::lround(std::clamp(f.mapPoint.x - origin.x, -1e8, 1e8)));
    int oy = int(std::lround(std::clamp(f.mapPoint.y - origin.y, -1e8, 1e8)));
    double scaleX = std::clamp(f.scaleX, -1e6, 1e6), scaleY = std::clamp(f.scaleY, -1e6, 1e6);
    Argb outside = premultiply(f.color);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int mx = x - ox, my = y - oy;
            if (mx < 0 || my < 0 || mx >= map.width() || my >= map.height())
                continue;
            Argb m = unpremultiply(map.at(mx, my));
            double moveX = (double(componentOf(m, f.componentX)) - 128) * scaleX / 256;
            double moveY = (double(componentOf(m, f.componentY)) - 128) * scaleY / 256;
            int sx = int(std::lround(x + moveX)), sy = int(std::lround(y + moveY));
            Argb out;
            if (sx >= 0 && sy >= 0 && sx < w && sy < h)
                out = source.at(sx, sy);
            else if (f.mode == DisplacementMapFilter::Mode::Wrap)
                out = source.at(wrapped(sx, w), wrapped(sy, h));
            else if (f.mode == DisplacementMapFilter::Mode::Clamp)
                out = source.at(std::clamp(sx, 0, w - 1), std::clamp(sy, 0, h - 1));
            else if (f.mode == DisplacementMapFilter::Mode::Ignore)
                out = source.at(x, y);
            else
                out = outside;
            layer.at(x, y) = out;
        }
}

// How far one pass of a box of `blur` pixels spreads a pixel to either side.
int blurReach(double blur, int passes) { return std::clamp(passes, 1, 15) * (boxSize(blur) / 2); }

Growth offsetGrowth(double blurX, double blurY, int passes, double distance, double angle, bool both)
{
    int gx = blurReach(blurX, passes), gy = blurReach(blurY, passes);
    // Offsets are whole pixels once rounding noise (cos 90 degrees) is let go.
    auto whole = [](double v) { return int(std::ceil(std::clamp(std::abs(v) - 1e-6, 0.0, 1e6))); };
    double dx = distance * std::cos(angle), dy = distance * std::sin(angle);
    int ax = whole(dx), ay = whole(dy);
    Growth g{gx, gy, gx, gy};
    if (both || dx < 0)
        g.left += ax;
    if (both || dx > 0)
        g.right += ax;
    if (both || dy < 0)
        g.top += ay;
    if (both || dy > 0)
        g.bottom += ay;
    return g;
}

// Separable blend functions on straight 0..1 values.
double blendChannel(double s, double d, BlendMode mode)
{
    switch (mode) {
    case BlendMode::Multiply: return s * d;
    case BlendMode::Screen: return s + d - s * d;
    case BlendMode::Lighten: return std::max(s, d);
    case BlendMode::Darken: return std::min(s, d);
    case BlendMode::Difference: return std::abs(s - d);
    case BlendMode::Add: return std::min(1.0, s + d);
    case BlendMode::Subtract: return std::max(0.0, d - s);
    case BlendMode::Invert: return 1 - d;
    case BlendMode::Overlay: return d <= 0.5 ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    case BlendMode::HardLight: return s <= 0.5 ? 2 * s * d : 1 - 2 * (1 - s) * (1 - d);
    default: return s;
    }
}

} // namespace

void applyFilter(PixelBuffer& layer, const Filter& filter, Point origin)
{
    if (layer.empty())
        return;
    std::visit(
        [&](const auto& f) {
            using F = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<F, BlurFilter>)
                blurFilter(layer, f);
            else if constexpr (std::is_same_v<F, ShadowFilter>)
                shadowFilter(layer, f);
            else if constexpr (std::is_same_v<F, BevelFilter>)
                bevelFilter(layer, f);
            else if constexpr (std::is_same_v<F, ColorMatrixFilter>)
                colorMatrixFilter(layer, f);
            else if constexpr (std::is_same_v<F, ConvolutionFilter>)
                convolutionFilter(layer, f);
            else
                displacementFilter(layer, f, origin);
        },
        filter);
}

Growth growthOf(const Filter& filter)
{
    return std::visit(
        [](const auto& f) -> Growth {
            using F = std::decay_t<decltype(f)>;
            if constexpr (std::is_same_v<F, BlurFilter>) {
                int gx = blurReach(f.blurX, f.passes), gy = blurReach(f.blurY, f.passes);
                return {gx, gy, gx, gy};
            } else if constexpr (std::is_same_v<F, ShadowFilter>) {
                if (f.inner)
                    return {};
                return offsetGrowth(f.blurX, f.blurY, f.passes, f.distance, f.angle, false);
            } else if constexpr (std::is_same_v<F, BevelFilter>) {
                if (f.inner)
                    return {};
                return offsetGrowth(f.blurX, f.blurY, f.passes, f.distance, f.angle, true);
            } else {
                return {};
            }
        },
        filter);
}

Growth growthOf(const std::vector<Filter>& filters)
{
    Growth total;
    for (const Filter& filter : filters) {
        Growth g = growthOf(filter);
        // Kept far below int range whatever a list piles up.
        total.left = std::min(total.left + g.left, 1 << 20);
        total.top = std::min(total.top + g.top, 1 << 20);
        total.right = std::min(total.right + g.right, 1 << 20);
        total.bottom = std::min(total.bottom + g.bottom, 1 << 20);
    }
    return total;
}

Argb blendPixel(Argb dst, Argb src, BlendMode mode)
{
    switch (mode) {
    case BlendMode::Normal:
    case BlendMode::Layer:
        return blendOver(dst, src);
    case BlendMode::Alpha: // the layer's alpha becomes the backdrop's
        return scaled(dst, alphaOf(src));
    case BlendMode::Erase:
        return scaled(dst, 255 - alphaOf(src));
    default:
        break;
    }
    // The general form for premultiplied colour: the blend where both are
    // present, each colour alone where only it is.
    double sa = alphaOf(src) / 255.0, da = alphaOf(dst) / 255.0;
    Argb s = unpremultiply(src), d = unpremultiply(dst);
    auto channel = [&](unsigned sc, unsigned dc) {
        double sv = sc / 255.0, dv = dc / 255.0;
        double both = blendChannel(sv, dv, mode);
        double v = sa * (1 - da) * sv + da * (1 - sa) * dv + sa * da * both;
        return byte(v * 255);
    };
    double a = sa + da - sa * da;
    return argb(byte(a * 255), channel(redOf(s), redOf(d)), channel(greenOf(s), greenOf(d)),
                channel(blueOf(s), blueOf(d)));
}

} // namespace lumbra::movie
