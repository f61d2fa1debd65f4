// Bounded reader of movie-file data: little-endian integers, the format's bit
// fields and its compound records. Reading past the end throws FormatError, so
// a truncated or lying record ends the parse of what holds it.
#pragma once

#include "control/movie/Canvas.h"
#include "control/movie/ColorTransform.h"
#include "control/movie/Geometry.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string_view>

namespace lumbra::movie {

class FormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> data) : data_(data) {}

    std::size_t position() const { return pos_; }
    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }

    std::uint8_t u8();
    std::uint16_t u16();
    std::uint32_t u32();
    std::int16_t s16() { return std::int16_t(u16()); }
    double fixed8() { return s16() / 256.0; }
    double fixed16() { return std::int32_t(u32()) / 65536.0; }
    double f32();
    double f64(); // the format stores the high word first
    std::span<const std::uint8_t> bytes(std::size_t n);
    void skip(std::size_t n) { bytes(n); }
    std::string_view cstring(); // up to (not including) the terminating 0

    std::uint32_t ub(unsigned bits);
    std::int32_t sb(unsigned bits);
    double fb(unsigned bits) { return sb(bits) / 65536.0; }
    bool flag() { return ub(1) != 0; }
    void align() { bitCount_ = 0; }

    Rect rect();
    Matrix matrix();
    ColorTransform colorTransform(bool withAlpha);
    Argb rgb();
    Argb rgba();

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    std::uint8_t bitBuffer_ = 0;
    unsigned bitCount_ = 0;
};

} // namespace lumbra::movie
