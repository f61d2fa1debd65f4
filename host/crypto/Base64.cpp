#include "host/crypto/Base64.h"

namespace lumbra {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextetOf(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

} // namespace

std::string encodeBase64(std::span<const std::uint8_t> bytes)
{
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t group = std::uint32_t(bytes[i]) << 16 | bytes[i + 1] << 8 | bytes[i + 2];
        for (int shift = 18; shift >= 0; shift -= 6)
            text.push_back(kAlphabet[group >> shift & 63]);
    }
    const std::size_t rest = bytes.size() - i;
    if (rest > 0) {
        std::uint32_t group = std::uint32_t(bytes[i]) << 16;
        if (rest == 2)
            group |= bytes[i + 1] << 8;
        text.push_back(kAlphabet[group >> 18 & 63]);
        text.push_back(kAlphabet[group >> 12 & 63]);
        text.push_back(rest == 2 ? kAlphabet[group >> 6 & 63] : '=');
        text.push_back('=');
    }
    return text;
}

std::vector<std::uint8_t> decodeBase64(std::string_view text)
{
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 4 * 3 + 3);
    std::uint32_t bits = 0; // pending bits, most significant first
    int pending = 0;        // how many
    for (char c : text) {
        if (c == '=')
            break;
        if (c == '\r' || c == '\n')
            continue;
        const int sextet = sextetOf(c);
        if (sextet < 0) {
            bytes.push_back(std::uint8_t(c));
            continue;
        }
        bits = (bits << 6 | std::uint32_t(sextet)) & 0xfff;
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            bytes.push_back(std::uint8_t(bits >> pending));
        }
    }
    return bytes;
}

} // namespace lumbra
