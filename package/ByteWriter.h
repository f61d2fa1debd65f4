// Little-endian serialisation into a growing byte vector.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace lumbra {

class ByteWriter {
public:
    void u8(std::uint8_t value) { bytes_.push_back(value); }
    void u16(std::uint16_t value)
    {
        u8(std::uint8_t(value));
        u8(std::uint8_t(value >> 8));
    }
    void u32(std::uint32_t value)
    {
        u16(std::uint16_t(value));
        u16(std::uint16_t(value >> 16));
    }
    void i32(std::int32_t value) { u32(std::uint32_t(value)); }
    void bytes(std::span<const std::uint8_t> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }

    const std::vector<std::uint8_t>& data() const { return bytes_; }
    std::vector<std::uint8_t> release() { return std::move(bytes_); }

private:
    std::vector<std::uint8_t> bytes_;
};

inline void storeU16(std::uint8_t* p, std::uint16_t value)
{
    p[0] = std::uint8_t(value);
    p[1] = std::uint8_t(value >> 8);
}
inline void storeU32(std::uint8_t* p, std::uint32_t value)
{
    storeU16(p, std::uint16_t(value));
    storeU16(p + 2, std::uint16_t(value >> 16));
}

} // namespace lumbra
