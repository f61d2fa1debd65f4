#include "control/movie/MovieFile.h"

#include "control/movie/LzmaBody.h"

#include <zlib.h>

#include <algorithm>

namespace lumbra::movie {

namespace {

constexpr std::size_t kHeaderSize = 8;
// A larger inflated movie is refused rather than exhausting a 32-bit process.
constexpr std::size_t kMaxMovieSize = 256u << 20;
constexpr double kDefaultFrameRate = 12;

// Inflates up to `limit` bytes; a stream that ends early yields what it held.
std::vector<std::uint8_t> inflateBody(std::span<const std::uint8_t> packed, std::size_t limit)
{
    std::vector<std::uint8_t> out;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        throw FormatError("cannot start decompression");
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = uInt(packed.size());
    int status = Z_OK;
    while (status == Z_OK && out.size() < limit) {
        std::size_t chunk = std::min<std::size_t>(limit - out.size(), 1u << 16);
        std::size_t start = out.size();
        out.resize(start + chunk);
        z.next_out = out.data() + start;
        z.avail_out = uInt(chunk);
        status = inflate(&z, Z_NO_FLUSH);
        out.resize(start + chunk - z.avail_out);
        if (status == Z_BUF_ERROR && z.avail_in == 0)
            break;
    }
    inflateEnd(&z);
    if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR && out.empty())
        throw FormatError("compressed movie data is damaged");
    return out;
}

} // namespace

MovieFile openMovieFile(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize)
        throw FormatError("file too short for a movie");
    char method = char(bytes[0]);
    if ((method != 'F' && method != 'C' && method != 'Z') || bytes[1] != 'W' || bytes[2] != 'S')
        throw FormatError("not a movie file (bad signature)");
    MovieFile file;
    file.info.compressed = method != 'F';
    file.info.version = bytes[3];
    BitReader header(bytes.subspan(4, 4));
    file.info.fileLength = header.u32();

    auto rest = bytes.subspan(kHeaderSize);
    std::size_t declared = file.info.fileLength > kHeaderSize ? file.info.fileLength - kHeaderSize : 0;
    std::vector<std::uint8_t> body;
    if (method == 'C')
        body = inflateBody(rest, std::min(declared, kMaxMovieSize));
    else if (method == 'Z')
        body = decodeLzmaBody(rest, std::min(declared, kMaxMovieSize));
    else
        body.assign(rest.begin(), rest.end());

    BitReader in(body);
    try {
        file.info.frame = in.rect();
        double rate = in.u16() / 256.0;
        file.info.frameRate = rate > 0 ? rate : kDefaultFrameRate;
        file.info.frameCount = in.u16();
    } catch (const FormatError&) {
        throw FormatError("movie header is truncated");
    }
    file.tags.assign(body.begin() + std::ptrdiff_t(in.position()), body.end());
    return file;
}

std::optional<Tag> TagReader::next()
{
    try {
        if (in_.atEnd())
            return std::nullopt;
        unsigned word = in_.u16();
        std::size_t length = word & 0x3F;
        if (length == 0x3F)
            length = in_.u32();
        return Tag{word >> 6, in_.bytes(length)};
    } catch (const FormatError&) {
        return std::nullopt;
    }
}

} // namespace lumbra::movie
