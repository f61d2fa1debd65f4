#include "RecordingReporter.h"
#include "TempFolder.h"

#include "package/AttachedArchive.h"
#include "package/ByteWriter.h"
#include "package/StoredText.h"

#include <gtest/gtest.h>
#include <zlib.h>

namespace lumbra {
namespace {

using test::TempFolder;
using Bytes = std::vector<std::uint8_t>;

Bytes entry(bool folder, std::string_view name, const Bytes& content)
{
    ByteWriter out;
    out.u32(folder ? 1 : 0);
    writeStoredText(out, name);
    out.u32(std::uint32_t(content.size()));
    out.bytes(content);
    return out.release();
}

Bytes fileContent(std::string_view text, std::uint32_t crcDelta = 0)
{
    uLongf size = compressBound(uLong(text.size()));
    Bytes packed(size + 4);
    compress2(packed.data(), &size, reinterpret_cast<const Bytef*>(text.data()), uLong(text.size()), 6);
    packed.resize(size + 4);
    storeU32(&packed[size], std::uint32_t(crc32(0, reinterpret_cast<const Bytef*>(text.data()), uInt(text.size()))) + crcDelta);
    return packed;
}

Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes trailer(const Bytes& root)
{
    ByteWriter out;
    out.bytes(std::vector<std::uint8_t>{'S', 'A', 'F', 0});
    out.bytes(root);
    out.u32(std::uint32_t(4 + root.size()));
    out.u32(1);
    return out.release();
}

class Archive : public ::testing::Test {
protected:
    void writeProgram(const Bytes& archive)
    {
        Bytes program = {'M', 'Z', 0, 0, 'c', 'o', 'd', 'e'};
        program.insert(program.end(), archive.begin(), archive.end());
        test::writeFile(programFile, program);
    }
    std::filesystem::path extract(std::string_view path)
    {
        return extractAdditionalFile(programFile, path, working.path(), reporter);
    }
    void standardArchive()
    {
        writeProgram(trailer(entry(true, "Application",
                                   join({entry(false, "top.txt", fileContent("TOP")),
                                         entry(true, "docs", join({entry(false, "readme.txt", fileContent("README")),
                                                                   entry(true, "img", entry(false, "a.bmp", fileContent("BMP")))}))}))));
    }

    TempFolder programFolder, working;
    std::filesystem::path programFile = programFolder / "Viewer.exe";
    test::RecordingReporter reporter;
};

TEST_F(Archive, SlashAndBackslashGiveTheSameFile)
{
    standardArchive();
    auto forward = extract("docs/readme.txt");
    EXPECT_EQ(forward, working / "_extra" / "docs" / "readme.txt");
    EXPECT_EQ(test::readText(forward), "README");
    EXPECT_EQ(extract("docs\\readme.txt"), forward);
    EXPECT_EQ(extract("DOCS\\README.TXT"), forward);
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(Archive, SecondRequestReusesTheExtractedFile)
{
    standardArchive();
    auto path = extract("top.txt");
    test::writeFile(path, "changed since");
    EXPECT_EQ(extract("top.txt"), path);
    EXPECT_EQ(test::readText(path), "changed since");
}

TEST_F(Archive, FolderIsExtractedWhole)
{
    standardArchive();
    auto folder = extract("docs");
    EXPECT_EQ(folder, working / "_extra" / "docs" / "");
    EXPECT_EQ(test::readText(working / "_extra" / "docs" / "readme.txt"), "README");
    EXPECT_EQ(test::readText(working / "_extra" / "docs" / "img" / "a.bmp"), "BMP");
}

TEST_F(Archive, UnknownNamesAndFilesUsedAsFoldersGiveNothing)
{
    standardArchive();
    EXPECT_EQ(extract("missing.txt"), "");
    EXPECT_EQ(extract("docs/missing.txt"), "");
    EXPECT_EQ(extract("top.txt/inner"), "");
    EXPECT_EQ(extract(""), "");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(Archive, CrcMismatchDeletesTheFile)
{
    writeProgram(trailer(entry(true, "Application", entry(false, "bad.txt", fileContent("DATA", 1)))));
    EXPECT_EQ(extract("bad.txt"), "");
    EXPECT_FALSE(std::filesystem::exists(working / "_extra" / "bad.txt"));
}

TEST_F(Archive, DamagedStreamIsReportedAndLeavesNoFile)
{
    Bytes content = fileContent("DATA DATA DATA");
    content[0] ^= 0xFF;
    writeProgram(trailer(entry(true, "Application", entry(false, "bad.txt", content))));
    EXPECT_EQ(extract("bad.txt"), "");
    EXPECT_FALSE(std::filesystem::exists(working / "_extra" / "bad.txt"));
    EXPECT_EQ(reporter.messages.size(), 1u);
    // Cut short: the stream ends before its end marker.
    Bytes cut = fileContent("more data than fits");
    cut.erase(cut.begin() + 4, cut.end() - 4);
    writeProgram(trailer(entry(true, "Application", entry(false, "cut.txt", cut))));
    EXPECT_EQ(extract("cut.txt"), "");
    EXPECT_FALSE(std::filesystem::exists(working / "_extra" / "cut.txt"));
}

TEST_F(Archive, EntryRunningPastItsFolderEndsTheSearch)
{
    Bytes liar = entry(false, "first.txt", fileContent("1"));
    storeU32(&liar[4 + 4 + 2 * 10], 0x7FFFFFFF); // its content size
    writeProgram(trailer(entry(true, "Application", join({liar, entry(false, "second.txt", fileContent("2"))}))));
    EXPECT_EQ(extract("second.txt"), "");
    EXPECT_EQ(extract("first.txt"), "");
}

TEST_F(Archive, WithoutArchiveTheProgramFolderServes)
{
    writeProgram({});
    test::writeFile(programFolder / "docs" / "readme.txt", "beside");
    EXPECT_EQ(extract("docs/readme.txt"), programFolder / "docs" / "readme.txt");
    EXPECT_EQ(extract("\\docs\\readme.txt"), programFolder / "docs" / "readme.txt");
    EXPECT_EQ(extract("docs"), programFolder / "docs" / "");
    EXPECT_EQ(extract("docs/none.txt"), "");
    EXPECT_FALSE(std::filesystem::exists(working / "_extra"));
}

TEST_F(Archive, WrongRootOrMagicMeansNoArchive)
{
    writeProgram(trailer(entry(true, "Other", entry(false, "top.txt", fileContent("TOP")))));
    EXPECT_EQ(extract("top.txt"), "");
    Bytes noMagic = trailer(entry(true, "Application", entry(false, "top.txt", fileContent("TOP"))));
    noMagic[0] = 'X';
    writeProgram(noMagic);
    test::writeFile(programFolder / "top.txt", "beside");
    EXPECT_EQ(extract("top.txt"), programFolder / "top.txt");
}

TEST_F(Archive, PathsClimbingOutAreRefused)
{
    standardArchive();
    std::filesystem::create_directories(working / "run");
    for (std::string_view bad : {"../top.txt", "..\\top.txt", "docs/../../top.txt", "C:\\top.txt", "C:top.txt"})
        EXPECT_EQ(extractAdditionalFile(programFile, bad, working / "run", reporter), "") << bad;
    EXPECT_FALSE(std::filesystem::exists(working / "_extra"));
}

TEST_F(Archive, UnsafeEntryNamesInAFolderAreRefused)
{
    writeProgram(trailer(entry(true, "Application",
                               entry(true, "pack", join({entry(false, "..\\evil.txt", fileContent("E")),
                                                         entry(false, "fine.txt", fileContent("F"))})))));
    EXPECT_EQ(extract("pack"), "");
    EXPECT_FALSE(std::filesystem::exists(working / "_extra" / "evil.txt"));
    EXPECT_FALSE(std::filesystem::exists(working / "evil.txt"));
    EXPECT_EQ(reporter.messages.size(), 1u);
}

TEST_F(Archive, DeepNestingIsRefusedNotRecursedInto)
{
    Bytes inner = entry(false, "leaf.txt", fileContent("L"));
    for (int i = 0; i < 200; ++i)
        inner = entry(true, "d", inner);
    writeProgram(trailer(entry(true, "Application", inner)));
    EXPECT_EQ(extract("d"), "");
    EXPECT_THROW(readArchiveTree(programFile), PlayerException);
}

TEST_F(Archive, BuiltArchiveReadsBackAsTree)
{
    TempFolder project;
    test::writeFile(project / "a.txt", "AAA");
    test::writeFile(project / "sub" / "b.txt", "BBBB");
    test::writeFile(project / "sub" / "deeper" / "c.txt", "");
    writeProgram(buildArchive(project.path()));
    auto tree = readArchiveTree(programFile);
    ASSERT_TRUE(tree);
    EXPECT_EQ(tree->name, "Application");
    ASSERT_EQ(tree->children.size(), 2u);
    EXPECT_EQ(tree->children[0].name, "a.txt");
    EXPECT_EQ(tree->children[1].name, "sub");
    EXPECT_TRUE(tree->children[1].folder);
    EXPECT_EQ(test::readText(extract("sub/b.txt")), "BBBB");
    EXPECT_EQ(test::readText(extract("sub/deeper/c.txt")), "");
    EXPECT_EQ(test::readText(extract("a.txt")), "AAA");
}

TEST_F(Archive, TruncatedProgramsNeverCrash)
{
    standardArchive();
    Bytes whole = test::readFile(programFile);
    for (std::size_t size = 0; size < whole.size(); ++size) {
        test::writeFile(programFile, Bytes(whole.begin(), whole.begin() + std::ptrdiff_t(size)));
        extract("docs/readme.txt");
        try {
            readArchiveTree(programFile);
        } catch (const PlayerException&) {
        }
    }
    EXPECT_THROW(readArchiveTree(programFolder / "none.exe"), PlayerException);
}

} // namespace
} // namespace lumbra
