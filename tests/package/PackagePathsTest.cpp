#include "package/PackagePaths.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

TEST(PackagePaths, SafeNamesStayInside)
{
    for (std::string_view good : {"movie.swf", "sub\\movie.swf", "sub/movie.swf", "a..b.swf", "..hidden", "x..\\y"})
        EXPECT_TRUE(isSafeRelativeName(good)) << good;
    for (std::string_view bad : {"", "..", "..\\x", "../x", "a\\..\\b", "a/..", "\\x", "/x", "C:\\x", "C:x",
                                 "\\\\server\\share\\x", "x:stream"})
        EXPECT_FALSE(isSafeRelativeName(bad)) << bad;
}

TEST(PackagePaths, BackslashesSeparateFolders)
{
    std::filesystem::path base = std::filesystem::path("base");
    auto inside = pathInside(base, "sub\\movie.swf");
    ASSERT_TRUE(inside);
    EXPECT_EQ(*inside, base / "sub" / "movie.swf");
    EXPECT_FALSE(pathInside(base, "..\\movie.swf"));
}

TEST(PackagePaths, AnsiNamesSurviveThePathRoundTrip)
{
    std::string name = "caf\xE9.swf";
    EXPECT_EQ(ansiFromPath(pathFromAnsi(name)), name);
}

} // namespace
} // namespace lumbra
