// The picture definitions: DefineBits (with the movie's shared JPEGTables),
// DefineBitsJPEG2/3/4 (JPEG, or PNG and GIF from version 8, with a separate
// alpha plane in 3 and 4) and DefineBitsLossless/2 (zlib-packed colour-mapped,
// 15-bit and 24/32-bit pixels). Each reads the tag body after the character id
// and gives premultiplied pixels, or throws FormatError.
#pragma once

#include "control/movie/BitReader.h"
#include "control/movie/PixelBuffer.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace lumbra::movie {

// The most pixels one picture may have: 64 MB in a 32-bit process.
constexpr std::size_t kMaxPicturePixels = std::size_t(16) << 20;

// jpegTables: the body of the movie's JPEGTables tag, for DefineBits; empty if
// none. A picture of more than maxPixels pixels is refused.
PixelBuffer parseBitmap(BitReader& in, unsigned tagCode, std::span<const std::uint8_t> jpegTables,
                        std::size_t maxPixels = kMaxPicturePixels);

// Decodes a JPEG, PNG or GIF stream as the movie stores it (stray end-and-start
// markers removed). Throws FormatError.
PixelBuffer decodePicture(std::span<const std::uint8_t> bytes, std::size_t maxPixels = kMaxPicturePixels);

} // namespace lumbra::movie
