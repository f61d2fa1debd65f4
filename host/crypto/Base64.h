// Base64 text of bytes (RFC 4648 alphabet, "=" padding, no line breaks).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

std::string encodeBase64(std::span<const std::uint8_t> bytes);

// A forgiving decoder for texts that people carry around: it stops at the
// first "=" or at the end, skips line breaks, and copies any other character
// outside the alphabet to the output unchanged (where it stands in the byte
// stream, after any complete bytes before it). A trailing group of one
// character holds no whole byte and is dropped.
std::vector<std::uint8_t> decodeBase64(std::string_view text);

} // namespace lumbra
