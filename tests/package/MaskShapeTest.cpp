// Shape masks: rows of opaque runs, their region data and the mask file.
#include "package/MaskShape.h"

#include <gtest/gtest.h>

#include <string>

namespace lumbra {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A picture drawn as text rows: '#' opaque, '.' transparent.
MaskShape shapeOf(const std::vector<std::string>& rows, int left = 0, int top = 0)
{
    const int width = static_cast<int>(rows.front().size()), height = static_cast<int>(rows.size());
    return opaqueRuns({left, top, left + width, top + height},
                      [&](int x, int y) { return rows[y - top][x - left] == '#'; });
}

void appendU32(Bytes& bytes, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(std::uint8_t(value >> shift));
}

TEST(MaskShape, RunsAreMaximalOneRowRectanglesTopToBottom)
{
    const MaskShape shape = shapeOf({"##..#",
                                     ".....",
                                     ".###.",
                                     "#####"},
                                    10, 20);
    const std::vector<MaskRect> expected = {
        {10, 20, 12, 21}, {14, 20, 15, 21}, {11, 22, 14, 23}, {10, 23, 15, 24}};
    EXPECT_EQ(shape.rects, expected);
    EXPECT_EQ(shape.bounds, (MaskRect{10, 20, 15, 24}));
    EXPECT_TRUE(shapeOf({"...", "..."}).rects.empty());
}

TEST(MaskShape, MaskFileMatchesHandWrittenRegionData)
{
    // RGNDATAHEADER: dwSize 32, iType 1 (RDH_RECTANGLES), nCount, nRgnSize,
    // rcBound; then the RECTs; the file puts the byte count first.
    Bytes expected;
    for (std::uint32_t word : {32u + 32u, 32u, 1u, 2u, 32u, 0u, 0u, 3u, 2u, 0u, 0u, 1u, 1u, 2u, 1u, 3u, 2u})
        appendU32(expected, word);
    EXPECT_EQ(maskFile(shapeOf({"#..", "..#"})), expected);
}

TEST(MaskShape, MaskFileReadsBack)
{
    const MaskShape shape = shapeOf({"#.#.#", ".###.", "#...#"}, 3, 4);
    const auto read = readMaskFile(maskFile(shape));
    ASSERT_TRUE(read);
    EXPECT_EQ(read->rects, shape.rects);
    EXPECT_EQ(read->bounds, shape.bounds);
}

TEST(MaskShape, DamagedMaskFilesAreRefused)
{
    const Bytes good = maskFile(shapeOf({"#.#", "###"}));
    ASSERT_TRUE(readMaskFile(good));

    EXPECT_FALSE(readMaskFile(Bytes{}));
    EXPECT_FALSE(readMaskFile(Bytes(good.begin(), good.end() - 1))) << "byte count beyond the file";

    Bytes header = good;
    header[4] = 40; // a header size that is not 32
    EXPECT_FALSE(readMaskFile(header));

    Bytes type = good;
    type[8] = 2;
    EXPECT_FALSE(readMaskFile(type));

    Bytes count = good;
    count[12] = 0xFF; // more rectangles than the bytes hold
    count[15] = 0x7F;
    EXPECT_FALSE(readMaskFile(count));

    Bytes tooShort = good;
    tooShort[0] = 16; // shorter than a header
    EXPECT_FALSE(readMaskFile(tooShort));

    Bytes trailing = good;
    trailing.push_back(0xAB); // bytes after the region are ignored
    EXPECT_TRUE(readMaskFile(trailing));
}

} // namespace
} // namespace lumbra
