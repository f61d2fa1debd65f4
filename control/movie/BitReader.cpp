#include "control/movie/BitReader.h"

#include <cstring>

namespace lumbra::movie {

std::span<const std::uint8_t> BitReader::bytes(std::size_t n)
{
    align();
    if (n > remaining())
        throw FormatError("record runs past the end of its data");
    auto out = data_.subspan(pos_, n);
    pos_ += n;
    return out;
}

std::uint8_t BitReader::u8() { return bytes(1)[0]; }

std::uint16_t BitReader::u16()
{
    auto b = bytes(2);
    return std::uint16_t(b[0] | (b[1] << 8));
}

std::uint32_t BitReader::u32()
{
    auto b = bytes(4);
    return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
           (std::uint32_t(b[3]) << 24);
}

double BitReader::f32()
{
    std::uint32_t bits = u32();
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

double BitReader::f64()
{
    std::uint64_t high = u32();
    std::uint64_t bits = (high << 32) | u32();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

std::string_view BitReader::cstring()
{
    align();
    auto rest = data_.subspan(pos_);
    const void* end = std::memchr(rest.data(), 0, rest.size());
    if (!end)
        throw FormatError("unterminated string");
    std::size_t length = static_cast<const std::uint8_t*>(end) - rest.data();
    pos_ += length + 1;
    return {reinterpret_cast<const char*>(rest.data()), length};
}

std::uint32_t BitReader::ub(unsigned bits)
{
    if (bits > 32)
        throw FormatError("bit field wider than 32 bits");
    std::uint32_t value = 0;
    while (bits > 0) {
        if (bitCount_ == 0) {
            if (atEnd())
                throw FormatError("bit field runs past the end of its data");
            bitBuffer_ = data_[pos_++];
            bitCount_ = 8;
        }
        unsigned take = bits < bitCount_ ? bits : bitCount_;
        unsigned shift = bitCount_ - take;
        value = (value << take) | ((bitBuffer_ >> shift) & ((1u << take) - 1));
        bitCount_ -= take;
        bits -= take;
    }
    return value;
}

std::int32_t BitReader::sb(unsigned bits)
{
    std::uint32_t raw = ub(bits);
    if (bits == 0 || bits >= 32)
        return std::int32_t(raw);
    std::uint32_t sign = 1u << (bits - 1);
    return std::int32_t((raw ^ sign) - sign);
}

Rect BitReader::rect()
{
    align();
    unsigned n = ub(5);
    Rect r;
    r.xMin = sb(n);
    r.xMax = sb(n);
    r.yMin = sb(n);
    r.yMax = sb(n);
    align();
    return r;
}

Matrix BitReader::matrix()
{
    align();
    Matrix m;
    if (flag()) {
        unsigned n = ub(5);
        m.a = fb(n);
        m.d = fb(n);
    }
    if (flag()) {
        unsigned n = ub(5);
        m.b = fb(n);
        m.c = fb(n);
    }
    unsigned n = ub(5);
    m.tx = sb(n);
    m.ty = sb(n);
    align();
    return m;
}

ColorTransform BitReader::colorTransform(bool withAlpha)
{
    align();
    bool hasAdd = flag();
    bool hasMult = flag();
    unsigned n = ub(4);
    ColorTransform cx;
    if (hasMult) {
        cx.rMult = sb(n) / 256.0;
        cx.gMult = sb(n) / 256.0;
        cx.bMult = sb(n) / 256.0;
        if (withAlpha)
            cx.aMult = sb(n) / 256.0;
    }
    if (hasAdd) {
        cx.rAdd = sb(n);
        cx.gAdd = sb(n);
        cx.bAdd = sb(n);
        if (withAlpha)
            cx.aAdd = sb(n);
    }
    align();
    return cx;
}

Argb BitReader::rgb()
{
    auto b = bytes(3);
    return argb(0xFF, b[0], b[1], b[2]);
}

Argb BitReader::rgba()
{
    auto b = bytes(4);
    return argb(b[3], b[0], b[1], b[2]);
}

} // namespace lumbra::movie
