#include "RecordingReporter.h"
#include "TempFolder.h"

#include "package/ByteWriter.h"
#include "package/MemoryProfile.h"
#include "package/PackageResources.h"
#include "package/PackagePaths.h"
#include "package/ResourceTable.h"
#include "package/SettingsLoader.h"
#include "package/SettingsRecord.h"

#include <gtest/gtest.h>

namespace lumbra {
namespace {

using test::TempFolder;

ProjectSettings sampleSettings()
{
    ProjectSettings s;
    s.productName = "Viewer";
    s.reservedText1 = std::nullopt;
    s.companyName = "Acme";
    s.legalNotice = "\xA9 2024 Acme";
    s.reservedText2 = "";
    s.version = "1.2";
    s.windowShape = 2;
    s.borderStyle = 0x110;
    s.borderIcons = 0x111;
    s.scaleMode = 0x10;
    s.shapeMaskFile.assign("star");
    s.caption.assign("My caption");
    s.windowSize = 4;
    s.customWidth = 640;
    s.customHeight = 50;
    s.pos = 10;
    s.customX = 25;
    s.customY = 10;
    s.bKeepRatio = 1;
    s.lBtnClk = 1;
    s.rBtnClk = 2;
    s.keyPress = 0x101;
    s.exitKeys = 0x11;
    s.interactionFlags = 0x10;
    s.hotKeyCode = 0x51;
    s.hotKeyModifiers = 0x6;
    s.contextMenuFlags = 0x1111;
    s.behaviourFlags = 0x1001;
    s.miscFlags = 0x1101;
    s.backgroundColor = 0x00336699;
    s.linkCaption1 = "Home page";
    s.linkTarget1 = "http://example.com";
    s.linkCaption2 = "";
    s.linkTarget2 = std::nullopt;
    s.linkColor1 = 0xFF0000;
    s.linkColor2 = 0x00FF00;
    s.linkFont1 = {-12, 0, 0, 0, 700, 1, 0, 0, 0, 0, 0, 0, 0, FixedText<32>("Tahoma")};
    s.linkFont2.faceName.assign("Arial");
    s.aboutFlags = 0x1101;
    s.reservedFlags = 7;
    s.reservedPath.assign("reserved");
    s.trailer.value1 = 11;
    s.trailer.text = "kept";
    s.trailer.value2 = 22;
    s.trailer.systemTime = {0xE8, 0x07, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0};
    s.trailer.value3 = 33;
    s.trailer.fixedText.assign("fixed");
    s.trailer.word1 = 44;
    s.trailer.word2 = 55;
    return s;
}

TEST(SettingsRecord, RoundTripsFieldForField)
{
    TempFolder folder;
    ProjectSettings settings = sampleSettings();
    Bytes record = writeSettings(settings);
    EXPECT_EQ(readSettings(record, folder.path()), settings);
    EXPECT_EQ(writeSettings(readSettings(record, folder.path())), record);
}

TEST(SettingsRecord, AbsentAndEmptyTextsStayDistinct)
{
    TempFolder folder;
    ProjectSettings read = readSettings(writeSettings(sampleSettings()), folder.path());
    EXPECT_FALSE(read.reservedText1);
    ASSERT_TRUE(read.reservedText2);
    EXPECT_EQ(*read.reservedText2, "");
    EXPECT_FALSE(read.linkTarget2);
    EXPECT_EQ(read.linkCaption2, "");
}

TEST(SettingsRecord, StoredTextsAreUtf16WithTerminator)
{
    ProjectSettings settings;
    settings.productName = "\xE9t\xE9"; // été in Windows-1252
    Bytes record = writeSettings(settings);
    ASSERT_GE(record.size(), 12u);
    EXPECT_EQ(loadU32(&record[0]), 4u);
    EXPECT_EQ(loadU16(&record[4]), 0xE9);
    EXPECT_EQ(loadU16(&record[10]), 0);
    EXPECT_EQ(loadU32(&record[12]), 0u); // absent reserved text
}

TEST(SettingsRecord, FixedTextsAreCutAndEmptyOnesWrittenWithCountOne)
{
    ProjectSettings settings;
    std::string longCaption(400, 'c');
    settings.caption.assign(longCaption);
    EXPECT_EQ(settings.caption.str(), longCaption.substr(0, 259));

    // A stored fixed text longer than the buffer is cut on reading too.
    ByteWriter record;
    for (int i = 0; i < 7; ++i)
        record.u32(0);
    for (int i = 0; i < 4; ++i)
        record.u32(0);
    writeStoredText(record, "mask");
    writeStoredText(record, longCaption);
    TempFolder folder;
    ProjectSettings read = readSettings(record.data(), folder.path());
    EXPECT_EQ(read.shapeMaskFile.str(), "mask");
    EXPECT_EQ(read.caption.str(), longCaption.substr(0, 259));

    Bytes written = writeSettings(ProjectSettings{});
    // Seven absent texts, four u32, then the empty mask name as count 1.
    EXPECT_EQ(loadU32(&written[7 * 4 + 4 * 4]), 1u);
}

TEST(SettingsRecord, RecordEndingEarlyLeavesTheRestZero)
{
    TempFolder folder;
    Bytes record = writeSettings(sampleSettings());
    for (std::size_t size = 0; size < record.size(); ++size) {
        ProjectSettings read = readSettings(std::span(record).first(size), folder.path());
        if (size < 8) {
            EXPECT_FALSE(read.productName);
        }
        EXPECT_EQ(read.trailer.word2, 0) << size;
    }
    ProjectSettings half = readSettings(std::span(record).first(record.size() / 2), folder.path());
    EXPECT_EQ(half.productName, "Viewer");
    EXPECT_EQ(half.trailer, SettingsTrailer{});
}

TEST(SettingsRecord, TextCountBeyondTheRecordEndsItWithoutAllocating)
{
    ByteWriter record;
    writeStoredText(record, "Product");
    record.u32(0x7FFFFFFF); // a text claiming 4 GiB
    TempFolder folder;
    ProjectSettings read = readSettings(record.data(), folder.path());
    EXPECT_EQ(read.productName, "Product");
    EXPECT_FALSE(read.reservedText1);
}

class EmbeddedFiles : public ::testing::Test {
protected:
    // A record with a help file named name and content bytes.
    Bytes recordWithHelpFile(const std::string& name, const std::string& content)
    {
        test::writeFile(source / name, content);
        ProjectSettings settings;
        settings.helpFile.assign(ansiFromPath(source / name));
        return writeSettings(settings);
    }

    Bytes patchName(Bytes record, std::string_view from, std::string_view to)
    {
        // The names are UTF-16 in the record; swap one name for another of equal length.
        std::u16string f(from.begin(), from.end()), t(to.begin(), to.end());
        auto bytes = [](const std::u16string& s) {
            Bytes b;
            for (char16_t c : s) {
                b.push_back(std::uint8_t(c));
                b.push_back(std::uint8_t(c >> 8));
            }
            return b;
        };
        Bytes fb = bytes(f), tb = bytes(t);
        auto at = std::search(record.begin(), record.end(), fb.begin(), fb.end());
        EXPECT_NE(at, record.end());
        std::copy(tb.begin(), tb.end(), at);
        return record;
    }

    TempFolder source, working;
};

TEST_F(EmbeddedFiles, AreWrittenToTheWorkingFolder)
{
    Bytes record = recordWithHelpFile("help.chm", "HELP CONTENT");
    ProjectSettings read = readSettings(record, working.path());
    EXPECT_EQ(read.helpFile.str(), ansiFromPath(working / "help.chm"));
    EXPECT_EQ(test::readText(working / "help.chm"), "HELP CONTENT");
    EXPECT_TRUE(read.aboutImage.empty());
    // Written back from the extracted copy, the record is the same.
    EXPECT_EQ(writeSettings(read), record);
}

TEST_F(EmbeddedFiles, SizeZeroCreatesNoFile)
{
    Bytes record = recordWithHelpFile("empty.chm", "");
    ProjectSettings read = readSettings(record, working.path());
    EXPECT_TRUE(read.helpFile.empty());
    EXPECT_FALSE(std::filesystem::exists(working / "empty.chm"));
}

TEST_F(EmbeddedFiles, MissingFileIsWrittenAsEmptyNameAndSizeZero)
{
    ProjectSettings settings;
    settings.helpFile.assign(ansiFromPath(source / "gone.chm"));
    Bytes record = writeSettings(settings);
    EXPECT_EQ(record, writeSettings(ProjectSettings{}));
}

TEST_F(EmbeddedFiles, UnsafeNamesNeverLeaveTheWorkingFolder)
{
    std::filesystem::path inner = working / "inner";
    std::filesystem::create_directories(inner);
    for (std::string_view bad : {"..\\evil.txt", "../evil.txt", "C:evil.txt", "\\evilx.txt", "/evilxx.txt"}) {
        std::string placeholder(bad.size(), 'a');
        placeholder.replace(placeholder.size() - 4, 4, ".txt");
        Bytes record = patchName(recordWithHelpFile(placeholder, "X"), placeholder, bad);
        // The record after the file still reads.
        ProjectSettings read = readSettings(record, inner);
        EXPECT_TRUE(read.helpFile.empty()) << bad;
        EXPECT_FALSE(std::filesystem::exists(working / "evil.txt")) << bad;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(inner), {}), 0) << bad;
    }
}

TEST_F(EmbeddedFiles, ContentCutOffEndsTheRecordWithoutAFile)
{
    Bytes record = recordWithHelpFile("help.chm", "0123456789");
    std::string_view content = "0123456789";
    auto at = std::search(record.begin(), record.end(), content.begin(), content.end());
    ASSERT_NE(at, record.end());
    std::size_t cut = std::size_t(at - record.begin()) + 5;
    ProjectSettings read = readSettings(std::span(record).first(cut), working.path());
    EXPECT_TRUE(read.helpFile.empty());
    EXPECT_FALSE(std::filesystem::exists(working / "help.chm"));
}

class LoadSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        packaged.productName = "Packaged";
        resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ST"), packBlock(writeSettings(packaged)));
        resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("CS"), stamp(1));
    }
    static Bytes stamp(std::uint8_t fill) { return Bytes(16, fill); }

    ProjectSettings load() { return loadSettings(resources, profile, working.path(), reporter); }

    ProjectSettings packaged;
    ResourceTable resources;
    MemoryProfile profile;
    TempFolder working;
    test::RecordingReporter reporter;
};

TEST_F(LoadSettings, FirstRunUsesThePackageAndStoresTheProfileCopy)
{
    EXPECT_EQ(load(), packaged);
    EXPECT_EQ(profile.readBinary("Settings", "crc"), stamp(1));
    EXPECT_EQ(profile.readBinary("Settings", "Options"), writeSettings(packaged));
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(LoadSettings, UserOptionsWinWhileThePackageIsUnchanged)
{
    load();
    ProjectSettings edited = packaged;
    edited.productName = "Edited by the user";
    ASSERT_TRUE(storeSettings(edited, profile));
    EXPECT_EQ(load(), edited);
}

TEST_F(LoadSettings, NewStampDiscardsTheUserOptions)
{
    load();
    ProjectSettings edited = packaged;
    edited.caption.assign("user");
    storeSettings(edited, profile);
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("CS"), stamp(2));
    EXPECT_EQ(load(), packaged);
    EXPECT_EQ(profile.readBinary("Settings", "crc"), stamp(2));
    EXPECT_EQ(profile.readBinary("Settings", "Options"), writeSettings(packaged));
}

TEST_F(LoadSettings, MatchingStampWithoutOptionsFallsBackToThePackage)
{
    profile.writeBinary("Settings", "crc", stamp(1));
    EXPECT_EQ(load(), packaged);
    EXPECT_TRUE(profile.readBinary("Settings", "Options"));
}

TEST_F(LoadSettings, DamagedPackagedRecordIsReportedAndNotStored)
{
    resources.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ST"), Bytes{1});
    EXPECT_EQ(load(), ProjectSettings{});
    EXPECT_EQ(reporter.messages, std::vector<std::string>{"Bad compressed data length"});
    EXPECT_FALSE(profile.readBinary("Settings", "Options"));
}

TEST_F(LoadSettings, MissingRecordIsReportedAndGivesZeroSettings)
{
    ResourceTable empty;
    EXPECT_EQ(loadSettings(empty, profile, working.path(), reporter), ProjectSettings{});
    EXPECT_EQ(reporter.messages.size(), 1u);
    EXPECT_FALSE(profile.readBinary("Settings", "Options"));
}

} // namespace
} // namespace lumbra
