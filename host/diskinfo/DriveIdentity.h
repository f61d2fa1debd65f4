// What a hard disk tells about itself in its 512-byte ATA IDENTIFY answer
// (256 little-endian words): the parts that scripts can read.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace lumbra {

struct DriveIdentity {
    std::string modelNumber;    // words 27-46, up to 40 characters
    std::string serialNumber;   // words 10-19, up to 20 characters
    std::string revisionNumber; // words 23-26, up to 8 characters
    std::string driveType;      // "Removable", "Fixed" or "Unknown" (word 0)
    std::int64_t bufferSize = 0; // word 21, in 512-byte units
    std::int64_t cylinders = 0;  // word 1
    std::int64_t heads = 0;      // word 3
    std::int64_t sectors = 0;    // word 6
};

using IdentifyData = std::array<std::uint8_t, 512>;

DriveIdentity parseIdentifyData(std::span<const std::uint8_t, 512> data);

} // namespace lumbra
