// Packed blocks: "SM", u16 version 1, u32 unpacked size, u32 packed size,
// u32 CRC-32 of the unpacked bytes, then a zlib stream of packed size bytes.
#pragma once

#include "package/ErrorReporter.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace lumbra {

inline constexpr std::size_t packedBlockHeaderSize = 16;

using Bytes = std::vector<std::uint8_t>;

// Unpacks a block; throws CZipException naming the first failed check.
Bytes unpackBlockOrThrow(std::span<const std::uint8_t> block);

// Reporting variant: a failure is reported once and gives std::nullopt.
std::optional<Bytes> unpackBlock(std::span<const std::uint8_t> block, ErrorReporter& reporter);

// Silent variant: the same checks, no message.
std::optional<Bytes> unpackBlockSilently(std::span<const std::uint8_t> block);

// The writer's side: any zlib level (0-9) gives a valid block.
Bytes packBlock(std::span<const std::uint8_t> content, int level = 9);

// Whether the bytes begin like a packed block (magic and version).
bool looksPacked(std::span<const std::uint8_t> bytes);

} // namespace lumbra
