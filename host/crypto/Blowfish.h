// Blowfish (Schneier, 1993) on single 64-bit blocks, that is in ECB mode.
// A block is two 32-bit halves; how they are laid out in bytes is the
// caller's choice (see TextCipher).
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace lumbra {

class Blowfish {
public:
    // Keys of 1 to 56 bytes; longer keys are cut to 56, an empty key is
    // treated as the single byte 0 (the schedule needs at least one byte).
    explicit Blowfish(std::span<const std::uint8_t> key);

    void encrypt(std::uint32_t& left, std::uint32_t& right) const;
    void decrypt(std::uint32_t& left, std::uint32_t& right) const;

    static constexpr std::size_t kMaxKeyBytes = 56;

private:
    std::uint32_t round(std::uint32_t half) const;

    std::array<std::uint32_t, 18> p_;
    std::array<std::array<std::uint32_t, 256>, 4> s_;
};

} // namespace lumbra
