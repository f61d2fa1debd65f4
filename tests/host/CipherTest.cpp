// The Encryption object's building blocks against published answers:
// Blowfish (Schneier's and Eric Young's reference vectors), Base64 (RFC 4648),
// the DES string-to-key fold (RFC 3961), and the Triple-DES combination
// against an independent implementation (OpenSSL's des-ede3 on the same key).
#include "host/crypto/Base64.h"
#include "host/crypto/Blowfish.h"
#include "host/crypto/TextCipher.h"
#include "package/HexText.h"
#include "package/KeyFold.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace lumbra {
namespace {

std::vector<std::uint8_t> fromHex(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 2)
        bytes.push_back(std::uint8_t(std::stoi(std::string(text.substr(i, 2)), nullptr, 16)));
    return bytes;
}

// The reference vectors write a block as 16 hex digits, left half first.
std::string referenceEncrypt(std::string_view key, std::string_view block)
{
    Blowfish cipher(fromHex(key));
    std::uint32_t left = std::uint32_t(std::stoul(std::string(block.substr(0, 8)), nullptr, 16));
    std::uint32_t right = std::uint32_t(std::stoul(std::string(block.substr(8, 8)), nullptr, 16));
    const std::uint32_t plainLeft = left, plainRight = right;
    cipher.encrypt(left, right);
    std::uint32_t backLeft = left, backRight = right;
    cipher.decrypt(backLeft, backRight);
    EXPECT_EQ(backLeft, plainLeft);
    EXPECT_EQ(backRight, plainRight);
    char text[17];
    std::snprintf(text, sizeof text, "%08x%08x", left, right);
    return text;
}

TEST(Blowfish, ReferenceVectors)
{
    EXPECT_EQ(referenceEncrypt("0000000000000000", "0000000000000000"), "4ef997456198dd78");
    EXPECT_EQ(referenceEncrypt("ffffffffffffffff", "ffffffffffffffff"), "51866fd5b85ecb8a");
    EXPECT_EQ(referenceEncrypt("3000000000000000", "1000000000000001"), "7d856f9a613063f2");
    EXPECT_EQ(referenceEncrypt("1111111111111111", "1111111111111111"), "2466dd878b963c9d");
    EXPECT_EQ(referenceEncrypt("0123456789abcdef", "1111111111111111"), "61f9c3802281b096");
    EXPECT_EQ(referenceEncrypt("fedcba9876543210", "0123456789abcdef"), "0aceab0fc6a0a28d");
}

TEST(Blowfish, VariableKeyLengths)
{
    const std::string key = "f0e1d2c3b4a5968778695a4b3c2d1e0f0011223344556677";
    EXPECT_EQ(referenceEncrypt(key.substr(0, 2), "fedcba9876543210"), "f9ad597c49db005e");
    EXPECT_EQ(referenceEncrypt(key.substr(0, 4), "fedcba9876543210"), "e91d21c1d961a6d6");
    EXPECT_EQ(referenceEncrypt(key, "fedcba9876543210"), "05044b62fa52d080");
}

TEST(Base64, Rfc4648Vectors)
{
    const std::pair<const char*, const char*> vectors[] = {
        {"", ""},         {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
        {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"},
    };
    for (auto [plain, encoded] : vectors) {
        const std::string text = plain;
        EXPECT_EQ(encodeBase64(std::vector<std::uint8_t>(text.begin(), text.end())), encoded);
        const auto decoded = decodeBase64(encoded);
        EXPECT_EQ(std::string(decoded.begin(), decoded.end()), text);
    }
    std::vector<std::uint8_t> every(256);
    for (int i = 0; i < 256; ++i)
        every[std::size_t(i)] = std::uint8_t(i);
    EXPECT_EQ(decodeBase64(encodeBase64(every)), every);
}

TEST(Base64, ForgivingDecoder)
{
    auto decoded = [](std::string_view text) {
        const auto bytes = decodeBase64(text);
        return std::string(bytes.begin(), bytes.end());
    };
    EXPECT_EQ(decoded("Zm9v\r\nYmFy"), "foobar");      // line breaks are skipped
    EXPECT_EQ(decoded("Zm9v=YmFy"), "foo");            // the first "=" ends the text
    EXPECT_EQ(decoded("Zm9v!YmFy"), "foo!bar");        // foreign characters pass through
    EXPECT_EQ(decoded("Zm9vY"), "foo");                // six bits make no byte
    EXPECT_EQ(decoded("Zg"), "f");                     // no padding needed
    EXPECT_EQ(decoded(""), "");
}

TEST(TextCipher, KeyFoldMatchesRfc3961)
{
    // RFC 3961, A.2: the fan-fold of "password" salted with "ATHENA.MIT.EDUraeburn".
    const std::string text = "passwordATHENA.MIT.EDUraeburn";
    EXPECT_EQ(toHex(keyFold(std::vector<std::uint8_t>(text.begin(), text.end()))), "c01e38688ac86c2e");
}

TEST(TextCipher, KeyMaterial)
{
    // MD5("abc") from RFC 1321, then the fold of "abc": each byte shifted left.
    EXPECT_EQ(toHex(tripleDesKeyOf("abc")), "900150983cd24fb0d6963f7d28e17f72c2c4c60000000000");
    const auto blowfishKey = blowfishKeyOf("abc");
    const auto parts = toHex(blowfishKey);
    EXPECT_EQ(parts.substr(32, 32), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(parts.substr(96), "c2c4c60000000000");
    // MD5 of the fold's 8 bytes (c2 c4 c6 00 00 00 00 00), worked out independently.
    EXPECT_EQ(parts.substr(0, 32), "a24ada71784c83ac6c4b02f98e609824");
}

TEST(TextCipher, TripleDesAgainstIndependentImplementation)
{
    // openssl enc -des-ede3 -nopad -K 900150983cd24fb0d6963f7d28e17f72c2c4c60000000000
    EXPECT_EQ(toHex(tripleDesEncrypt("abc", "Now is t")), "7087f885d948f54a");
    EXPECT_EQ(tripleDesDecrypt("abc", fromHex("7087f885d948f54a")), "Now is t");
}

TEST(TextCipher, PaddingAndTextEnds)
{
    EXPECT_EQ(tripleDesEncrypt("k", "12345678").size(), 8u); // a full block gets no extra block
    EXPECT_EQ(tripleDesEncrypt("k", "123456789").size(), 16u);
    EXPECT_EQ(tripleDesEncrypt("k", "").size(), 0u);
    EXPECT_EQ(blowfishEncrypt("k", "123456789").size(), 16u);
    // The plain text ends at its first zero byte.
    EXPECT_EQ(tripleDesEncrypt("k", std::string("ab\0cdefghijk", 12)), tripleDesEncrypt("k", "ab"));

    for (std::string key : {"", "k", "a much longer key than any cipher takes, past fifty-six bytes of it"}) {
        for (std::string text : {"", "x", "12345678", "text of several blocks, and more"}) {
            EXPECT_EQ(blowfishDecrypt(key, blowfishEncrypt(key, text)), text) << key << "/" << text;
            EXPECT_EQ(tripleDesDecrypt(key, tripleDesEncrypt(key, text)), text) << key << "/" << text;
        }
    }
    // Bytes after the last whole block are ignored.
    auto cipher = blowfishEncrypt("k", "12345678");
    cipher.push_back(0x41);
    EXPECT_EQ(blowfishDecrypt("k", cipher), "12345678");
    EXPECT_EQ(tripleDesDecrypt("k", std::vector<std::uint8_t>{1, 2, 3}), "");
}

TEST(TextCipher, BlowfishBlocksAreLittleEndianWords)
{
    const auto cipher = blowfishEncrypt("key", "ABCDEFGH");
    const auto material = blowfishKeyOf("key");
    Blowfish raw{material};
    auto word = [&](std::size_t at) {
        return std::uint32_t(cipher[at]) | std::uint32_t(cipher[at + 1]) << 8 | std::uint32_t(cipher[at + 2]) << 16 |
               std::uint32_t(cipher[at + 3]) << 24;
    };
    std::uint32_t left = word(0), right = word(4);
    raw.decrypt(left, right);
    EXPECT_EQ(left, 0x44434241u);  // "ABCD" read little-endian
    EXPECT_EQ(right, 0x48474645u); // "EFGH"
}

} // namespace
} // namespace lumbra
