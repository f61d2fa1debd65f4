#include "package/PackedBlock.h"

#include "package/ByteReader.h"
#include "package/ByteWriter.h"
#include "package/InflateStream.h"
#include "package/PlayerException.h"

#include <algorithm>
#include <new>

namespace lumbra {

namespace {

// Deflate cannot expand input by more than this factor, so the output never
// has to be larger than the stream can fill, whatever size the header claims.
constexpr std::uint64_t maxDeflateRatio = 1032;
// The output starts at most this large and doubles as the stream fills it:
// a header claiming 4 GB costs nothing until the stream delivers the bytes.
constexpr std::size_t firstChunk = 64 * 1024;

void grow(Bytes& output, std::uint64_t bound)
{
    std::uint64_t size = std::min<std::uint64_t>(std::max<std::uint64_t>(output.size() * 2, firstChunk), bound);
    try {
        output.resize(std::size_t(size));
    } catch (const std::bad_alloc&) {
        throw CZipException(Z_MEM_ERROR);
    } catch (const std::length_error&) {
        throw CZipException(Z_MEM_ERROR);
    }
}

} // namespace

bool looksPacked(std::span<const std::uint8_t> bytes)
{
    return bytes.size() >= 4 && bytes[0] == 'S' && bytes[1] == 'M' && bytes[2] == 1 && bytes[3] == 0;
}

Bytes unpackBlockOrThrow(std::span<const std::uint8_t> block)
{
    if (block.size() <= packedBlockHeaderSize)
        throw CZipException("Bad compressed data length");
    if (!looksPacked(block))
        throw CZipException("Bad compressed data header");
    std::uint32_t unpackedSize = loadU32(&block[4]);
    std::uint32_t packedSize = loadU32(&block[8]);
    if (block.size() - packedBlockHeaderSize < packedSize)
        throw CZipException("Bad compressed data length");
    // The checksum at offset 12 is the packager's; inflate's Adler-32 already
    // guards the stream.

    std::uint64_t bound = std::min<std::uint64_t>(unpackedSize, std::uint64_t(packedSize) * maxDeflateRatio + 64);
    Bytes output;
    InflateStream stream;
    stream->next_in = const_cast<Bytef*>(block.data() + packedBlockHeaderSize);
    stream->avail_in = packedSize;
    Bytef none = 0; // zlib rejects a null output pointer even for no room
    int code = Z_OK;
    // Once the output is at its bound, inflate answers Z_BUF_ERROR if the
    // stream still has bytes to give: the claimed size was too small.
    do {
        if (stream->total_out == output.size() && output.size() < bound)
            grow(output, bound);
        stream->next_out = output.empty() ? &none : output.data() + stream->total_out;
        stream->avail_out = uInt(output.size() - stream->total_out);
        code = stream.inflate(Z_NO_FLUSH);
    } while (code == Z_OK);
    if (code != Z_STREAM_END)
        throw CZipException(code);
    output.resize(stream->total_out);
    return output;
}

std::optional<Bytes> unpackBlock(std::span<const std::uint8_t> block, ErrorReporter& reporter)
{
    try {
        return unpackBlockOrThrow(block);
    } catch (const PlayerException& error) {
        reporter.report(error.message());
        return std::nullopt;
    }
}

std::optional<Bytes> unpackBlockSilently(std::span<const std::uint8_t> block)
{
    try {
        return unpackBlockOrThrow(block);
    } catch (const PlayerException&) {
        return std::nullopt;
    }
}

Bytes packBlock(std::span<const std::uint8_t> content, int level)
{
    uLongf packedSize = compressBound(uLong(content.size()));
    Bytes block(packedBlockHeaderSize + packedSize);
    int code = compress2(block.data() + packedBlockHeaderSize, &packedSize, content.data(), uLong(content.size()), level);
    if (code != Z_OK)
        throw CZipException(code);
    block.resize(packedBlockHeaderSize + packedSize);
    block[0] = 'S';
    block[1] = 'M';
    storeU16(&block[2], 1);
    storeU32(&block[4], std::uint32_t(content.size()));
    storeU32(&block[8], std::uint32_t(packedSize));
    storeU32(&block[12], std::uint32_t(crc32(0, content.data(), uInt(content.size()))));
    return block;
}

} // namespace lumbra
