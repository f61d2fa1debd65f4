#include "RecordingReporter.h"
#include "TempFolder.h"

#include "package/ByteWriter.h"
#include "package/MaskList.h"
#include "package/MovieList.h"
#include "package/AboutPicture.h"
#include "package/PackageBlocks.h"
#include "package/PackagePaths.h"
#include "package/PackedBlock.h"
#include "package/ResourceTable.h"
#include "package/StoredText.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

using test::TempFolder;

Bytes bytesOf(std::string_view text) { return Bytes(text.begin(), text.end()); }

class MovieListLoading : public ::testing::Test {
protected:
    void package(std::uint32_t flags, const std::vector<MovieRecord>& entries)
    {
        resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ML"),
                      packBlock(writeMovieListRecord(flags, entries)));
    }
    MovieList load() { return loadMovieList(resources, working.path(), program, reporter); }
    std::string inWorking(const std::filesystem::path& name) { return ansiFromPath(working / name); }

    ResourceTable resources;
    TempFolder working, programFolder;
    std::filesystem::path program = programFolder / "Viewer.exe";
    test::RecordingReporter reporter;
};

TEST_F(MovieListLoading, EmbeddedMovieIsExtractedToTheWorkingFolder)
{
    package(MovieList::embedded, {{1, "intro.swf", bytesOf("FWS movie")}});
    MovieList list = load();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.flags, MovieList::embedded);
    EXPECT_EQ(list.entries[0].path.str(), inWorking("intro.swf"));
    EXPECT_EQ(list.entries[0].kind, 1u);
    EXPECT_EQ(test::readText(working / "intro.swf"), "FWS movie");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(MovieListLoading, PlugInsGoToPlugInsFolderAndEveryKindIsListed)
{
    package(MovieList::embedded,
            {{1, "a.swf", bytesOf("A")}, {2, "x.dll", bytesOf("X")}, {7, "data.bin", bytesOf("D")}});
    MovieList list = load();
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.entries[1].path.str(), inWorking(std::filesystem::path("Plug_Ins") / "x.dll"));
    EXPECT_EQ(test::readText(working / "Plug_Ins" / "x.dll"), "X");
    EXPECT_EQ(list.entries[2].kind, 7u);
    EXPECT_EQ(movies(list).size(), 1u);
    EXPECT_EQ(movies(list)[0].path.str(), inWorking("a.swf"));
}

TEST_F(MovieListLoading, ExternalListsOnlyMoviesBesideTheProgram)
{
    package(0, {{1, "one.swf", {}}, {2, "plug.dll", {}}, {1, "two.swf", {}}});
    MovieList list = load();
    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.entries[0].path.str(), ansiFromPath(programFolder / "one.swf"));
    EXPECT_EQ(list.entries[1].path.str(), ansiFromPath(programFolder / "two.swf"));
    EXPECT_FALSE(std::filesystem::exists(programFolder / "one.swf"));
    EXPECT_TRUE(std::filesystem::is_empty(working.path()));
}

TEST_F(MovieListLoading, UnreadableBlockLeavesTheListEmpty)
{
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ML"), Bytes{1});
    EXPECT_EQ(load().count(), 0);
    EXPECT_EQ(reporter.messages.size(), 1u);
    ResourceTable none;
    EXPECT_THROW(loadMovieList(none, working.path(), program, reporter), PlayerException);
}

TEST_F(MovieListLoading, FailedEntryStopsTheLoopAndKeepsEarlierEntries)
{
    Bytes record = writeMovieListRecord(MovieList::embedded, {{1, "a.swf", bytesOf("A")}, {1, "b.swf", bytesOf("BBBB")}});
    record.resize(record.size() - 2); // the second file is cut off
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ML"), packBlock(record));
    MovieList list = load();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.entries[0].path.str(), inWorking("a.swf"));
    EXPECT_FALSE(std::filesystem::exists(working / "b.swf"));
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST_F(MovieListLoading, UnsafeNamesAreRejectedAndStopTheLoop)
{
    std::filesystem::path inner = working / "run";
    std::filesystem::create_directories(inner);
    for (std::string bad : {"..\\escape.swf", "../escape.swf", "C:\\escape.swf", "/tmp/escape.swf", "a/../../escape.swf"}) {
        package(MovieList::embedded, {{1, "ok.swf", bytesOf("A")}, {1, bad, bytesOf("EVIL")}, {1, "late.swf", bytesOf("L")}});
        MovieList list = loadMovieList(resources, inner, program, reporter);
        ASSERT_EQ(list.count(), 1) << bad;
        EXPECT_FALSE(std::filesystem::exists(working / "escape.swf")) << bad;
        EXPECT_FALSE(std::filesystem::exists(inner / "late.swf")) << bad;
    }
    package(MovieList::embedded, {{2, "..\\escape.dll", bytesOf("EVIL")}});
    EXPECT_EQ(loadMovieList(resources, inner, program, reporter).count(), 0);
    EXPECT_FALSE(std::filesystem::exists(inner / "escape.dll"));
}

TEST_F(MovieListLoading, HugeClaimedCountOrSizeFailsCleanly)
{
    ByteWriter record;
    record.u32(MovieList::embedded);
    record.u32(0xFFFFFFFF);
    record.u32(1);
    writeStoredText(record, "big.swf");
    record.u32(0xFFFFFFF0); // claims 4 GiB of content
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ML"), packBlock(record.data()));
    EXPECT_EQ(load().count(), 0);
    EXPECT_FALSE(std::filesystem::exists(working / "big.swf"));
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST_F(MovieListLoading, PathsLongerThanTheEntryBufferFail)
{
    std::filesystem::path deep = working.path();
    while (ansiFromPath(deep).size() < 250)
        deep /= "nested-folder";
    std::filesystem::create_directories(deep);
    package(MovieList::embedded, {{1, "short.swf", bytesOf("A")}, {1, std::string(40, 'n') + ".swf", bytesOf("B")}});
    MovieList list = loadMovieList(resources, deep, program, reporter);
    EXPECT_EQ(list.count(), ansiFromPath(deep / "short.swf").size() <= 259 ? 1 : 0);
    EXPECT_EQ(reporter.messages.size(), 1u);
    for (const MovieEntry& entry : list.entries)
        EXPECT_LE(entry.path.str().size(), 259u);
}

TEST(ChooseFirstMovie, HookThenRandomThenFirst)
{
    MovieList list;
    list.entries = {{PathText("a.swf"), 1}, {PathText("b.dll"), 2}, {PathText("c.swf"), 1}};
    EXPECT_EQ(chooseFirstMovie(list), "a.swf");
    EXPECT_EQ(chooseFirstMovie(list, [] { return std::optional<std::string>("hook.swf"); }), "hook.swf");
    EXPECT_EQ(chooseFirstMovie(list, [] { return std::optional<std::string>(); }), "a.swf");
    list.flags = MovieList::randomFirst;
    EXPECT_EQ(chooseFirstMovie(list, {}, [] { return 4u; }), "b.dll"); // 4 % 3, counting every kind
    EXPECT_EQ(chooseFirstMovie(MovieList{}), "");
}

TEST(ChooseFirstMovie, RandomChoiceWithOneEntryAlwaysGivesIt)
{
    MovieList list;
    list.flags = MovieList::randomFirst;
    list.entries = {{PathText("only.swf"), 1}};
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(chooseFirstMovie(list), "only.swf");
}

TEST(Masks, NamesListedAndNonEmptyMasksWritten)
{
    TempFolder working;
    ResourceTable resources;
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("RG"),
                  packBlock(writeMaskRecord({{"star", bytesOf("STAR")}, {"none", {}}, {"round", bytesOf("O")}})));
    test::RecordingReporter reporter;
    MaskList masks = loadMasks(resources, working.path(), reporter);
    EXPECT_EQ(masks, (MaskList{"star", "none", "round"}));
    EXPECT_EQ(test::readText(working / "star.msk"), "STAR");
    EXPECT_FALSE(std::filesystem::exists(working / "none.msk"));
    EXPECT_EQ(test::readText(working / "round.msk"), "O");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST(Masks, EmptyBlockAndUnsafeNames)
{
    TempFolder working;
    ResourceTable resources;
    test::RecordingReporter reporter;
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("RG"), packBlock(writeMaskRecord({})));
    EXPECT_TRUE(loadMasks(resources, working.path(), reporter).empty());
    std::filesystem::create_directories(working / "run");
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("RG"),
                  packBlock(writeMaskRecord({{"a", bytesOf("A")}, {"..\\evil", bytesOf("E")}, {"b", bytesOf("B")}})));
    EXPECT_EQ(loadMasks(resources, working / "run", reporter), MaskList{"a"});
    EXPECT_FALSE(std::filesystem::exists(working / "evil.msk"));
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST(AboutPicture, WrittenOnceFromTheBlock)
{
    TempFolder working;
    ResourceTable resources;
    test::RecordingReporter reporter;
    EXPECT_TRUE(aboutPicture(resources, working.path(), reporter).empty());
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("BK"), Bytes{1});
    EXPECT_TRUE(aboutPicture(resources, working.path(), reporter).empty());
    EXPECT_EQ(reporter.messages.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(working / "Lumbra.BK"));

    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("BK"), packBlock(bytesOf("BM picture")));
    EXPECT_EQ(aboutPicture(resources, working.path(), reporter), working / "Lumbra.BK");
    EXPECT_EQ(test::readText(working / "Lumbra.BK"), "BM picture");
    // Present already: reused as it is.
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("BK"), packBlock(bytesOf("other")));
    EXPECT_EQ(aboutPicture(resources, working.path(), reporter), working / "Lumbra.BK");
    EXPECT_EQ(test::readText(working / "Lumbra.BK"), "BM picture");
}

} // namespace
} // namespace lumbra
