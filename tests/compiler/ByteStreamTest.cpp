#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "script/runtime/ByteStream.h"

namespace orvet {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ByteStream, PackLetters)
{
    ByteStream out = ByteStream::memory();
    const std::uint8_t raw[] = {9, 8};
    out.pack("cIlsxBaF", 0x141, 0x12345, 0x01020304, "ab", 2, raw, 1, raw, -42, 1.5);
    const Bytes expected{0x41, 0x23, 0x45, 1, 2, 3, 4, 'a', 'b', 0, 0, 0, 2, 9, 8, 9,
                         '-', '4', '2', '1', '.', '5', '0', '0', '0', '0', '0'};
    EXPECT_EQ(out.bytes(), expected);
}

TEST(ByteStream, PackDoubleInMemoryOrder)
{
    ByteStream out = ByteStream::memory();
    out.pack("d", 1.0);
    EXPECT_EQ(out.bytes(), (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
}

TEST(ByteStream, PackRejectsMismatchedArguments)
{
    ByteStream out = ByteStream::memory();
    EXPECT_THROW(out.pack("c"), std::invalid_argument);
    EXPECT_THROW(out.pack("d", "text"), std::invalid_argument);
    EXPECT_THROW(out.pack("q", 1), std::invalid_argument);
}

TEST(ByteStream, TextReadingEndsAtNulAndSupportsPushBack)
{
    ByteStream in = ByteStream::fromText(std::string_view("ab\0c", 4));
    EXPECT_EQ(in.sourceName(), "string");
    EXPECT_EQ(in.get(), 'a');
    in.unget('x');
    in.unget('y');
    EXPECT_EQ(in.get(), 'y');
    EXPECT_EQ(in.get(), 'x');
    EXPECT_EQ(in.peek(), 'b');
    EXPECT_EQ(in.get(), 'b');
    EXPECT_EQ(in.get(), ByteStream::kEnd);
    in.rewind();
    EXPECT_EQ(in.get(), 'a');
}

TEST(ByteStream, FilesRoundTripThroughTheWriteBuffer)
{
    const auto path = (std::filesystem::temp_directory_path() / "orvet_bytestream_test.bin").string();
    std::string big(10000, 'z');
    big[4095] = '\n';
    {
        auto out = ByteStream::openWrite(path);
        ASSERT_TRUE(out);
        out->write(big);
        EXPECT_TRUE(out->close());
    }
    {
        std::string messages;
        auto in = ByteStream::openRead(path, messages);
        ASSERT_TRUE(in);
        EXPECT_EQ(in->sourceName(), path);
        std::string back;
        for (int c; (c = in->get()) != ByteStream::kEnd;)
            back += static_cast<char>(c);
        EXPECT_EQ(back, big);
        EXPECT_EQ(messages, "");
    } // closed before removing: Windows keeps open files
    std::filesystem::remove(path);
}

TEST(ByteStream, MissingFileAppendsMessage)
{
    std::string messages = "earlier\n";
    EXPECT_FALSE(ByteStream::openRead("/no/such/file.ovs", messages));
    EXPECT_EQ(messages, "earlier\ncan't open the script file: /no/such/file.ovs\n");
}

} // namespace
} // namespace orvet
