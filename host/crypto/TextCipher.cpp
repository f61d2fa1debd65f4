#include "host/crypto/TextCipher.h"

#include "host/crypto/Blowfish.h"
#include "package/BuiltinDigest.h"
#include "package/KeyFold.h"
#include "package/Md5.h"
#include "package/TripleDes.h"

#include <algorithm>

namespace lumbra {

namespace {

std::span<const std::uint8_t> bytesOf(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// The text up to its first zero byte, padded with zeros to whole blocks.
std::vector<std::uint8_t> paddedBlocks(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<std::uint8_t> bytes(bytesOf(text).begin(), bytesOf(text).end());
    bytes.resize((bytes.size() + 7) / 8 * 8, 0);
    return bytes;
}

std::string textUpToZero(const std::vector<std::uint8_t>& bytes)
{
    const auto end = std::ranges::find(bytes, std::uint8_t(0));
    return std::string(bytes.begin(), end);
}

std::uint32_t readLittleEndian(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

void writeLittleEndian(std::uint32_t word, std::uint8_t* p)
{
    for (int i = 0; i < 4; ++i)
        p[i] = std::uint8_t(word >> 8 * i);
}

// Runs `crypt` over every whole 8-byte block of bytes, in place.
template <class Crypt>
void eachBlock(std::vector<std::uint8_t>& bytes, Crypt crypt)
{
    bytes.resize(bytes.size() / 8 * 8);
    for (std::size_t at = 0; at < bytes.size(); at += 8)
        crypt(bytes.data() + at);
}

// Blowfish reads each block as two little-endian words, the first the left half.
template <class Direction>
void blowfishBlocks(std::string_view key, std::vector<std::uint8_t>& bytes, Direction direction)
{
    const auto material = blowfishKeyOf(key);
    const Blowfish cipher{material};
    eachBlock(bytes, [&](std::uint8_t* block) {
        std::uint32_t left = readLittleEndian(block), right = readLittleEndian(block + 4);
        (cipher.*direction)(left, right);
        writeLittleEndian(left, block);
        writeLittleEndian(right, block + 4);
    });
}

template <class Direction>
void tripleDesBlocks(std::string_view key, std::vector<std::uint8_t>& bytes, Direction direction)
{
    const auto material = tripleDesKeyOf(key);
    const TripleDes cipher{material};
    eachBlock(bytes, [&](std::uint8_t* block) {
        DesBlock in;
        std::copy_n(block, 8, in.begin());
        std::ranges::copy((cipher.*direction)(in), block);
    });
}

} // namespace

std::array<std::uint8_t, 56> blowfishKeyOf(std::string_view key)
{
    const auto folded = keyFold(bytesOf(key));
    std::array<std::uint8_t, 56> material;
    auto out = material.begin();
    out = std::ranges::copy(md5(folded), out).out;
    out = std::ranges::copy(md5(bytesOf(key)), out).out;
    out = std::ranges::copy(builtinDigest(bytesOf(key)), out).out;
    std::ranges::copy(folded, out);
    return material;
}

std::array<std::uint8_t, 24> tripleDesKeyOf(std::string_view key)
{
    std::array<std::uint8_t, 24> material;
    std::ranges::copy(keyFold(bytesOf(key)), std::ranges::copy(md5(bytesOf(key)), material.begin()).out);
    return material;
}

std::vector<std::uint8_t> blowfishEncrypt(std::string_view key, std::string_view text)
{
    auto bytes = paddedBlocks(text);
    blowfishBlocks(key, bytes, &Blowfish::encrypt);
    return bytes;
}

std::string blowfishDecrypt(std::string_view key, std::span<const std::uint8_t> cipher)
{
    std::vector<std::uint8_t> bytes(cipher.begin(), cipher.end());
    blowfishBlocks(key, bytes, &Blowfish::decrypt);
    return textUpToZero(bytes);
}

std::vector<std::uint8_t> tripleDesEncrypt(std::string_view key, std::string_view text)
{
    auto bytes = paddedBlocks(text);
    tripleDesBlocks(key, bytes, &TripleDes::encrypt);
    return bytes;
}

std::string tripleDesDecrypt(std::string_view key, std::span<const std::uint8_t> cipher)
{
    std::vector<std::uint8_t> bytes(cipher.begin(), cipher.end());
    tripleDesBlocks(key, bytes, &TripleDes::decrypt);
    return textUpToZero(bytes);
}

} // namespace lumbra
