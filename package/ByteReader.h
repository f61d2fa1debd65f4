// Bounds-checked little-endian reading of untrusted bytes. Reading past the
// end throws PlayerException; nothing is ever read outside the span.
#pragma once

#include "package/PlayerException.h"

#include <cstdint>
#include <span>

namespace lumbra {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t remaining() const { return bytes_.size() - position_; }

    std::uint8_t u8() { return take(1)[0]; }
    std::uint16_t u16()
    {
        auto b = take(2);
        return std::uint16_t(b[0] | b[1] << 8);
    }
    std::uint32_t u32()
    {
        auto b = take(4);
        return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
    }
    std::int32_t i32() { return std::int32_t(u32()); }

    std::span<const std::uint8_t> bytes(std::size_t count) { return take(count); }
    void skip(std::size_t count) { take(count); }

private:
    std::span<const std::uint8_t> take(std::size_t count)
    {
        if (count > remaining())
            throw PlayerException("Unexpected end of package data");
        auto part = bytes_.subspan(position_, count);
        position_ += count;
        return part;
    }

    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Little-endian helpers for fixed offsets already checked by the caller.
inline std::uint16_t loadU16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }
inline std::uint32_t loadU32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

} // namespace lumbra
