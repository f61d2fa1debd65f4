#include "control/movie/BitWriter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace lumbra::movie {

void BitWriter::u8(unsigned v)
{
    align();
    data_.push_back(std::uint8_t(v));
}

void BitWriter::u16(unsigned v)
{
    u8(v & 0xFF);
    u8((v >> 8) & 0xFF);
}

void BitWriter::u32(std::uint32_t v)
{
    u16(v & 0xFFFF);
    u16(v >> 16);
}

void BitWriter::f64(double v)
{
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    u32(std::uint32_t(bits >> 32));
    u32(std::uint32_t(bits));
}

void BitWriter::bytes(std::span<const std::uint8_t> data)
{
    align();
    data_.insert(data_.end(), data.begin(), data.end());
}

void BitWriter::cstring(std::string_view s)
{
    align();
    data_.insert(data_.end(), s.begin(), s.end());
    data_.push_back(0);
}

void BitWriter::ub(std::uint32_t value, unsigned bits)
{
    while (bits > 0) {
        --bits;
        pending_ = std::uint8_t((pending_ << 1) | ((value >> bits) & 1));
        if (++pendingBits_ == 8) {
            data_.push_back(pending_);
            pending_ = 0;
            pendingBits_ = 0;
        }
    }
}

void BitWriter::align()
{
    if (pendingBits_ > 0) {
        data_.push_back(std::uint8_t(pending_ << (8 - pendingBits_)));
        pending_ = 0;
        pendingBits_ = 0;
    }
}

unsigned BitWriter::signedBits(std::int32_t v)
{
    std::uint32_t magnitude = v < 0 ? std::uint32_t(~v) : std::uint32_t(v);
    unsigned bits = 1;
    while (magnitude) {
        ++bits;
        magnitude >>= 1;
    }
    return bits;
}

void BitWriter::rect(const Rect& twips)
{
    align();
    std::int32_t v[4] = {std::int32_t(std::lround(twips.xMin)), std::int32_t(std::lround(twips.xMax)),
                         std::int32_t(std::lround(twips.yMin)), std::int32_t(std::lround(twips.yMax))};
    unsigned n = 1;
    for (auto x : v)
        n = std::max(n, signedBits(x));
    ub(n, 5);
    for (auto x : v)
        sb(x, n);
    align();
}

void BitWriter::matrix(const Matrix& m)
{
    align();
    auto fixed = [](double x) { return std::int32_t(std::lround(x * 65536)); };
    if (m.a != 1 || m.d != 1) {
        std::int32_t a = fixed(m.a), d = fixed(m.d);
        unsigned n = std::max(signedBits(a), signedBits(d));
        ub(1, 1);
        ub(n, 5);
        sb(a, n);
        sb(d, n);
    } else {
        ub(0, 1);
    }
    if (m.b != 0 || m.c != 0) {
        std::int32_t b = fixed(m.b), c = fixed(m.c);
        unsigned n = std::max(signedBits(b), signedBits(c));
        ub(1, 1);
        ub(n, 5);
        sb(b, n);
        sb(c, n);
    } else {
        ub(0, 1);
    }
    std::int32_t tx = std::int32_t(std::lround(m.tx)), ty = std::int32_t(std::lround(m.ty));
    unsigned n = (tx == 0 && ty == 0) ? 0 : std::max(signedBits(tx), signedBits(ty));
    ub(n, 5);
    sb(tx, n);
    sb(ty, n);
    align();
}

void BitWriter::emptyColorTransform()
{
    align();
    ub(0, 2);
    ub(1, 4);
    align();
}

void BitWriter::rgb(Argb c)
{
    u8(redOf(c));
    u8(greenOf(c));
    u8(blueOf(c));
}

void BitWriter::rgba(Argb c)
{
    rgb(c);
    u8(alphaOf(c));
}

} // namespace lumbra::movie
