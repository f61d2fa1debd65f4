// Builds movie-file data: little-endian integers, bit fields and the format's
// compound records. The writing side of BitReader.
#pragma once

#include "control/movie/Canvas.h"
#include "control/movie/Geometry.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace lumbra::movie {

class BitWriter {
public:
    void u8(unsigned v);
    void u16(unsigned v);
    void u32(std::uint32_t v);
    void f64(double v); // high word first, as the format stores doubles
    void bytes(std::span<const std::uint8_t> data);
    void cstring(std::string_view s); // with its terminating 0

    void ub(std::uint32_t value, unsigned bits);
    void sb(std::int32_t value, unsigned bits) { ub(std::uint32_t(value) & mask(bits), bits); }
    void align();

    void rect(const Rect& twips);
    void matrix(const Matrix& m);
    void emptyColorTransform(); // with alpha, changing nothing
    void rgb(Argb c);
    void rgba(Argb c);

    const std::vector<std::uint8_t>& data() { align(); return data_; }
    std::vector<std::uint8_t> take() { align(); return std::move(data_); }

    // Bits a signed value needs.
    static unsigned signedBits(std::int32_t v);

private:
    static std::uint32_t mask(unsigned bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1; }

    std::vector<std::uint8_t> data_;
    std::uint8_t pending_ = 0;
    unsigned pendingBits_ = 0;
};

} // namespace lumbra::movie
