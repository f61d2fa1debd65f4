#include "TempFolder.h"

#include "package/ByteWriter.h"
#include "package/MovieInfo.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace lumbra {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::TempFolder;

class BitWriter {
public:
    void bits(std::uint32_t value, int count)
    {
        for (int i = count - 1; i >= 0; --i) {
            if (used_ % 8 == 0)
                bytes_.push_back(0);
            if ((value >> i) & 1)
                bytes_.back() |= std::uint8_t(0x80 >> (used_ % 8));
            ++used_;
        }
    }
    Bytes bytes() const { return bytes_; }

private:
    Bytes bytes_;
    int used_ = 0;
};

// The part after the 8-byte header: rectangle, rate, count and tags.
Bytes movieBody(std::uint32_t xMin, std::uint32_t xMax, std::uint32_t yMin, std::uint32_t yMax, bool withColour)
{
    BitWriter rect;
    rect.bits(16, 5);
    for (std::uint32_t v : {xMin, xMax, yMin, yMax})
        rect.bits(v, 16);
    ByteWriter out;
    out.bytes(rect.bytes());
    out.u16(0x1880); // 24.5 frames per second
    out.u16(42);
    out.u16(std::uint16_t(69 << 6 | 4)); // another tag first
    out.u32(0);
    if (withColour) {
        out.u16(std::uint16_t(9 << 6 | 0x3F)); // long form
        out.u32(3);
        out.bytes(Bytes{0x12, 0x34, 0x56});
    }
    out.u16(0);
    return out.release();
}

Bytes movie(bool compressed, const Bytes& body)
{
    ByteWriter out;
    out.bytes(Bytes{std::uint8_t(compressed ? 'C' : 'F'), 'W', 'S', 10});
    out.u32(std::uint32_t(body.size() + 8));
    if (!compressed) {
        out.bytes(body);
        return out.release();
    }
    uLongf size = compressBound(uLong(body.size()));
    Bytes packed(size);
    compress2(packed.data(), &size, body.data(), uLong(body.size()), 9);
    packed.resize(size);
    out.bytes(packed);
    return out.release();
}

class MovieHeader : public ::testing::Test {
protected:
    MovieInfo read(const Bytes& bytes)
    {
        test::writeFile(folder / "movie.swf", bytes);
        return readMovieInfo(folder / "movie.swf");
    }
    TempFolder folder;
};

TEST_F(MovieHeader, PlainMovie)
{
    Bytes body = movieBody(0, 11010, 20, 8000, true);
    MovieInfo info = read(movie(false, body));
    EXPECT_EQ(info.left, 0);
    EXPECT_EQ(info.right, 550); // 550.5 truncated
    EXPECT_EQ(info.top, 1);
    EXPECT_EQ(info.bottom, 400);
    EXPECT_EQ(info.width(), 550);
    EXPECT_EQ(info.height(), 399);
    EXPECT_EQ(info.frameRate, 24);
    EXPECT_EQ(info.frameCount, 42);
    EXPECT_EQ(info.backgroundColor, 0x123456);
    EXPECT_EQ(info.version, 10);
    EXPECT_EQ(info.fileLength, body.size() + 8);
}

TEST_F(MovieHeader, CompressedMovieReadsTheSame)
{
    Bytes body = movieBody(0, 11010, 20, 8000, true);
    EXPECT_EQ(read(movie(true, body)), read(movie(false, body)));
}

TEST_F(MovieHeader, NoBackgroundTagGivesMinusOne)
{
    MovieInfo info = read(movie(false, movieBody(0, 2000, 0, 1000, false)));
    EXPECT_EQ(info.right, 100);
    EXPECT_EQ(info.backgroundColor, -1);
}

TEST_F(MovieHeader, ProjectorWithAppendedMovie)
{
    Bytes program = {'M', 'Z', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    Bytes swf = movie(true, movieBody(0, 4000, 0, 2000, true));
    program.insert(program.end(), swf.begin(), swf.end());
    ByteWriter tail;
    tail.u32(0xFA123456);
    tail.u32(std::uint32_t(swf.size()));
    program.insert(program.end(), tail.data().begin(), tail.data().end());
    MovieInfo info = read(program);
    EXPECT_EQ(info.right, 200);
    EXPECT_EQ(info.bottom, 100);
    EXPECT_EQ(info.backgroundColor, 0x123456);
    // Nothing is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST_F(MovieHeader, UnreadableFilesGiveZeroInfo)
{
    MovieInfo none;
    EXPECT_EQ(none.backgroundColor, -1);
    EXPECT_EQ(readMovieInfo(folder / "missing.swf"), none);
    EXPECT_EQ(read({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0, 0, 0, 0, 0, 0}), none);
    EXPECT_EQ(read({}), none);
    Bytes whole = movie(false, movieBody(0, 11010, 20, 8000, true));
    for (std::size_t size = 0; size < 14; ++size)
        EXPECT_EQ(read(Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(size))), none) << size;
    Bytes lying = movie(true, movieBody(0, 11010, 20, 8000, true));
    storeU32(&lying[4], 0xFFFFFFFF); // claims 4 GiB unpacked
    EXPECT_EQ(read(lying).right, 550);
}

} // namespace
} // namespace lumbra
