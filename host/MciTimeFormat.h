// Packing and unpacking of the media devices' composite time formats: hours,
// minutes and seconds (HMS), minutes, seconds and frames (MSF) and tracks,
// minutes, seconds and frames (TMSF), each field a byte of one 32-bit word,
// the first field in the lowest byte. The packers keep the system's own
// macro arithmetic, which shifts the second field as a 16-bit word, so a
// second field above 255 spills into the third byte exactly as it does there.
#pragma once

#include <cstdint>

namespace lumbra::host {

// Byte `index` (0 = lowest) of a packed time.
constexpr std::int32_t timeField(std::int64_t packed, int index)
{
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(packed) >> (8 * index)) & 0xFF);
}

// HMS and MSF: a in byte 0, b in byte 1, c in byte 2.
constexpr std::int32_t packTime(std::int64_t a, std::int64_t b, std::int64_t c)
{
    const std::uint32_t packed = (static_cast<std::uint32_t>(c) & 0xFF) << 16
                                 | (static_cast<std::uint32_t>(b) & 0xFFFF) << 8
                                 | (static_cast<std::uint32_t>(a) & 0xFF);
    return static_cast<std::int32_t>(packed);
}

// TMSF: the track in byte 0 up to the frame in byte 3.
constexpr std::int32_t packTime(std::int64_t a, std::int64_t b, std::int64_t c, std::int64_t d)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(packTime(a, b, c))
                                     | static_cast<std::uint32_t>(d) << 24);
}

} // namespace lumbra::host
