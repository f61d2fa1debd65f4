#include "package/BuiltinDigest.h"

#include "package/TripleDes.h"

#include <algorithm>

namespace lumbra {

namespace {

// The key is kept masked so that it does not appear as such in the program
// file; unmask() recovers it with the same generator that masked it.
constexpr std::array<std::uint8_t, 24> maskedKey = {
    0x37, 0x1d, 0xe6, 0x4d, 0xf5, 0xc2, 0x9e, 0x94, 0xa6, 0xcc, 0xfe, 0x8f,
    0x19, 0xee, 0x3c, 0x53, 0xa9, 0x02, 0xc3, 0x71, 0x7f, 0x7e, 0xc9, 0x77,
};

std::array<std::uint8_t, 24> unmask()
{
    std::array<std::uint8_t, 24> key;
    std::uint32_t state = 0x4C554D42;
    for (std::size_t i = 0; i < key.size(); ++i) {
        state = state * 1664525 + 1013904223;
        key[i] = std::uint8_t(maskedKey[i] ^ (state >> 24));
    }
    return key;
}

} // namespace

Md5Digest builtinDigest(std::span<const std::uint8_t> bytes)
{
    std::array<std::uint8_t, 24> key = unmask();
    TripleDes cipher{std::span<const std::uint8_t, 24>(key)};
    std::ranges::fill(key, 0);
    Md5Digest digest = md5(bytes);
    for (std::size_t half = 0; half < 16; half += 8) {
        DesBlock block;
        std::copy_n(digest.begin() + std::ptrdiff_t(half), 8, block.begin());
        block = cipher.encrypt(block);
        std::ranges::copy(block, digest.begin() + std::ptrdiff_t(half));
    }
    return digest;
}

} // namespace lumbra
