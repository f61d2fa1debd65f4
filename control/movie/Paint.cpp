#include "control/movie/Paint.h"

#include <algorithm>
#include <cmath>

namespace lumbra::movie {

namespace {

double toLinear(double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); }
double toGamma(double c) { return c <= 0.0031308 ? c * 12.92 : 1.055 * std::pow(c, 1 / 2.4) - 0.055; }

unsigned byte(double v) { return unsigned(std::lround(std::clamp(v, 0.0, 255.0))); }

Argb mix(Argb a, Argb b, double t, bool linearRgb)
{
    auto channel = [&](unsigned x, unsigned y) {
        if (!linearRgb)
            return byte(x + (double(y) - x) * t);
        double lx = toLinear(x / 255.0), ly = toLinear(y / 255.0);
        return byte(toGamma(lx + (ly - lx) * t) * 255);
    };
    return argb(byte(alphaOf(a) + (double(alphaOf(b)) - alphaOf(a)) * t), channel(redOf(a), redOf(b)),
                channel(greenOf(a), greenOf(b)), channel(blueOf(a), blueOf(b)));
}

// Where t (any real) falls in 0..1 under a spread mode.
double spreadPosition(double t, Spread spread)
{
    if (!std::isfinite(t))
        return 0;
    switch (spread) {
    case Spread::Repeat:
        return t - std::floor(t);
    case Spread::Reflect: {
        double r = std::fmod(std::abs(t), 2.0);
        return r > 1 ? 2 - r : r;
    }
    case Spread::Pad:
        break;
    }
    return std::clamp(t, 0.0, 1.0);
}

} // namespace

std::array<Argb, 256> gradientRamp(const std::vector<GradientStop>& stops, bool linearRgb)
{
    std::array<Argb, 256> ramp{};
    if (stops.empty())
        return ramp;
    std::size_t next = 0;
    for (int i = 0; i < 256; ++i) {
        double t = i / 255.0;
        while (next < stops.size() && stops[next].ratio < t)
            ++next;
        Argb c;
        if (next == 0)
            c = stops.front().color;
        else if (next == stops.size())
            c = stops.back().color;
        else {
            const GradientStop& a = stops[next - 1];
            const GradientStop& b = stops[next];
            double span = b.ratio - a.ratio;
            c = span > 0 ? mix(a.color, b.color, (t - a.ratio) / span, linearRgb) : b.color;
        }
        ramp[i] = premultiply(c);
    }
    return ramp;
}

Paint::Paint(const Fill& fill) : kind_(fill.kind), fill_(&fill)
{
    switch (kind_) {
    case Fill::Kind::Solid:
        solid_ = premultiply(fill.color);
        break;
    case Fill::Kind::LinearGradient:
    case Fill::Kind::RadialGradient:
    case Fill::Kind::FocalGradient:
        ramp_ = gradientRamp(fill.stops, fill.linearRgb);
        spread_ = fill.spread;
        focus_ = std::clamp(fill.focus, -0.998, 0.998);
        toSource_ = fill.gradientToPixels.inverse();
        break;
    case Fill::Kind::Bitmap:
        if (!fill.bitmap || fill.bitmap->empty()) {
            kind_ = Fill::Kind::Solid; // a missing picture draws nothing
            solid_ = 0;
            break;
        }
        toSource_ = fill.bitmapToPixels.inverse();
        transformed_ = !fill.bitmapColor.isIdentity();
        break;
    }
}

Argb Paint::gradientAt(double t) const
{
    double p = spreadPosition(t, spread_);
    return ramp_[std::size_t(std::lround(p * 255))];
}

Argb Paint::texel(int x, int y) const
{
    const PixelBuffer& b = *fill_->bitmap;
    if (fill_->repeat) {
        x %= b.width();
        y %= b.height();
        if (x < 0)
            x += b.width();
        if (y < 0)
            y += b.height();
    } else {
        x = std::clamp(x, 0, b.width() - 1);
        y = std::clamp(y, 0, b.height() - 1);
    }
    return b.at(x, y);
}

Argb Paint::bitmapAt(double u, double v) const
{
    if (!std::isfinite(u) || !std::isfinite(v))
        return 0;
    // Keep far-off samples in a range where int conversion is defined.
    u = std::clamp(u, -1e9, 1e9);
    v = std::clamp(v, -1e9, 1e9);
    Argb c;
    if (!fill_->smooth) {
        c = texel(int(std::floor(u)), int(std::floor(v)));
    } else {
        double fu = u - 0.5, fv = v - 0.5;
        int x0 = int(std::floor(fu)), y0 = int(std::floor(fv));
        double tx = fu - x0, ty = fv - y0;
        Argb c00 = texel(x0, y0), c10 = texel(x0 + 1, y0), c01 = texel(x0, y0 + 1), c11 = texel(x0 + 1, y0 + 1);
        auto lerp = [&](unsigned shift) {
            double top = ((c00 >> shift) & 0xFF) * (1 - tx) + ((c10 >> shift) & 0xFF) * tx;
            double bottom = ((c01 >> shift) & 0xFF) * (1 - tx) + ((c11 >> shift) & 0xFF) * tx;
            return byte(top * (1 - ty) + bottom * ty);
        };
        c = argb(lerp(24), lerp(16), lerp(8), lerp(0));
    }
    if (transformed_)
        c = premultiply(fill_->bitmapColor.apply(unpremultiply(c)));
    return c;
}

void Paint::shadeRow(int x, int y, int count, Argb* out) const
{
    if (kind_ == Fill::Kind::Solid) {
        std::fill(out, out + count, solid_);
        return;
    }
    const Matrix& m = toSource_;
    Point p = m.apply({x + 0.5, y + 0.5});
    for (int i = 0; i < count; ++i, p.x += m.a, p.y += m.b) {
        switch (kind_) {
        case Fill::Kind::LinearGradient:
            out[i] = gradientAt((p.x + 1) / 2);
            break;
        case Fill::Kind::RadialGradient:
            out[i] = gradientAt(std::hypot(p.x, p.y));
            break;
        case Fill::Kind::FocalGradient: {
            // The ratio is how far p lies from the focal point towards the
            // circle along the ray through p: solve |f + s (p - f)| = 1.
            double dx = p.x - focus_, dy = p.y;
            double a = dx * dx + dy * dy;
            double b = 2 * focus_ * dx;
            double c = focus_ * focus_ - 1;
            double s = a > 0 ? (-b + std::sqrt(b * b - 4 * a * c)) / (2 * a) : 0;
            out[i] = gradientAt(s > 0 ? 1 / s : 0);
            break;
        }
        case Fill::Kind::Bitmap:
            out[i] = bitmapAt(p.x, p.y);
            break;
        case Fill::Kind::Solid:
            break;
        }
    }
}

} // namespace lumbra::movie
