#include "control/com/MovieLocation.h"

#include "tests/control/ControlHost.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lumbra::com {
namespace {

std::u16string resolved(std::u16string_view location, std::u16string_view base = u"") {
    return resolveMovieLocation(location, base).value_or(u"<none>");
}

TEST(MovieLocation, PathsAndFileUrls) {
    EXPECT_EQ(resolved(u"C:\\movies\\a.swf"), u"C:\\movies\\a.swf");
    EXPECT_EQ(resolved(u"C:/movies/a.swf"), u"C:\\movies\\a.swf");
    EXPECT_EQ(resolved(u"file:///C:/my%20movies/a.swf"), u"C:\\my movies\\a.swf");
    EXPECT_EQ(resolved(u"FILE://C:/a.swf"), u"C:\\a.swf");
    EXPECT_EQ(resolved(u"file://server/share/a.swf"), u"\\\\server\\share\\a.swf");
    EXPECT_EQ(resolved(u"file:///C:/caf%C3%A9.swf"), u"C:\\caf\u00e9.swf") << "escapes are UTF-8";
    EXPECT_EQ(resolved(u"file:///C:/100%.swf"), u"C:\\100%.swf") << "a stray % stays";
}

TEST(MovieLocation, RelativeToBase) {
    EXPECT_EQ(resolved(u"a.swf"), u"a.swf");
    EXPECT_EQ(resolved(u"a.swf", u"C:\\movies"), u"C:\\movies\\a.swf");
    EXPECT_EQ(resolved(u"sub/a.swf", u"C:\\movies\\"), u"C:\\movies\\sub\\a.swf");
    EXPECT_EQ(resolved(u"a.swf", u"file:///D:/base"), u"D:\\base\\a.swf");
    EXPECT_EQ(resolved(u"D:\\other\\a.swf", u"C:\\movies"), u"D:\\other\\a.swf");
}

TEST(MovieLocation, OtherSchemesAndEmptyNamesAreNotFiles) {
    EXPECT_FALSE(resolveMovieLocation(u"http://example.com/a.swf", u""));
    EXPECT_FALSE(resolveMovieLocation(u"a.swf", u"https://example.com/"));
    EXPECT_FALSE(resolveMovieLocation(u"", u"C:\\"));
    EXPECT_FALSE(resolveMovieLocation(u"file://", u""));
}

TEST(MovieLocation, ReadsWholeFilesAndRefusesMissingOnes) {
    test::TempFolder folder;
    auto path = folder.path() / L"m.swf";
    std::ofstream(path, std::ios::binary) << "FWS";
    auto text = path.wstring();
    auto bytes = readMovieFile({text.begin(), text.end()});
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes->size(), 3u);
    EXPECT_FALSE(readMovieFile(u"C:\\no\\such\\file.swf"));
    EXPECT_FALSE(readMovieFile({text.begin(), text.end() - 6})) << "a folder";
}

} // namespace
} // namespace lumbra::com
