#include "MinimalPe.h"
#include "RecordingReporter.h"
#include "TempFolder.h"
#include "TestPicture.h"

#include "package/AttachedArchive.h"
#include "package/Md5.h"
#include "package/MaskList.h"
#include "package/MaskShape.h"
#include "package/MovieList.h"
#include "package/PackageIdentity.h"
#include "package/PackagePaths.h"
#include "package/PackageResources.h"
#include "package/PeResources.h"
#include "package/SettingsRecord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <sys/wait.h>

namespace lumbra {
namespace {

using test::TempFolder;
using Bytes = std::vector<std::uint8_t>;

struct ToolRun {
    int status = -1;
    std::string output; // stdout and stderr
};

ToolRun lumbraPack(const std::string& arguments)
{
    const char* buildDir = std::getenv("LUMBRA_BUILD_DIR");
    std::string command = std::string(buildDir ? buildDir : ".") + "/tools/lumbra-pack " + arguments + " 2>&1";
    ToolRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// The [settings] lines of an inspection, as a map.
std::map<std::string, std::string> settingsOf(const std::string& inspection)
{
    std::map<std::string, std::string> values;
    std::size_t start = inspection.find("[settings]\n");
    if (start == std::string::npos)
        return values;
    std::size_t end = inspection.find("\n[", start);
    std::string section = inspection.substr(start, end - start);
    std::size_t at = section.find('\n') + 1;
    while (at < section.size()) {
        std::size_t next = section.find('\n', at);
        std::string line = section.substr(at, next - at);
        std::size_t equals = line.find(" = ");
        if (equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 3);
        at = next == std::string::npos ? section.size() : next + 1;
    }
    return values;
}

// Every settings field with a value that differs from its default.
const std::vector<std::pair<std::string, std::string>> everyField = {
    {"productName", "Acme Viewer"}, {"reservedText1", "r1"}, {"companyName", "Acme"},
    {"legalNotice", "\xC2\xA9 2024 Acme \xC3\xA9t\xC3\xA9"}, {"reservedText2", "\"\""}, {"reservedText3", "r3"},
    {"version", "1.2.3"}, {"windowShape", "2"}, {"borderStyle", "4096"}, {"borderIcons", "4369"},
    {"scaleMode", "256"}, {"shapeMaskFile", "star"}, {"caption", "\"  Spaced caption \""}, {"windowSize", "4"},
    {"customWidth", "640"}, {"customHeight", "50"}, {"pos", "10"}, {"customX", "25"}, {"customY", "10"},
    {"bKeepRatio", "1"}, {"lBtnClk", "1"}, {"rBtnClk", "2"}, {"keyPress", "272"}, {"exitKeys", "17"},
    {"interactionFlags", "273"}, {"hotKeyCode", "81"}, {"hotKeyModifiers", "6"}, {"contextMenuFlags", "4370"},
    {"behaviourFlags", "4371"}, {"miscFlags", "4369"}, {"backgroundColor", "3368601"},
    {"linkCaption1", "Home"}, {"linkTarget1", "http://example.com/"}, {"linkCaption2", "Mail"},
    {"linkTarget2", "someone@example.com"}, {"linkColor1", "255"}, {"linkColor2", "65280"},
    {"linkFont1.height", "-13"}, {"linkFont1.width", "5"}, {"linkFont1.escapement", "1"},
    {"linkFont1.orientation", "2"}, {"linkFont1.weight", "700"}, {"linkFont1.italic", "1"},
    {"linkFont1.underline", "1"}, {"linkFont1.strikeOut", "1"}, {"linkFont1.charSet", "238"},
    {"linkFont1.outPrecision", "3"}, {"linkFont1.clipPrecision", "2"}, {"linkFont1.quality", "5"},
    {"linkFont1.pitchAndFamily", "34"}, {"linkFont1.faceName", "Verdana"}, {"linkFont2.height", "-20"},
    {"linkFont2.width", "0"}, {"linkFont2.escapement", "0"}, {"linkFont2.orientation", "0"},
    {"linkFont2.weight", "100"}, {"linkFont2.italic", "0"}, {"linkFont2.underline", "1"},
    {"linkFont2.strikeOut", "0"}, {"linkFont2.charSet", "0"}, {"linkFont2.outPrecision", "0"},
    {"linkFont2.clipPrecision", "0"}, {"linkFont2.quality", "0"}, {"linkFont2.pitchAndFamily", "0"},
    {"linkFont2.faceName", "Courier New"}, {"aboutFlags", "4353"}, {"reservedFlags", "9"},
    {"reservedPath", "somewhere"}, {"trailer.value1", "1"}, {"trailer.text", "trail"}, {"trailer.value2", "2"},
    {"trailer.systemTime", "e8070c00010002000300040005000600"}, {"trailer.value3", "3"},
    {"trailer.fixedText", "fixed"}, {"trailer.word1", "4"}, {"trailer.word2", "5"},
};

class PackTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::writeFile(player, minimalPlayer());
        test::writeFile(project / "movies" / "intro.swf", "FWS intro");
        test::writeFile(project / "movies" / "main.swf", "FWS main movie");
        test::writeFile(project / "plug.dll", "MZ plug-in");
        test::writeFile(project / "masks" / "star.msk", "STAR MASK");
        test::writeFile(project / "docs" / "help.chm", "ITSF help");
        test::writeFile(project / "about.bmp", "BM about");
        test::writeFile(project / "init.ovc", "OV1b compiled");
        test::writeFile(project / "menu.bin", "menu bytes");
        test::writeFile(project / "extra" / "docs" / "readme.txt", "read me");
        test::writeFile(project / "extra" / "top.txt", "top");
    }

    // The player: a minimal image that already has resources of its own.
    static Bytes minimalPlayer()
    {
        ResourceTable own;
        own.put(ResourceId::fromText("#14"), ResourceId::fromText("#128"), Bytes(20, 1)); // icon group
        own.put(ResourceId::fromText("#3"), ResourceId::fromText("#1"), Bytes(40, 2));    // icon
        own.put(ResourceId::fromText("#16"), ResourceId::fromText("#1"), Bytes(30, 3));   // version
        return writePeResources(test::minimalPe(), own);
    }

    std::string fullManifest() const
    {
        std::string manifest = "# every field\n[package]\nidentity = Acme/Viewer\\1.0\ncompression = 6\n"
                               "aboutPicture = about.bmp\n\n[settings]\n";
        for (const auto& [key, value] : everyField)
            manifest += key + " = " + value + "\n";
        manifest += "helpFile = docs/help.chm\naboutImage = about.bmp\n";
        manifest += "\n[movies]\nmovie = movies/intro.swf\nplugin = plug.dll\nmovie = movies/main.swf\n";
        manifest += "\n[masks]\nstar = masks/star.msk\n\n[scripts]\nInitialize = init.ovc\n";
        manifest += "\n[resources]\nMENUS/Main = packed menu.bin\n24/1 = raw menu.bin\n";
        manifest += "\n[archive]\nfolder = extra\n";
        return manifest;
    }

    ToolRun build(const std::string& manifest)
    {
        test::writeFile(project / "lumbra.manifest", manifest);
        return lumbraPack("build --player " + quoted(player) + " --project " + quoted(project.path()) +
                          " --output " + quoted(output));
    }

    TempFolder work, project, working;
    std::filesystem::path player = work / "LumbraPlayer.exe";
    std::filesystem::path output = work / "App.exe";
    test::RecordingReporter reporter;
};

TEST_F(PackTool, EverySettingReadsBackAsWritten)
{
    ToolRun built = build(fullManifest());
    ASSERT_EQ(built.status, 0) << built.output;
    ToolRun inspected = lumbraPack("inspect " + quoted(output));
    ASSERT_EQ(inspected.status, 0) << inspected.output;
    auto settings = settingsOf(inspected.output);
    for (const auto& [key, value] : everyField)
        EXPECT_EQ(settings[key], value) << key;
    EXPECT_EQ(settings["helpFile.name"], "help.chm");
    EXPECT_EQ(settings["helpFile.size"], "9");
    EXPECT_EQ(settings["aboutImage.name"], "about.bmp");
}

TEST_F(PackTool, PackagedProgramLoadsThroughThePackageLayer)
{
    ASSERT_EQ(build(fullManifest()).status, 0);
    ResourceTable resources = readPeResources(test::readFile(output));

    EXPECT_EQ(checkPackageIdentity(readResource(resources, "LUMBRA", "ID")), "Acme/Viewer\\1.0");
    auto record = loadPackedResource(resources, "LUMBRA", "ST", reporter);
    ASSERT_TRUE(record);
    Md5Digest stamp = md5(*record);
    EXPECT_EQ(readResource(resources, "LUMBRA", "CS"), Bytes(stamp.begin(), stamp.end()));
    ProjectSettings settings = readSettings(*record, working.path());
    EXPECT_EQ(settings.caption.str(), "  Spaced caption ");
    EXPECT_EQ(settings.legalNotice, "\xA9 2024 Acme \xE9t\xE9");
    EXPECT_EQ(settings.reservedText2, "");
    EXPECT_EQ(test::readText(working / "help.chm"), "ITSF help");
    // What was read writes back to the same bytes.
    EXPECT_EQ(writeSettings(settings), *record);

    MovieList list = loadMovieList(resources, working.path(), output, reporter);
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.flags, MovieList::embedded);
    EXPECT_EQ(test::readText(working / "intro.swf"), "FWS intro");
    EXPECT_EQ(test::readText(working / "Plug_Ins" / "plug.dll"), "MZ plug-in");
    EXPECT_EQ(chooseFirstMovie(list), ansiFromPath(working / "intro.swf"));
    EXPECT_EQ(movies(list).size(), 2u);

    EXPECT_EQ(loadMasks(resources, working.path(), reporter), MaskList{"star"});
    EXPECT_EQ(test::readText(working / "star.msk"), "STAR MASK");
    EXPECT_EQ(unpackBlockOrThrow(readResource(resources, "LUMBRA", "BK")), Bytes({'B', 'M', ' ', 'a', 'b', 'o', 'u', 't'}));
    EXPECT_EQ(unpackBlockOrThrow(readResource(resources, "ORVET", "initialize")).size(), 13u);
    EXPECT_EQ(unpackBlockOrThrow(readResource(resources, "MENUS", "Main")).size(), 10u);
    EXPECT_EQ(readResource(resources, "#24", "#1").size(), 10u);
    EXPECT_EQ(readResource(resources, "SUPPORT", "$3"), Bytes{0});

    // The player's own resources survive.
    EXPECT_EQ(readResource(resources, "#14", "#128"), Bytes(20, 1));
    EXPECT_EQ(readResource(resources, "#16", "#1"), Bytes(30, 3));

    auto readme = extractAdditionalFile(output, "docs/readme.txt", working.path(), reporter);
    EXPECT_EQ(test::readText(readme), "read me");
    EXPECT_TRUE(reporter.messages.empty());
}

TEST_F(PackTool, MinimalManifestGivesDefaultsAndEmptyLists)
{
    ASSERT_EQ(build("[package]\nidentity = Solo\n").status, 0);
    ResourceTable resources = readPeResources(test::readFile(output));
    EXPECT_EQ(loadMovieList(resources, working.path(), output, reporter).count(), 0);
    EXPECT_TRUE(loadMasks(resources, working.path(), reporter).empty());
    EXPECT_TRUE(reporter.messages.empty());
    EXPECT_EQ(readArchiveTree(output), std::nullopt);
    ToolRun inspected = lumbraPack("inspect " + quoted(output));
    EXPECT_EQ(inspected.status, 0) << inspected.output;
    EXPECT_NE(inspected.output.find("profileName = <application name>"), std::string::npos);
}

TEST_F(PackTool, ExternalMoviesStoreNamesOnly)
{
    ASSERT_EQ(build("[package]\nidentity = A/B\n[movies]\nmode = external\nrandom = yes\nmovie = movies/intro.swf\n"
                    "file = plug.dll\n")
                  .status,
              0);
    ResourceTable resources = readPeResources(test::readFile(output));
    MovieList list = loadMovieList(resources, working.path(), output, reporter);
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.flags, MovieList::randomFirst);
    EXPECT_EQ(list.entries[0].path.str(), ansiFromPath(work / "intro.swf"));
}

TEST_F(PackTool, JsonInspectionCarriesTheSameContent)
{
    ASSERT_EQ(build(fullManifest()).status, 0);
    ToolRun json = lumbraPack("inspect --json " + quoted(output));
    ASSERT_EQ(json.status, 0) << json.output;
    for (std::string_view expected :
         {"\"valid\": true", "\"text\": \"Acme/Viewer\\\\1.0\"", "\"caption\": \"  Spaced caption \"",
          "\"reservedText1\": \"r1\"", "\"linkFont1.faceName\": \"Verdana\"", "\"path\": \"docs/readme.txt\"",
          "\"name\": \"star\"", "\"problems\": []"})
        EXPECT_NE(json.output.find(expected), std::string::npos) << expected;
}

TEST_F(PackTool, ManifestErrorsNameFileAndLine)
{
    ToolRun unknown = build("[package]\nidentity = A\n[settings]\ncolour = 1\n");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_NE(unknown.output.find("lumbra.manifest:4: unknown setting 'colour'"), std::string::npos) << unknown.output;
    EXPECT_FALSE(std::filesystem::exists(output));

    ToolRun badNumber = build("[package]\nidentity = A\n[settings]\ncustomWidth = 70000\n");
    EXPECT_EQ(badNumber.status, 1);
    EXPECT_NE(badNumber.output.find(":4:"), std::string::npos) << badNumber.output;

    ToolRun noIdentity = build("[settings]\ncaption = x\n");
    EXPECT_EQ(noIdentity.status, 1);
    EXPECT_NE(noIdentity.output.find("identity is required"), std::string::npos);

    ToolRun missingFile = build("[package]\nidentity = A\n[movies]\nmovie = none.swf\n");
    EXPECT_EQ(missingFile.status, 1);
    EXPECT_NE(missingFile.output.find("none.swf"), std::string::npos);

    test::writeFile(project / "init.js", "var x = 1;");
    ToolRun source = build("[package]\nidentity = A\n[scripts]\nInitialize = init.js\n");
    EXPECT_EQ(source.status, 1);
    EXPECT_NE(source.output.find("no compiler for \".js\""), std::string::npos) << source.output;

    test::writeFile(project / "broken.ovs", "var x = ;");
    ToolRun broken = build("[package]\nidentity = A\n[scripts]\nInitialize = broken.ovs\n");
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.output.find("error: line 0"), std::string::npos) << broken.output;

    ToolRun duplicate = build("[package]\nidentity = A\n[movies]\nmovie = movies/intro.swf\nmovie = movies/intro.swf\n");
    EXPECT_EQ(duplicate.status, 1);
    EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(PackTool, BadPlayerIsNamedAndNothingIsWritten)
{
    test::writeFile(player, "this is not a program");
    ToolRun run = build("[package]\nidentity = A\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.output.find(player.string()), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(output));
    std::filesystem::path partial = output;
    partial += ".partial";
    EXPECT_FALSE(std::filesystem::exists(partial));
}

TEST_F(PackTool, DamagedProgramsAreReportedNotCrashedOn)
{
    ASSERT_EQ(build(fullManifest()).status, 0);
    Bytes whole = test::readFile(output);
    std::filesystem::path damaged = work / "damaged.exe";

    test::writeFile(damaged, Bytes(whole.begin(), whole.begin() + 100));
    ToolRun truncated = lumbraPack("inspect " + quoted(damaged));
    EXPECT_EQ(truncated.status, 1);
    EXPECT_NE(truncated.output.find(damaged.string()), std::string::npos) << truncated.output;

    // A broken settings block: the rest of the program still inspects.
    ResourceTable resources = readPeResources(whole);
    Bytes st = readResource(resources, "LUMBRA", "ST");
    auto at = std::search(whole.begin(), whole.end(), st.begin(), st.end());
    ASSERT_NE(at, whole.end());
    Bytes broken = whole;
    broken[std::size_t(at - whole.begin()) + 20] ^= 0xFF;
    test::writeFile(damaged, broken);
    ToolRun block = lumbraPack("inspect " + quoted(damaged));
    EXPECT_EQ(block.status, 1);
    EXPECT_NE(block.output.find("LUMBRA/ST"), std::string::npos) << block.output;
    EXPECT_NE(block.output.find("[movies]"), std::string::npos);

    ToolRun missing = lumbraPack("inspect " + quoted(work / "none.exe"));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(lumbraPack("").status, 2);
}

TEST_F(PackTool, RepackagingReplacesThePackage)
{
    ASSERT_EQ(build(fullManifest()).status, 0);
    std::filesystem::copy_file(output, player, std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(build("[package]\nidentity = Other/Product\n").status, 0);
    ResourceTable resources = readPeResources(test::readFile(output));
    EXPECT_EQ(checkPackageIdentity(readResource(resources, "LUMBRA", "ID")), "Other/Product");
    EXPECT_EQ(loadMovieList(resources, working.path(), output, reporter).count(), 0);
    EXPECT_EQ(readResource(resources, "#14", "#128"), Bytes(20, 1));
}

// The pixels a mask covers, as a grid of the picture's size.
std::vector<bool> coverage(const MaskShape& shape, int width, int height)
{
    std::vector<bool> covered(std::size_t(width) * height, false);
    for (const MaskRect& r : shape.rects)
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, height); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, width); ++x)
                covered[std::size_t(y) * width + x] = true;
    return covered;
}

std::vector<bool> expectedCoverage(const test::Picture& picture, const std::function<bool(std::uint32_t)>& opaque)
{
    std::vector<bool> covered;
    for (std::uint32_t pixel : picture.pixels)
        covered.push_back(opaque(pixel));
    return covered;
}

// A picture with every alpha from 0 to 255 in turn and a ring of key colour.
test::Picture alphaRamp()
{
    test::Picture picture(32, 9, 0);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.at(x, y) = std::uint32_t((y * 32 + x) % 256) << 24 | 0x336699;
    for (int x = 0; x < picture.width; ++x)
        picture.at(x, 0) = picture.at(x, 8) = 0xFFFF00FF;
    return picture;
}

TEST_F(PackTool, MaskCoversExactlyTheOpaquePixels)
{
    const test::Picture picture = alphaRamp();
    test::writePng(work / "ramp.png", picture);
    const auto masked = [&](const std::string& options) {
        ToolRun run = lumbraPack("mask " + quoted(work / "ramp.png") + " -o " + quoted(work / "ramp.msk") + options);
        EXPECT_EQ(run.status, 0) << run.output;
        const auto shape = readMaskFile(test::readFile(work / "ramp.msk"));
        EXPECT_TRUE(shape);
        return shape ? coverage(*shape, picture.width, picture.height) : std::vector<bool>{};
    };
    EXPECT_EQ(masked(""), expectedCoverage(picture, [](std::uint32_t p) { return (p >> 24) >= 128; }));
    EXPECT_EQ(masked(" --threshold 1"), expectedCoverage(picture, [](std::uint32_t p) { return (p >> 24) >= 1; }));
    EXPECT_EQ(masked(" --threshold 255"), expectedCoverage(picture, [](std::uint32_t p) { return (p >> 24) == 255; }));

    // A picture without alpha, keyed by its colour.
    test::writePng(work / "ramp.png", picture, false);
    EXPECT_EQ(masked(" --key '#ff00FF'"),
              expectedCoverage(picture, [](std::uint32_t p) { return (p & 0xFFFFFF) != 0xFF00FF; }));
}

TEST_F(PackTool, MaskToolRefusesBadInputAndWritesNothing)
{
    test::writePng(work / "ok.png", alphaRamp());
    test::writeFile(work / "fake.png", "\x89PNG\r\n\x1a\n but no picture");
    test::writeFile(work / "text.png", "plain text");
    const auto refused = [&](const std::string& arguments, std::string_view message) {
        ToolRun run = lumbraPack("mask " + arguments);
        EXPECT_NE(run.status, 0) << arguments;
        EXPECT_NE(run.output.find(message), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(work / "out.msk")) << arguments;
    };
    const std::string out = " -o " + quoted(work / "out.msk");
    refused(quoted(work / "text.png") + out, "not a PNG picture");
    refused(quoted(work / "fake.png") + out, "cannot read the PNG picture");
    refused(quoted(work / "missing.png") + out, "cannot read the file");
    refused(quoted(work / "ok.png") + out + " --threshold 0", "--threshold must be 1 to 255");
    refused(quoted(work / "ok.png") + out + " --key red", "--key must be a colour");
    refused(quoted(work / "ok.png") + out + " --key '#000000' --threshold 9", "exclude each other");
    refused(quoted(work / "ok.png"), "mask needs a picture and -o");
}

TEST_F(PackTool, ManifestMaskMayBeAPngPicture)
{
    const test::Picture picture = alphaRamp();
    test::writePng(project / "masks" / "ramp.png", picture);
    ASSERT_EQ(build("[package]\nidentity = A\n[masks]\nramp = masks/ramp.png\nstar = masks/star.msk\n").status, 0);
    ResourceTable resources = readPeResources(test::readFile(output));
    EXPECT_EQ(loadMasks(resources, working.path(), reporter), (MaskList{"ramp", "star"}));
    const auto shape = readMaskFile(test::readFile(working / "ramp.msk"));
    ASSERT_TRUE(shape);
    EXPECT_EQ(coverage(*shape, picture.width, picture.height),
              expectedCoverage(picture, [](std::uint32_t p) { return (p >> 24) >= 128; }));
    EXPECT_EQ(test::readText(working / "star.msk"), "STAR MASK") << "other files are stored as they are";

    test::writeFile(project / "masks" / "ramp.png", "\x89PNG\r\n\x1a\n broken");
    ToolRun broken = build("[package]\nidentity = A\n[masks]\nramp = masks/ramp.png\n");
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.output.find("lumbra.manifest:4: cannot read the PNG picture"), std::string::npos)
        << broken.output;
}

} // namespace
} // namespace lumbra
