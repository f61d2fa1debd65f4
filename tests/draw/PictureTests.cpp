// Picture tags from hand-assembled bytes: lossless pixels in every format,
// JPEG on its own, with shared tables and with a separate alpha plane.
#include "control/movie/BitmapParsers.h"
#include "control/movie/TagCodes.h"

#include <gtest/gtest.h>
#include <zlib.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include <vector>

namespace lumbra::movie {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes deflate(const Bytes& raw)
{
    uLongf size = compressBound(uLong(raw.size()));
    Bytes out(size);
    compress(out.data(), &size, raw.data(), uLong(raw.size()));
    out.resize(size);
    return out;
}

PixelBuffer parse(unsigned code, const Bytes& body, const Bytes& tables = {})
{
    BitReader in(body);
    return parseBitmap(in, code, tables);
}

Bytes losslessHeader(unsigned format, unsigned w, unsigned h)
{
    return {std::uint8_t(format), std::uint8_t(w), std::uint8_t(w >> 8), std::uint8_t(h), std::uint8_t(h >> 8)};
}

Bytes concat(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(LosslessPictures, TrueColourWithAndWithoutAlpha)
{
    // 2 x 1: format 5 stores four bytes a pixel; the first is reserved
    // without alpha and is the (premultiplying) alpha with it.
    Bytes pixels = {0x00, 0xFF, 0x80, 0x00, 0x12, 0x00, 0x00, 0xFF};
    PixelBuffer opaque = parse(tag::DefineBitsLossless, concat(losslessHeader(5, 2, 1), deflate(pixels)));
    ASSERT_EQ(opaque.width(), 2);
    EXPECT_EQ(opaque.at(0, 0), 0xFFFF8000u);
    EXPECT_EQ(opaque.at(1, 0), 0xFF0000FFu);
    Bytes withAlpha = {0x80, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    PixelBuffer alpha = parse(tag::DefineBitsLossless2, concat(losslessHeader(5, 2, 1), deflate(withAlpha)));
    EXPECT_EQ(alpha.at(0, 0), 0x80800000u) << "half-transparent red, already premultiplied";
    EXPECT_EQ(alpha.at(1, 0), 0u);
}

TEST(LosslessPictures, ColourMappedAndFifteenBit)
{
    // 3 x 2 with a table of two colours; rows padded to four bytes.
    Bytes data = {0xFF, 0x00, 0x00, 0x00, 0x00, 0xFF, // red, blue
                  0, 1, 0, 0xAA, 1, 1, 9, 0xBB};      // row 0: r b r; row 1: b b (9: past the table)
    Bytes body = concat(losslessHeader(3, 3, 2), Bytes{1});
    PixelBuffer mapped = parse(tag::DefineBitsLossless, concat(body, deflate(data)));
    EXPECT_EQ(mapped.at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(mapped.at(1, 0), 0xFF0000FFu);
    EXPECT_EQ(mapped.at(2, 0), 0xFFFF0000u);
    EXPECT_EQ(mapped.at(0, 1), 0xFF0000FFu);
    EXPECT_EQ(mapped.at(2, 1), 0u) << "an index past the table shows nothing";
    // 15-bit: 0 RRRRR GGGGG BBBBB, high byte first; 2 x 1 fills one padded row.
    Bytes fifteen = {0x7C, 0x00, 0x03, 0xE0};
    PixelBuffer high = parse(tag::DefineBitsLossless, concat(losslessHeader(4, 2, 1), deflate(fifteen)));
    EXPECT_EQ(high.at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(high.at(1, 0), 0xFF00FF00u);
}

TEST(LosslessPictures, DamagedDataIsRefused)
{
    Bytes pixels(8, 0);
    Bytes packed = deflate(pixels);
    packed.resize(packed.size() / 2);
    EXPECT_THROW(parse(tag::DefineBitsLossless, concat(losslessHeader(5, 2, 1), packed)), FormatError);
    EXPECT_THROW(parse(tag::DefineBitsLossless, concat(losslessHeader(5, 0, 1), deflate(pixels))), FormatError);
    EXPECT_THROW(parse(tag::DefineBitsLossless, concat(losslessHeader(5, 60000, 60000), deflate(pixels))), FormatError);
    EXPECT_THROW(parse(tag::DefineBitsLossless, concat(losslessHeader(7, 2, 1), deflate(pixels))), FormatError);
    // A movie's pictures share one budget: past it even a small one is refused.
    Bytes small = concat(losslessHeader(5, 2, 1), deflate(pixels));
    BitReader in(small);
    EXPECT_THROW(parseBitmap(in, tag::DefineBitsLossless, {}, 1), FormatError);
}

// A 16 x 16 baseline JPEG of one colour, from an independent encoder.
Bytes jpegOf(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    std::vector<std::uint8_t> rgb;
    for (int i = 0; i < 16 * 16; ++i)
        rgb.insert(rgb.end(), {r, g, b});
    Bytes out;
    stbi_write_jpg_to_func(
        [](void* context, void* data, int size) {
            auto* bytes = static_cast<std::uint8_t*>(data);
            static_cast<Bytes*>(context)->insert(static_cast<Bytes*>(context)->end(), bytes, bytes + size);
        },
        &out, 16, 16, 3, rgb.data(), 95);
    return out;
}

void expectNear(Argb c, unsigned r, unsigned g, unsigned b, int tolerance)
{
    EXPECT_NEAR(int(redOf(c)), int(r), tolerance);
    EXPECT_NEAR(int(greenOf(c)), int(g), tolerance);
    EXPECT_NEAR(int(blueOf(c)), int(b), tolerance);
}

TEST(JpegPictures, WholeWithTablesAndWithAlpha)
{
    Bytes jpeg = jpegOf(200, 40, 90);
    PixelBuffer whole = parse(tag::DefineBitsJPEG2, jpeg);
    ASSERT_EQ(whole.width(), 16);
    expectNear(whole.at(8, 8), 200, 40, 90, 4);
    // The old stray end-and-start markers in front are skipped.
    PixelBuffer stray = parse(tag::DefineBitsJPEG2, concat({0xFF, 0xD9, 0xFF, 0xD8}, jpeg));
    expectNear(stray.at(8, 8), 200, 40, 90, 4);

    // DefineBits: the tables (every marker before the frame) live in
    // JPEGTables, each part with its own start and end markers.
    std::size_t frame = 2;
    while (frame + 4 < jpeg.size() && !(jpeg[frame] == 0xFF && jpeg[frame + 1] == 0xC0))
        frame += 2 + (std::size_t(jpeg[frame + 2]) << 8 | jpeg[frame + 3]);
    ASSERT_LT(frame + 4, jpeg.size());
    Bytes tables = concat(Bytes(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(frame)), {0xFF, 0xD9});
    Bytes image = concat({0xFF, 0xD8}, Bytes(jpeg.begin() + std::ptrdiff_t(frame), jpeg.end()));
    expectNear(parse(tag::DefineBits, image, tables).at(3, 3), 200, 40, 90, 4);

    // DefineBitsJPEG3: offset of the alpha plane, the JPEG, one zlib-packed
    // byte of alpha per pixel.
    Bytes alpha(16 * 16, 0x80);
    alpha[0] = 0;
    std::uint32_t n = std::uint32_t(jpeg.size());
    Bytes body = concat({std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)}, jpeg);
    PixelBuffer translucent = parse(tag::DefineBitsJPEG3, concat(body, deflate(alpha)));
    EXPECT_EQ(alphaOf(translucent.at(5, 5)), 0x80u);
    expectNear(translucent.at(5, 5), 100, 20, 45, 3);
    EXPECT_EQ(translucent.at(0, 0), 0u);
}

TEST(JpegPictures, GarbageIsRefused)
{
    EXPECT_THROW(parse(tag::DefineBitsJPEG2, Bytes{0xFF, 0xD8, 0xFF, 0xC0, 0, 0}), FormatError);
    EXPECT_THROW(parse(tag::DefineBitsJPEG2, Bytes{}), FormatError);
    Bytes jpeg = jpegOf(1, 2, 3);
    jpeg.resize(jpeg.size() / 3);
    Bytes body = concat({0xFF, 0xFF, 0, 0}, jpeg);
    EXPECT_THROW(parse(tag::DefineBitsJPEG3, body), FormatError) << "alpha offset past the end";
}

} // namespace
} // namespace lumbra::movie
