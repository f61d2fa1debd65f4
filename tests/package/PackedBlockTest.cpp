#include "RecordingReporter.h"

#include "package/ByteReader.h"
#include "package/ByteWriter.h"
#include "package/PackageResources.h"
#include "package/PackedBlock.h"
#include "package/PlayerException.h"
#include "package/ResourceTable.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace lumbra {
namespace {

Bytes textBytes(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::string unpackError(const Bytes& block)
{
    try {
        unpackBlockOrThrow(block);
    } catch (const CZipException& error) {
        return error.message();
    }
    return "";
}

TEST(CZipException, ZlibCodesSelectFixedMessages)
{
    EXPECT_EQ(CZipException(Z_BUF_ERROR).message(), "There was not enough room in the compress(uncompress) output buffer");
    EXPECT_EQ(CZipException(Z_MEM_ERROR).message(), "There was not enough memory for compress(uncompress)");
    EXPECT_EQ(CZipException(Z_DATA_ERROR).message(), "The compress(uncompress) input data was corrupted");
    EXPECT_EQ(CZipException(Z_STREAM_ERROR).message(), "The compress level parameter is invalid");
    EXPECT_EQ(CZipException(Z_NEED_DICT).message(), "Compression or uncompression failed");
    EXPECT_EQ(CZipException(Z_VERSION_ERROR).message(), "Compression or uncompression failed");
    EXPECT_EQ(CZipException("own text").message(), "own text");
}

TEST(PackedBlock, RoundTripsAtEveryLevel)
{
    Bytes content = textBytes("The quick brown fox jumps over the lazy dog, again and again and again.");
    for (int level = 0; level <= 9; ++level)
        EXPECT_EQ(unpackBlockOrThrow(packBlock(content, level)), content) << level;
    EXPECT_TRUE(unpackBlockOrThrow(packBlock({}, 9)).empty());
}

TEST(PackedBlock, HeaderCarriesSizesAndCrc)
{
    Bytes content = textBytes("abcabcabcabc");
    Bytes block = packBlock(content);
    EXPECT_EQ(loadU32(&block[4]), content.size());
    EXPECT_EQ(loadU32(&block[8]), block.size() - 16);
    EXPECT_EQ(loadU32(&block[12]), crc32(0, content.data(), uInt(content.size())));
}

TEST(PackedBlock, ChecksInOrder)
{
    Bytes block = packBlock(textBytes("payload payload payload"));
    EXPECT_EQ(unpackError(Bytes(block.begin(), block.begin() + 16)), "Bad compressed data length");
    EXPECT_EQ(unpackError(Bytes{1}), "Bad compressed data length"); // the placeholder of a missing library
    EXPECT_EQ(unpackError({}), "Bad compressed data length");

    Bytes version2 = block;
    version2[2] = 2;
    EXPECT_EQ(unpackError(version2), "Bad compressed data header");
    Bytes badMagic = block;
    badMagic[0] = 'Z';
    EXPECT_EQ(unpackError(badMagic), "Bad compressed data header");

    Bytes truncated(block.begin(), block.end() - 1);
    EXPECT_EQ(unpackError(truncated), "Bad compressed data length");

    Bytes damaged = block;
    damaged[16] ^= 0xFF; // zlib header
    EXPECT_EQ(unpackError(damaged), "The compress(uncompress) input data was corrupted");
}

TEST(PackedBlock, ClaimedSizeSmallerThanContentIsBufferError)
{
    Bytes content = textBytes("0123456789abcdef0123456789abcdef");
    Bytes block = packBlock(content);
    storeU32(&block[4], std::uint32_t(content.size() - 1));
    EXPECT_EQ(unpackError(block), "There was not enough room in the compress(uncompress) output buffer");
}

TEST(PackedBlock, ClaimedSizeLargerGivesRealSize)
{
    Bytes content = textBytes("0123456789");
    Bytes block = packBlock(content);
    storeU32(&block[4], 1000);
    EXPECT_EQ(unpackBlockOrThrow(block), content);
}

TEST(PackedBlock, HugeClaimedSizeAllocatesOnlyWhatTheStreamCanFill)
{
    Bytes content = textBytes("tiny");
    Bytes block = packBlock(content);
    storeU32(&block[4], 0xFFFFFFFF);
    EXPECT_EQ(unpackBlockOrThrow(block), content);
}

// The output grows as the stream delivers: a content many times the first
// buffer unpacks whole under a claim of 4 GB, and a claim below the content
// still stops at the claim.
TEST(PackedBlock, OutputGrowsWithTheStreamUpToTheClaim)
{
    Bytes content(3 * 1024 * 1024 + 17);
    std::uint32_t seed = 1;
    for (std::uint8_t& byte : content) {
        seed = seed * 1103515245 + 12345;
        byte = std::uint8_t(seed >> 24 & 0x0F); // compressible, yet not trivially
    }
    Bytes block = packBlock(content);
    storeU32(&block[4], 0xFFFFFFFF);
    EXPECT_EQ(unpackBlockOrThrow(block), content);
    storeU32(&block[4], std::uint32_t(content.size() - 1));
    EXPECT_THROW(unpackBlockOrThrow(block), CZipException);
}

TEST(PackedBlock, ChecksumIsNotVerifiedAndTrailingBytesDoNotMatter)
{
    Bytes content = textBytes("some content");
    Bytes block = packBlock(content);
    block[12] ^= 0x55;
    block.insert(block.end(), {1, 2, 3, 4, 5});
    EXPECT_EQ(unpackBlockOrThrow(block), content);
}

TEST(PackedBlock, ReportingVariantReportsOnceSilentVariantNever)
{
    test::RecordingReporter reporter;
    EXPECT_FALSE(unpackBlock(Bytes{1}, reporter));
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Bad compressed data length"});
    EXPECT_FALSE(unpackBlockSilently(Bytes{1}));
    Bytes good = packBlock(textBytes("x"));
    EXPECT_EQ(unpackBlock(good, reporter), textBytes("x"));
    EXPECT_EQ(unpackBlockSilently(good), textBytes("x"));
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST(PackageResources, LoadsPackedAndRawResourcesCaseInsensitively)
{
    ResourceTable table;
    table.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ST"), packBlock(textBytes("settings")));
    table.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("CS"), textBytes("stamp"));
    table.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("FP"), Bytes{1});
    table.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("EMPTY"), {});
    test::RecordingReporter reporter;

    EXPECT_EQ(loadPackedResource(table, "lumbra", "st", reporter), textBytes("settings"));
    EXPECT_EQ(readResource(table, "Lumbra", "Cs"), textBytes("stamp"));
    EXPECT_FALSE(loadPackedResourceSilently(table, "LUMBRA", "FP"));
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_FALSE(loadPackedResource(table, "LUMBRA", "FP", reporter));
    EXPECT_EQ(reporter.messages.size(), 1u);

    EXPECT_THROW(readResource(table, "LUMBRA", "EMPTY"), PlayerException);
    EXPECT_THROW(loadPackedResource(table, "LUMBRA", "ML", reporter), PlayerException);
    EXPECT_THROW(loadPackedResourceSilently(table, "LUMBRA", "ML"), PlayerException);
    EXPECT_EQ(reporter.messages.size(), 1u); // a missing resource is the caller's to handle
}

} // namespace
} // namespace lumbra
