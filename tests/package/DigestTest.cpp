#include "HexBytes.h"

#include "package/BuiltinDigest.h"
#include "package/KeyFold.h"
#include "package/Md5.h"
#include "package/TripleDes.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumbra {
namespace {

using test::fromHex;

TEST(Md5, Rfc1321TestSuite)
{
    EXPECT_EQ(toHex(md5("")), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(toHex(md5("a")), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(toHex(md5("abc")), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(toHex(md5("message digest")), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(toHex(md5("abcdefghijklmnopqrstuvwxyz")), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(toHex(md5("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789")),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(toHex(md5("12345678901234567890123456789012345678901234567890123456789012345678901234567890")),
              "57edf4a22be3c955ac49da2e2107b67a");
}

// Lengths around the padding boundary: 55 bytes leave room for the length in
// the last block, 56 to 63 need a block more. Expected digests from an
// independent implementation (Python's hashlib) of "a" repeated.
TEST(Md5, LengthsAroundThePaddingBoundary)
{
    const std::pair<std::size_t, const char*> known[] = {
        {55, "ef1772b6dff9a122358552954ad0df65"},  {56, "3b0c8ac703f828b04c6c197006d17218"},
        {57, "652b906d60af96844ebd21b674f35e93"},  {64, "014842d480b571495a4a0363793f7367"},
        {119, "8a7bd0732ed6a28ce75f6dabc90e1613"}, {120, "5f61c0ccad4cac44c75ff505e1f1e537"}};
    for (const auto& [length, digest] : known) {
        std::string text(length, 'a');
        EXPECT_EQ(toHex(md5(text)), digest) << length;
        Md5 hash; // the same across an update boundary
        hash.update(std::string_view(text).substr(0, length / 2));
        hash.update(std::string_view(text).substr(length / 2));
        EXPECT_EQ(toHex(hash.finish()), digest) << length;
    }
}

TEST(Md5, PiecewiseUpdatesMatchOneUpdate)
{
    std::string text(1000, '\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = char(i * 7);
    for (std::size_t piece : {1u, 3u, 55u, 56u, 63u, 64u, 65u, 200u}) {
        Md5 hash;
        for (std::size_t at = 0; at < text.size(); at += piece)
            hash.update(std::string_view(text).substr(at, piece));
        EXPECT_EQ(hash.finish(), md5(text)) << piece;
    }
}

DesBlock block(std::string_view hexText)
{
    DesBlock result;
    auto bytes = fromHex(hexText);
    std::copy_n(bytes.begin(), 8, result.begin());
    return result;
}

std::string desEncrypt(std::string_view key, std::string_view plain)
{
    auto keyBytes = fromHex(key);
    return toHex(Des(std::span<const std::uint8_t, 8>(keyBytes.data(), 8)).encrypt(block(plain)));
}

TEST(Des, PublishedVectors)
{
    EXPECT_EQ(desEncrypt("133457799bbcdff1", "0123456789abcdef"), "85e813540f0ab405");
    EXPECT_EQ(desEncrypt("0e329232ea6d0d73", "8787878787878787"), "0000000000000000");
    EXPECT_EQ(desEncrypt("0123456789abcdef", "4e6f772069732074"), "3fa40e8a984d4815");
}

// NIST SP 800-17 known answers: the variable-plaintext and variable-key tests
// (one bit set, the rest of key 0x01 parity bytes or a zero block).
TEST(Des, Sp80017KnownAnswers)
{
    EXPECT_EQ(desEncrypt("0101010101010101", "8000000000000000"), "95f8a5e5dd31d900");
    EXPECT_EQ(desEncrypt("0101010101010101", "4000000000000000"), "dd7f121ca5015619");
    EXPECT_EQ(desEncrypt("0101010101010101", "0000000000000001"), "166b40b44aba4bd6");
    EXPECT_EQ(desEncrypt("8001010101010101", "0000000000000000"), "95a8d72813daa94d");
    EXPECT_EQ(desEncrypt("4001010101010101", "0000000000000000"), "0eec1487dd8c26d5");
    auto key = fromHex("0101010101010101");
    Des des(std::span<const std::uint8_t, 8>(key.data(), 8));
    EXPECT_EQ(toHex(des.decrypt(block("95f8a5e5dd31d900"))), "8000000000000000");
}

TEST(Des, ParityBitsDoNotMatter)
{
    // 0x13 -> 0x12 and 0x34 -> 0x35 differ only in the parity bit.
    EXPECT_EQ(desEncrypt("123557799bbcdff0", "0123456789abcdef"), "85e813540f0ab405");
}

TEST(TripleDes, Sp80067Example)
{
    auto key = fromHex("0123456789abcdef23456789abcdef01456789abcdef0123");
    TripleDes cipher{std::span<const std::uint8_t, 24>(key.data(), 24)};
    const char* plain[] = {"5468652071756663", "6b2062726f776e20", "666f78206a756d70"};
    const char* expected[] = {"a826fd8ce53b855f", "cce21c8112256fe6", "68d5c05dd9b6b900"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(toHex(cipher.encrypt(block(plain[i]))), expected[i]);
        EXPECT_EQ(toHex(cipher.decrypt(block(expected[i]))), plain[i]);
    }
}

TEST(TripleDes, EqualKeysActAsSingleDes)
{
    auto key = fromHex("133457799bbcdff1133457799bbcdff1133457799bbcdff1");
    TripleDes cipher{std::span<const std::uint8_t, 24>(key.data(), 24)};
    EXPECT_EQ(toHex(cipher.encrypt(block("0123456789abcdef"))), "85e813540f0ab405");
}

TEST(KeyFold, FoldsForwardThenMirroredBackward)
{
    auto fold = [](std::vector<std::uint8_t> text) { return toHex(keyFold(text)); };
    EXPECT_EQ(fold({}), "0000000000000000");
    EXPECT_EQ(fold({0x41}), "8200000000000000");
    EXPECT_EQ(fold({0x80}), "0000000000000000"); // the shift keeps 8 bits
    // Bytes 8-15 go backwards from position 7 with their bits reversed.
    EXPECT_EQ(fold(std::vector<std::uint8_t>(16, 0x01)), "8282828282828282");
    EXPECT_EQ(fold({0, 0, 0, 0, 0, 0, 0, 0, 0x03}), "00000000000000c0");
    // Byte 16 starts the forward run again.
    auto seventeen = std::vector<std::uint8_t>(16, 0x01);
    seventeen.push_back(0x01);
    EXPECT_EQ(fold(seventeen), "8082828282828282");
}

TEST(BuiltinDigest, IsKeyedMd5)
{
    std::vector<std::uint8_t> text = {'a', 'b', 'c'};
    Md5Digest digest = builtinDigest(text);
    EXPECT_EQ(digest, builtinDigest(text));
    EXPECT_NE(digest, md5(text));
    EXPECT_NE(digest, builtinDigest(std::vector<std::uint8_t>{'a', 'b', 'd'}));
    // Each half is enciphered on its own: equal MD5 halves would give equal
    // digest halves, so the halves of a real digest differ.
    EXPECT_FALSE(std::equal(digest.begin(), digest.begin() + 8, digest.begin() + 8));
}

} // namespace
} // namespace lumbra
