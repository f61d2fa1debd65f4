#include "control/movie/FilterParser.h"

#include <algorithm>

namespace lumbra::movie {

namespace {

// The strength of a glow or shadow beyond which it is solid anyway.
constexpr double kMaxStrength = 255;

struct ShadowBits {
    bool inner, knockout, composite;
    int passes;
};

ShadowBits shadowBits(BitReader& in, bool hasOnTop, bool* onTop = nullptr)
{
    ShadowBits bits{};
    bits.inner = in.flag();
    bits.knockout = in.flag();
    bits.composite = in.flag();
    if (hasOnTop) {
        bool top = in.flag();
        if (onTop)
            *onTop = top;
        bits.passes = int(in.ub(4));
    } else {
        bits.passes = int(in.ub(5));
    }
    in.align();
    return bits;
}

double strength(BitReader& in) { return std::clamp(in.fixed8(), 0.0, kMaxStrength); }

ShadowFilter shadow(BitReader& in, bool withOffset)
{
    ShadowFilter f;
    f.color = in.rgba();
    f.blurX = in.fixed16();
    f.blurY = in.fixed16();
    if (withOffset) {
        f.angle = in.fixed16();
        f.distance = in.fixed16();
    }
    f.strength = strength(in);
    ShadowBits bits = shadowBits(in, false);
    f.inner = bits.inner;
    f.knockout = bits.knockout;
    f.hideObject = !bits.composite;
    f.passes = bits.passes;
    return f;
}

// Gradient glows and bevels are drawn through their ramp.
Filter gradientFilter(BitReader& in, bool bevel)
{
    unsigned count = in.u8();
    std::vector<Argb> colors;
    for (unsigned i = 0; i < count; ++i)
        colors.push_back(in.rgba());
    std::vector<RampStop> ramp;
    for (unsigned i = 0; i < count; ++i)
        ramp.push_back({in.u8(), colors[i]});
    double blurX = in.fixed16(), blurY = in.fixed16(), angle = in.fixed16(), distance = in.fixed16();
    double s = strength(in);
    bool onTop = false;
    ShadowBits bits = shadowBits(in, true, &onTop);
    Argb outer = colors.empty() ? 0xFF000000 : colors.back();
    if (bevel) {
        BevelFilter f;
        f.highlightColor = colors.empty() ? 0xFFFFFFFF : colors.front();
        f.shadowColor = outer;
        f.blurX = blurX, f.blurY = blurY, f.angle = angle, f.distance = distance, f.strength = s;
        f.inner = bits.inner, f.knockout = bits.knockout, f.onTop = onTop, f.passes = bits.passes;
        f.ramp = std::move(ramp);
        return f;
    }
    ShadowFilter f;
    f.color = outer;
    f.blurX = blurX, f.blurY = blurY, f.angle = angle, f.distance = distance, f.strength = s;
    f.inner = bits.inner, f.knockout = bits.knockout, f.hideObject = !bits.composite, f.passes = bits.passes;
    f.glow = true;
    f.ramp = std::move(ramp);
    return f;
}

} // namespace

std::vector<Filter> parseFilterList(BitReader& in)
{
    std::vector<Filter> filters;
    unsigned count = in.u8();
    for (unsigned i = 0; i < count; ++i) {
        unsigned id = in.u8();
        switch (id) {
        case 0: // drop shadow
            filters.push_back(shadow(in, true));
            break;
        case 1: {
            BlurFilter f;
            f.blurX = in.fixed16();
            f.blurY = in.fixed16();
            f.passes = int(in.ub(5));
            in.align();
            filters.push_back(f);
            break;
        }
        case 2: { // glow: a shadow that stays in place
            ShadowFilter f = shadow(in, false);
            f.glow = true;
            filters.push_back(f);
            break;
        }
        case 3: {
            BevelFilter f;
            f.shadowColor = in.rgba();
            f.highlightColor = in.rgba();
            f.blurX = in.fixed16();
            f.blurY = in.fixed16();
            f.angle = in.fixed16();
            f.distance = in.fixed16();
            f.strength = strength(in);
            ShadowBits bits = shadowBits(in, true, &f.onTop);
            f.inner = bits.inner;
            f.knockout = bits.knockout;
            f.passes = bits.passes;
            filters.push_back(f);
            break;
        }
        case 4:
        case 7:
            filters.push_back(gradientFilter(in, id == 7));
            break;
        case 5: {
            ConvolutionFilter f;
            f.columns = in.u8();
            f.rows = in.u8();
            f.divisor = in.f32();
            f.bias = in.f32();
            for (int k = 0; k < f.columns * f.rows; ++k)
                f.matrix.push_back(in.f32());
            f.defaultColor = in.rgba();
            unsigned flags = in.u8();
            f.clamp = flags & 0x02;
            f.preserveAlpha = flags & 0x01;
            filters.push_back(f);
            break;
        }
        case 6: {
            ColorMatrixFilter f;
            for (double& v : f.m)
                v = in.f32();
            filters.push_back(f);
            break;
        }
        default:
            throw FormatError("unknown filter");
        }
    }
    return filters;
}

BlendMode blendModeFrom(unsigned raw)
{
    if (raw < 1 || raw > unsigned(BlendMode::HardLight))
        return BlendMode::Normal;
    return BlendMode(raw);
}

} // namespace lumbra::movie
