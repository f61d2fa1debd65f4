// How the Encryption object turns a key text and a plain text into cipher
// bytes and back. Both ciphers work in ECB mode on the text up to its first
// zero byte, padded with zero bytes to whole 8-byte blocks (a text that fills
// its last block gets no extra block); a decrypted text likewise ends at its
// first zero byte. Keys of any length, the empty one included, are stretched
// into cipher keys with MD5, the DES string-to-key fold and the program's
// keyed digest.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lumbra {

// MD5(KeyFold(key)) | MD5(key) | BuiltinDigest(key) | KeyFold(key).
std::array<std::uint8_t, 56> blowfishKeyOf(std::string_view key);
// K1 | K2 = MD5(key), K3 = KeyFold(key).
std::array<std::uint8_t, 24> tripleDesKeyOf(std::string_view key);

std::vector<std::uint8_t> blowfishEncrypt(std::string_view key, std::string_view text);
std::vector<std::uint8_t> tripleDesEncrypt(std::string_view key, std::string_view text);
// Cipher bytes after the last whole block are ignored.
std::string blowfishDecrypt(std::string_view key, std::span<const std::uint8_t> cipher);
std::string tripleDesDecrypt(std::string_view key, std::span<const std::uint8_t> cipher);

} // namespace lumbra
