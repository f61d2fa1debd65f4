// MD5 message digest (RFC 1321).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace lumbra {

using Md5Digest = std::array<std::uint8_t, 16>;

class Md5 {
public:
    Md5();
    void update(std::span<const std::uint8_t> bytes);
    void update(std::string_view text);
    Md5Digest finish(); // the object is spent afterwards

private:
    void transform(const std::uint8_t* block);

    std::array<std::uint32_t, 4> state_;
    std::array<std::uint8_t, 64> buffer_{};
    std::uint64_t length_ = 0; // bytes hashed so far
};

Md5Digest md5(std::span<const std::uint8_t> bytes);
Md5Digest md5(std::string_view text);

} // namespace lumbra
