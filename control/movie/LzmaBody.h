// The body of an LZMA-compressed movie ("ZWS"). After the signature, version
// and uncompressed file length come a u32 length of the compressed data, the
// five bytes of LZMA properties (lc/lp/pb and dictionary size) and the raw
// LZMA stream, which may or may not end with an end marker.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace lumbra::movie {

// Decodes up to `limit` bytes from `afterLength`, the file from its ninth byte
// on. A stream that ends early yields what it held. Throws FormatError when
// the properties are invalid or the data is damaged.
std::vector<std::uint8_t> decodeLzmaBody(std::span<const std::uint8_t> afterLength, std::size_t limit);

} // namespace lumbra::movie
