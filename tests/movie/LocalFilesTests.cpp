// Which files a movie may load: relative paths and file: URLs inside its
// folder, nothing outside it and nothing from a network.
#include "control/movie/LocalFiles.h"

#include "tests/package/TempFolder.h"

#include <gtest/gtest.h>

namespace lumbra::movie {
namespace {

namespace fs = std::filesystem;

TEST(LocalFiles, OnlyTheMoviesFolderAndBelow)
{
    fs::path folder = fs::path("/movies/game");
    EXPECT_EQ(fileInFolder(folder, u"data.xml"), folder / "data.xml");
    EXPECT_EQ(fileInFolder(folder, u"levels\\one.txt?x=1#top"), folder / "levels" / "one.txt");
    EXPECT_EQ(fileInFolder(folder, u"levels/../data.xml"), folder / "data.xml");
    EXPECT_EQ(fileInFolder(folder, u"my%20file.txt"), folder / "my file.txt");
    EXPECT_EQ(fileInFolder(folder, u"caf%C3%A9.txt"), folder / fs::path(u"caf\u00e9.txt"));
    EXPECT_EQ(fileInFolder(folder, u"file:///movies/game/a.txt"), folder / "a.txt");
    EXPECT_EQ(fileInFolder(folder, u"/movies/game/sub/b.txt"), folder / "sub" / "b.txt");

    for (const char16_t* refused : {u"../secret.txt", u"levels/../../x", u"..%2Fsecret.txt", u"/etc/passwd",
                                     u"file:///etc/passwd", u"http://example.com/data.xml", u"ftp://host/a",
                                     u"HTTPS://host/a", u"", u"?only", u".", u"/movies/gamer/x.txt"})
        EXPECT_FALSE(fileInFolder(folder, refused)) << std::string(refused, refused + std::char_traits<char16_t>::length(refused));
    EXPECT_FALSE(fileInFolder({}, u"data.xml"));
}

TEST(LocalFiles, NetworkSchemes)
{
    EXPECT_TRUE(isNetworkUrl(u"http://a/b"));
    EXPECT_TRUE(isNetworkUrl(u"rtmp:x"));
    EXPECT_FALSE(isNetworkUrl(u"file:///a"));
    EXPECT_FALSE(isNetworkUrl(u"C:/data.xml"));
    EXPECT_FALSE(isNetworkUrl(u"data.xml"));
}

TEST(LocalFiles, ReadsWholeFilesAndRefusesFolders)
{
    test::TempFolder temp;
    test::writeFile(temp / "a.txt", std::string("x=1"));
    auto bytes = readDataFile(temp / "a.txt");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(std::string(bytes->begin(), bytes->end()), "x=1");
    EXPECT_FALSE(readDataFile(temp.path()));
    EXPECT_FALSE(readDataFile(temp / "missing.txt"));
}

} // namespace
} // namespace lumbra::movie
