#include "tools/pack/MaskPicture.h"

#include "tools/pack/Manifest.h"

#include <algorithm>
#include <array>
#include <memory>

// PNG only, and no picture larger than the player would ever show: both keep
// the decoder's exposure to untrusted files small.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS 8192
#include <stb_image.h>

namespace lumbra::pack {

namespace {

struct PixelsDeleter {
    void operator()(stbi_uc* pixels) const { stbi_image_free(pixels); }
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

bool parseKeyColour(std::string_view text, std::uint32_t& rgb)
{
    if (text.size() != 7 || text[0] != '#')
        return false;
    std::uint32_t value = 0;
    for (char c : text.substr(1)) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return false;
        value = value << 4 | std::uint32_t(digit);
    }
    rgb = value;
    return true;
}

bool isPng(std::span<const std::uint8_t> bytes)
{
    static constexpr std::array<std::uint8_t, 8> signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    return bytes.size() >= signature.size() && std::equal(signature.begin(), signature.end(), bytes.begin());
}

MaskShape maskFromPicture(std::span<const std::uint8_t> png, const MaskRule& rule)
{
    if (!isPng(png))
        throw PackError("not a PNG picture");
    int width = 0, height = 0, channels = 0;
    std::unique_ptr<stbi_uc, PixelsDeleter> pixels(
        stbi_load_from_memory(png.data(), static_cast<int>(png.size()), &width, &height, &channels, 4));
    if (!pixels)
        throw PackError(std::string("cannot read the PNG picture: ") + stbi_failure_reason());
    const stbi_uc* rgba = pixels.get();
    const auto stride = static_cast<std::size_t>(width) * 4;
    return opaqueRuns({0, 0, width, height}, [&](int x, int y) {
        const stbi_uc* p = rgba + y * stride + static_cast<std::size_t>(x) * 4;
        if (rule.useKey)
            return (std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2]) != rule.key;
        return p[3] >= rule.threshold;
    });
}

} // namespace lumbra::pack
