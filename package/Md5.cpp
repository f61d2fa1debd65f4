#include "package/Md5.h"

#include <bit>
#include <cstring>

namespace lumbra {

namespace {

constexpr std::uint32_t sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

constexpr int shifts[16] = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

} // namespace

Md5::Md5() : state_{0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476} {}

void Md5::transform(const std::uint8_t* block)
{
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = std::uint32_t(block[4 * i]) | std::uint32_t(block[4 * i + 1]) << 8 |
               std::uint32_t(block[4 * i + 2]) << 16 | std::uint32_t(block[4 * i + 3]) << 24;
    auto [a, b, c, d] = state_;
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f;
        int k;
        switch (i / 16) {
        case 0: f = (b & c) | (~b & d); k = i; break;
        case 1: f = (d & b) | (~d & c); k = (5 * i + 1) % 16; break;
        case 2: f = b ^ c ^ d; k = (3 * i + 5) % 16; break;
        default: f = c ^ (b | ~d); k = (7 * i) % 16; break;
        }
        std::uint32_t rotated = std::rotl(a + f + sines[i] + x[k], shifts[(i / 16) * 4 + i % 4]);
        a = d;
        d = c;
        c = b;
        b += rotated;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

void Md5::update(std::span<const std::uint8_t> bytes)
{
    std::size_t used = std::size_t(length_ % 64);
    length_ += bytes.size();
    std::size_t i = 0;
    if (used != 0) {
        std::size_t take = std::min(bytes.size(), 64 - used);
        std::memcpy(&buffer_[used], bytes.data(), take);
        i = take;
        if (used + take < 64)
            return;
        transform(buffer_.data());
    }
    for (; i + 64 <= bytes.size(); i += 64)
        transform(&bytes[i]);
    if (i < bytes.size())
        std::memcpy(buffer_.data(), &bytes[i], bytes.size() - i);
}

void Md5::update(std::string_view text)
{
    update(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Md5Digest Md5::finish()
{
    std::uint64_t bits = length_ * 8;
    std::uint8_t padding[72] = {0x80};
    std::size_t used = std::size_t(length_ % 64);
    std::size_t padLength = used < 56 ? 56 - used : 120 - used;
    for (int i = 0; i < 8; ++i)
        padding[padLength + i] = std::uint8_t(bits >> (8 * i));
    update(std::span(padding, padLength + 8));
    Md5Digest digest;
    for (int i = 0; i < 16; ++i)
        digest[i] = std::uint8_t(state_[i / 4] >> (8 * (i % 4)));
    return digest;
}

Md5Digest md5(std::span<const std::uint8_t> bytes)
{
    Md5 hash;
    hash.update(bytes);
    return hash.finish();
}

Md5Digest md5(std::string_view text)
{
    Md5 hash;
    hash.update(text);
    return hash.finish();
}

} // namespace lumbra
