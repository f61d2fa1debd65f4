// The program's keyed digest: MD5, each 8-byte half then enciphered with
// Triple DES under the built-in 24-byte key. The package identity is sealed
// with it, and scripts reach it through the encryption object.
#pragma once

#include "package/Md5.h"

#include <span>

namespace lumbra {

Md5Digest builtinDigest(std::span<const std::uint8_t> bytes);

} // namespace lumbra
