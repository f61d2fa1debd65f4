// DES and Triple DES (encrypt-decrypt-encrypt with three keys) on single
// 8-byte blocks, that is in ECB mode. Key bytes get odd parity before use,
// so keys that differ only in their parity bits are the same key.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace lumbra {

using DesBlock = std::array<std::uint8_t, 8>;

class Des {
public:
    explicit Des(std::span<const std::uint8_t, 8> key);
    DesBlock encrypt(const DesBlock& block) const { return crypt(block, false); }
    DesBlock decrypt(const DesBlock& block) const { return crypt(block, true); }

private:
    DesBlock crypt(const DesBlock& block, bool decrypting) const;
    std::array<std::uint64_t, 16> subkeys_{}; // 48 bits each
};

class TripleDes {
public:
    // K1, K2 and K3 in that order.
    explicit TripleDes(std::span<const std::uint8_t, 24> key);
    DesBlock encrypt(const DesBlock& block) const;
    DesBlock decrypt(const DesBlock& block) const;

private:
    Des first_, second_, third_;
};

// Sets the low bit of every key byte so that each byte has odd parity.
std::uint8_t withOddParity(std::uint8_t byte);

} // namespace lumbra
