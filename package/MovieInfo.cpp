#include "package/MovieInfo.h"

#include "package/ByteReader.h"
#include "package/InflateStream.h"
#include "package/PlayerException.h"

#include <algorithm>
#include <fstream>
#include <optional>
#include <vector>

namespace lumbra {

namespace {

constexpr std::uint16_t backgroundColorTag = 9;
constexpr std::uint64_t maxDeflateRatio = 1032;

// Most significant bit first, as the frame rectangle is stored.
class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint32_t bits(int count)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < count; ++i, ++bit_) {
            if (bit_ / 8 >= bytes_.size())
                throw PlayerException("Movie header cut off");
            value = value << 1 | ((bytes_[bit_ / 8] >> (7 - bit_ % 8)) & 1);
        }
        return value;
    }
    std::size_t nextByte() const { return (bit_ + 7) / 8; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t bit_ = 0;
};

std::int32_t toPixels(std::uint32_t twips)
{
    return std::int32_t(twips / 20); // twips * 0.05, truncated
}

// Steps 3 and 4: the frame rectangle, rate, count and background colour of
// the data following the 8-byte header.
void readBody(std::span<const std::uint8_t> body, MovieInfo& info)
{
    BitReader bits(body);
    int width = int(bits.bits(5));
    std::uint32_t xMin = bits.bits(width), xMax = bits.bits(width);
    std::uint32_t yMin = bits.bits(width), yMax = bits.bits(width);
    ByteReader in(body);
    in.skip(bits.nextByte());
    std::uint16_t rate = in.u16();
    std::uint16_t frames = in.u16();
    info.left = toPixels(xMin);
    info.right = toPixels(xMax);
    info.top = toPixels(yMin);
    info.bottom = toPixels(yMax);
    info.frameRate = rate >> 8;
    info.frameCount = frames;
    while (in.remaining() >= 2) {
        std::uint16_t header = in.u16();
        std::uint32_t length = header & 0x3F;
        if (length == 0x3F)
            length = in.u32();
        if (length > in.remaining())
            return;
        auto content = in.bytes(length);
        if (header >> 6 == backgroundColorTag && length >= 3) {
            info.backgroundColor = std::int32_t(content[0] << 16 | content[1] << 8 | content[2]);
            return;
        }
    }
}

std::vector<std::uint8_t> readAt(std::ifstream& in, std::uint64_t at, std::uint64_t count)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count));
    in.clear();
    in.seekg(std::streamoff(at));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), std::streamsize(count)))
        throw PlayerException("Movie file cut off");
    return bytes;
}

std::vector<std::uint8_t> inflateBody(std::span<const std::uint8_t> packed, std::uint32_t fileLength)
{
    // The header's length is the movie's claim; what the stream can
    // produce bounds the buffer.
    std::uint64_t wanted = fileLength >= 8 ? fileLength - 8 : 0;
    std::vector<std::uint8_t> body(
        std::size_t(std::min<std::uint64_t>(wanted, packed.size() * maxDeflateRatio + 64)));
    if (body.empty())
        return body;
    InflateStream stream;
    stream->next_in = const_cast<Bytef*>(packed.data());
    stream->avail_in = uInt(packed.size());
    stream->next_out = body.data();
    stream->avail_out = uInt(body.size());
    int code = stream.inflate(Z_FINISH);
    if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR)
        throw CZipException(code);
    body.resize(stream->total_out);
    return body;
}

// Steps 1-4 on the movie that starts at offset and spans length bytes.
std::optional<MovieInfo> readMovieAt(std::ifstream& in, std::uint64_t offset, std::uint64_t length)
{
    if (length < 8)
        return std::nullopt;
    auto header = readAt(in, offset, 8);
    bool compressed = header[0] == 'C';
    if ((header[0] != 'F' && !compressed) || header[1] != 'W' || header[2] != 'S')
        return std::nullopt;
    MovieInfo info;
    info.version = header[3];
    info.fileLength = loadU32(&header[4]);
    auto rest = readAt(in, offset + 8, length - 8);
    readBody(compressed ? inflateBody(rest, info.fileLength) : rest, info);
    return info;
}

} // namespace

MovieInfo readMovieInfo(const std::filesystem::path& file)
{
    try {
        std::error_code error;
        std::uint64_t size = std::filesystem::file_size(file, error);
        std::ifstream in(file, std::ios::binary);
        if (error || !in)
            return {};
        if (auto info = readMovieAt(in, 0, size))
            return *info;
        // A projector program carries its movie at the end, followed by
        // the movie's length.
        if (size < 12)
            return {};
        std::uint64_t length = loadU32(readAt(in, size - 4, 4).data());
        if (length + 8 > size)
            return {};
        return readMovieAt(in, size - 8 - length, length).value_or(MovieInfo{});
    } catch (const std::exception&) {
        return {};
    }
}

} // namespace lumbra
