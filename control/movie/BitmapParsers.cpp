#include "control/movie/BitmapParsers.h"

#include "control/movie/TagCodes.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wconversion"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace lumbra::movie {

namespace {

using Bytes = std::vector<std::uint8_t>;

void checkSize(std::size_t width, std::size_t height, std::size_t maxPixels)
{
    if (width == 0 || height == 0 || width > maxPixels || height > maxPixels || width * height > maxPixels)
        throw FormatError("picture size out of range");
}

// Inflates a zlib stream into exactly `size` bytes; a shorter stream fails.
Bytes inflateExactly(std::span<const std::uint8_t> packed, std::size_t size)
{
    Bytes out(size);
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw FormatError("zlib unavailable");
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = uInt(packed.size());
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    int status = Z_OK;
    while (status == Z_OK && z.avail_out > 0)
        status = inflate(&z, Z_NO_FLUSH);
    bool full = z.avail_out == 0;
    inflateEnd(&z);
    if (!full)
        throw FormatError("picture data too short");
    return out;
}

bool startsWith(std::span<const std::uint8_t> data, std::initializer_list<std::uint8_t> prefix)
{
    return data.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), data.begin());
}

// Early movies put an end marker and a second start marker in front of their
// JPEG data, or between its tables and its image; decoders want one stream.
Bytes cleanJpeg(std::span<const std::uint8_t> data)
{
    if (startsWith(data, {0xFF, 0xD9, 0xFF, 0xD8}))
        data = data.subspan(4);
    Bytes out(data.begin(), data.end());
    static const std::uint8_t seam[] = {0xFF, 0xD9, 0xFF, 0xD8};
    if (out.size() > 6) {
        auto at = std::search(out.begin() + 2, out.end(), std::begin(seam), std::end(seam));
        if (at != out.end())
            out.erase(at, at + 4);
    }
    return out;
}

// The JPEG of a DefineBits: the shared tables' markers, then the image's.
Bytes withTables(std::span<const std::uint8_t> tables, std::span<const std::uint8_t> image)
{
    if (startsWith(image, {0xFF, 0xD9, 0xFF, 0xD8}))
        image = image.subspan(4);
    if (tables.empty())
        return Bytes(image.begin(), image.end());
    if (startsWith(tables, {0xFF, 0xD9, 0xFF, 0xD8}))
        tables = tables.subspan(4);
    Bytes out(tables.begin(), tables.end());
    if (out.size() >= 2 && out[out.size() - 2] == 0xFF && out.back() == 0xD9)
        out.resize(out.size() - 2);
    if (startsWith(image, {0xFF, 0xD8}))
        image = image.subspan(2);
    out.insert(out.end(), image.begin(), image.end());
    return out;
}

// The separate alpha plane of DefineBitsJPEG3/4 multiplies the decoded colour.
void applyAlpha(PixelBuffer& picture, std::span<const std::uint8_t> packed)
{
    if (packed.empty())
        return;
    Bytes alpha = inflateExactly(packed, std::size_t(picture.width()) * std::size_t(picture.height()));
    Argb* p = picture.data();
    for (std::size_t i = 0; i < alpha.size(); ++i) {
        Argb c = p[i];
        p[i] = premultiply(argb(alpha[i], redOf(c), greenOf(c), blueOf(c)));
    }
}

std::size_t paddedRow(std::size_t bytes) { return (bytes + 3) & ~std::size_t(3); }

PixelBuffer lossless(BitReader& in, bool withAlpha, std::size_t maxPixels)
{
    unsigned format = in.u8();
    int width = in.u16(), height = in.u16();
    checkSize(std::size_t(width), std::size_t(height), maxPixels);
    PixelBuffer picture(width, height);
    std::size_t w = std::size_t(width), h = std::size_t(height);
    std::size_t entries = format == 3 ? std::size_t(in.u8()) + 1 : 0;
    auto packed = in.bytes(in.remaining());
    if (format == 3) {
        std::size_t entrySize = withAlpha ? 4 : 3;
        std::size_t row = paddedRow(w);
        Bytes data = inflateExactly(packed, entries * entrySize + row * h);
        std::vector<Argb> table(256, 0); // indexes past the table show nothing
        for (std::size_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = &data[i * entrySize];
            table[i] = withAlpha ? argb(e[3], std::min(e[0], e[3]), std::min(e[1], e[3]), std::min(e[2], e[3]))
                                 : argb(255, e[0], e[1], e[2]);
        }
        const std::uint8_t* pixels = &data[entries * entrySize];
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.at(x, y) = table[pixels[std::size_t(y) * row + std::size_t(x)]];
    } else if (format == 4 && !withAlpha) {
        std::size_t row = paddedRow(w * 2);
        Bytes data = inflateExactly(packed, row * h);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* p = &data[std::size_t(y) * row + std::size_t(x) * 2];
                unsigned v = unsigned(p[0]) << 8 | p[1];
                auto expand = [](unsigned five) { return (five << 3) | (five >> 2); };
                picture.at(x, y) = argb(255, expand((v >> 10) & 31), expand((v >> 5) & 31), expand(v & 31));
            }
    } else if (format == 5) {
        Bytes data = inflateExactly(packed, w * h * 4);
        for (std::size_t i = 0; i < w * h; ++i) {
            const std::uint8_t* p = &data[i * 4];
            // Colour beyond alpha would overflow when blended: keep it within.
            picture.data()[i] = withAlpha ? argb(p[0], std::min(p[1], p[0]), std::min(p[2], p[0]), std::min(p[3], p[0]))
                                          : argb(255, p[1], p[2], p[3]);
        }
    } else {
        throw FormatError("unknown lossless picture format");
    }
    return picture;
}

} // namespace

PixelBuffer decodePicture(std::span<const std::uint8_t> bytes, std::size_t maxPixels)
{
    Bytes clean = startsWith(bytes, {0xFF, 0xD8}) || startsWith(bytes, {0xFF, 0xD9}) ? cleanJpeg(bytes)
                                                                                      : Bytes(bytes.begin(), bytes.end());
    if (clean.empty() || clean.size() > 0x7FFFFFFF)
        throw FormatError("empty picture");
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(clean.data(), int(clean.size()), &w, &h, &channels))
        throw FormatError("undecodable picture");
    checkSize(std::size_t(w), std::size_t(h), maxPixels);
    stbi_uc* pixels = stbi_load_from_memory(clean.data(), int(clean.size()), &w, &h, &channels, 4);
    if (!pixels)
        throw FormatError("undecodable picture");
    PixelBuffer picture(w, h);
    for (std::size_t i = 0; i < std::size_t(w) * std::size_t(h); ++i) {
        const stbi_uc* p = pixels + i * 4;
        picture.data()[i] = premultiply(argb(p[3], p[0], p[1], p[2]));
    }
    stbi_image_free(pixels);
    return picture;
}

PixelBuffer parseBitmap(BitReader& in, unsigned tagCode, std::span<const std::uint8_t> jpegTables,
                        std::size_t maxPixels)
{
    switch (tagCode) {
    case tag::DefineBits: {
        auto image = in.bytes(in.remaining());
        Bytes stream = withTables(jpegTables, image);
        return decodePicture(stream, maxPixels);
    }
    case tag::DefineBitsJPEG2:
        return decodePicture(in.bytes(in.remaining()), maxPixels);
    case tag::DefineBitsJPEG3:
    case tag::DefineBitsJPEG4: {
        std::uint32_t alphaOffset = in.u32();
        if (tagCode == tag::DefineBitsJPEG4)
            in.u16(); // deblocking: not applied
        if (alphaOffset > in.remaining())
            throw FormatError("picture alpha offset out of range");
        auto image = in.bytes(alphaOffset);
        PixelBuffer picture = decodePicture(image, maxPixels);
        // Only JPEG data carries the separate alpha plane.
        if (startsWith(image, {0xFF, 0xD8}) || startsWith(image, {0xFF, 0xD9}))
            applyAlpha(picture, in.bytes(in.remaining()));
        return picture;
    }
    case tag::DefineBitsLossless:
    case tag::DefineBitsLossless2:
        return lossless(in, tagCode == tag::DefineBitsLossless2, maxPixels);
    default:
        throw FormatError("not a picture tag");
    }
}

} // namespace lumbra::movie
