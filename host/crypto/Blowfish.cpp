#include "host/crypto/Blowfish.h"

#include "host/crypto/BlowfishTables.h"

#include <utility>

namespace lumbra {

Blowfish::Blowfish(std::span<const std::uint8_t> key)
    : p_(kBlowfishInitialP), s_(kBlowfishInitialS)
{
    static const std::uint8_t zero = 0;
    if (key.empty())
        key = std::span<const std::uint8_t>(&zero, 1);
    if (key.size() > kMaxKeyBytes)
        key = key.first(kMaxKeyBytes);

    // The key, repeated as often as needed, is XORed into the P-array as
    // big-endian words.
    std::size_t at = 0;
    for (std::uint32_t& entry : p_) {
        std::uint32_t word = 0;
        for (int i = 0; i < 4; ++i) {
            word = word << 8 | key[at];
            at = (at + 1) % key.size();
        }
        entry ^= word;
    }

    // Then every subkey in turn is replaced by the encryption of the previous
    // output, starting from the zero block.
    std::uint32_t left = 0, right = 0;
    for (std::size_t i = 0; i < p_.size(); i += 2) {
        encrypt(left, right);
        p_[i] = left;
        p_[i + 1] = right;
    }
    for (auto& box : s_)
        for (std::size_t i = 0; i < box.size(); i += 2) {
            encrypt(left, right);
            box[i] = left;
            box[i + 1] = right;
        }
}

std::uint32_t Blowfish::round(std::uint32_t x) const
{
    return ((s_[0][x >> 24] + s_[1][x >> 16 & 0xff]) ^ s_[2][x >> 8 & 0xff]) + s_[3][x & 0xff];
}

void Blowfish::encrypt(std::uint32_t& left, std::uint32_t& right) const
{
    std::uint32_t l = left, r = right;
    for (int i = 0; i < 16; ++i) {
        l ^= p_[i];
        r ^= round(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= p_[16];
    l ^= p_[17];
    left = l;
    right = r;
}

void Blowfish::decrypt(std::uint32_t& left, std::uint32_t& right) const
{
    std::uint32_t l = left, r = right;
    for (int i = 17; i > 1; --i) {
        l ^= p_[i];
        r ^= round(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= p_[1];
    l ^= p_[0];
    left = l;
    right = r;
}

} // namespace lumbra
