#include "HexBytes.h"
#include "MinimalPe.h"
#include "TestPrograms.h"
#include "RecordingReporter.h"
#include "TempFolder.h"
#include "TestPicture.h"

#include "package/AttachedArchive.h"
#include "package/ByteWriter.h"
#include "package/Md5.h"
#include "package/MenuRecord.h"
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
    {"version", "1.2.3"}, {"windowShape", "2"}, {"borderStyle", "0x1000"}, {"borderIcons", "0x1111"},
    {"scaleMode", "0x100"}, {"shapeMaskFile", "star"}, {"caption", "\"  Spaced caption \""}, {"windowSize", "4"},
    {"customWidth", "640"}, {"customHeight", "50"}, {"pos", "10"}, {"customX", "25"}, {"customY", "10"},
    {"bKeepRatio", "1"}, {"lBtnClk", "1"}, {"rBtnClk", "2"}, {"keyPress", "0x110"}, {"exitKeys", "0x11"},
    {"interactionFlags", "0x111"}, {"hotKeyCode", "81"}, {"hotKeyModifiers", "0x6"}, {"contextMenuFlags", "0x1112"},
    {"behaviourFlags", "0x1113"}, {"miscFlags", "0x1111"}, {"backgroundColor", "0x336699"},
    {"linkCaption1", "Home"}, {"linkTarget1", "http://example.com/"}, {"linkCaption2", "Mail"},
    {"linkTarget2", "someone@example.com"}, {"linkColor1", "0xFF"}, {"linkColor2", "0xFF00"},
    {"linkFont1.height", "-13"}, {"linkFont1.width", "5"}, {"linkFont1.escapement", "1"},
    {"linkFont1.orientation", "2"}, {"linkFont1.weight", "700"}, {"linkFont1.italic", "1"},
    {"linkFont1.underline", "1"}, {"linkFont1.strikeOut", "1"}, {"linkFont1.charSet", "238"},
    {"linkFont1.outPrecision", "3"}, {"linkFont1.clipPrecision", "2"}, {"linkFont1.quality", "5"},
    {"linkFont1.pitchAndFamily", "34"}, {"linkFont1.faceName", "Verdana"}, {"linkFont2.height", "-20"},
    {"linkFont2.width", "0"}, {"linkFont2.escapement", "0"}, {"linkFont2.orientation", "0"},
    {"linkFont2.weight", "100"}, {"linkFont2.italic", "0"}, {"linkFont2.underline", "1"},
    {"linkFont2.strikeOut", "0"}, {"linkFont2.charSet", "0"}, {"linkFont2.outPrecision", "0"},
    {"linkFont2.clipPrecision", "0"}, {"linkFont2.quality", "0"}, {"linkFont2.pitchAndFamily", "0"},
    {"linkFont2.faceName", "Courier New"}, {"aboutFlags", "0x1101"}, {"reservedFlags", "0x9"},
    {"reservedPath", "somewhere"}, {"trailer.value1", "1"}, {"trailer.text", "trail"}, {"trailer.value2", "2"},
    {"trailer.systemTime", "e8070c00010002000300040005000600"}, {"trailer.value3", "3"},
    {"trailer.fixedText", "fixed"}, {"trailer.word1", "4"}, {"trailer.word2", "5"},
};

class PackTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        test::writeFile(player, test::minimalPlayer());
        test::writeFile(project / "movies" / "intro.swf", intro);
        test::writeFile(project / "movies" / "main.swf", movieBytes("main movie"));
        test::writeFile(project / "plug.dll", "MZ plug-in");
        test::writeFile(project / "masks" / "star.msk", star);
        test::writeFile(project / "docs" / "help.chm", "ITSF help");
        test::writeFile(project / "about.bmp", "BM about");
        test::writeFile(project / "init.ovc", "OV1b compiled");
        test::writeFile(project / "menu.bin", "menu bytes");
        test::writeFile(project / "LumbraFlash.ocx", test::controlLibrary());
        test::writeFile(project / "extra" / "docs" / "readme.txt", "read me");
        test::writeFile(project / "extra" / "top.txt", "top");
    }

    // A plain movie header (signature, version, file length) and a body.
    static Bytes movieBytes(std::string_view body)
    {
        Bytes movie{'F', 'W', 'S', 6, 0, 0, 0, 0};
        movie.insert(movie.end(), body.begin(), body.end());
        storeU32(&movie[4], std::uint32_t(movie.size()));
        return movie;
    }

    // A mask: the region's byte count, then a region of one rectangle.
    static Bytes maskBytes(std::uint32_t right, std::uint32_t bottom)
    {
        ByteWriter mask;
        mask.u32(48);                          // the region's byte count
        for (std::uint32_t word : {32u, 1u, 1u, 16u}) // header size, rectangles, count, their size
            mask.u32(word);
        for (int copy = 0; copy < 2; ++copy) { // the bounds, then the one rectangle
            for (std::uint32_t word : {0u, 0u, right, bottom})
                mask.u32(word);
        }
        return mask.release();
    }

    std::string fullManifest() const
    {
        std::string manifest = "# every field\n[package]\nidentity = Acme/Viewer\\1.0\ncompression = 6\n"
                               "aboutPicture = about.bmp\nflashControl = LumbraFlash.ocx\n\n[settings]\n";
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

    const Bytes intro = movieBytes("intro");
    const Bytes star = maskBytes(40, 30);
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
    EXPECT_EQ(settings["helpFile"], "help.chm");
    EXPECT_EQ(settings["aboutImage"], "about.bmp");
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
    EXPECT_EQ(test::readFile(working / "intro.swf"), intro);
    EXPECT_EQ(test::readText(working / "Plug_Ins" / "plug.dll"), "MZ plug-in");
    EXPECT_EQ(chooseFirstMovie(list), ansiFromPath(working / "intro.swf"));
    EXPECT_EQ(movies(list).size(), 2u);

    EXPECT_EQ(loadMasks(resources, working.path(), reporter), MaskList{"star"});
    EXPECT_EQ(test::readFile(working / "star.msk"), star);
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
    ToolRun inspected = lumbraPack("inspect --json " + quoted(output));
    EXPECT_EQ(inspected.status, 0) << inspected.output;
    EXPECT_NE(inspected.output.find("\"profileName\": \"<application name>\""), std::string::npos);
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

TEST_F(PackTool, PackagingAPackagedProgramEqualsPackagingTheBarePlayer)
{
    ASSERT_EQ(build(fullManifest()).status, 0);
    Bytes once = test::readFile(output);
    std::filesystem::path bare = work / "bare.exe";
    std::filesystem::copy_file(player, bare);
    std::filesystem::copy_file(output, player, std::filesystem::copy_options::overwrite_existing);

    ToolRun again = build(fullManifest());
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_NE(again.output.find("already packaged"), std::string::npos) << again.output;
    for (std::string_view left : {"LUMBRA/ID", "ORVET/INITIALIZE", "MENUS/MAIN", "#24/#1", "its archive"})
        EXPECT_NE(again.output.find(left), std::string::npos) << left;
    EXPECT_EQ(test::readFile(output), once);

    // A different application on top of the first keeps nothing of it.
    ASSERT_EQ(build("[package]\nidentity = Other/Product\n").status, 0);
    std::filesystem::copy_file(bare, player, std::filesystem::copy_options::overwrite_existing);
    Bytes fromPackaged = test::readFile(output);
    ASSERT_EQ(build("[package]\nidentity = Other/Product\n").status, 0);
    EXPECT_EQ(fromPackaged, test::readFile(output));
    ResourceTable resources = readPeResources(fromPackaged);
    EXPECT_FALSE(resources.find("ORVET", "Initialize"));
    EXPECT_FALSE(resources.find("#24", "#1"));
    EXPECT_EQ(readArchiveTree(output), std::nullopt);
}

// A program packaged without the packager's note (by an earlier packager)
// loses every resource of the package's own types.
TEST_F(PackTool, PackageTypesAreLeftOutWithoutANote)
{
    ResourceTable old = readPeResources(test::minimalPlayer());
    for (std::string_view type : {"LUMBRA", "SUPPORT", "ORVET", "MENUS"})
        old.put(ResourceId::fromText(type), ResourceId::fromText("OLD"), Bytes{1, 2, 3});
    test::writeFile(player, writePeResources(test::minimalPlayer(), old));
    ToolRun run = build("[package]\nidentity = A\n");
    ASSERT_EQ(run.status, 0) << run.output;
    ResourceTable resources = readPeResources(test::readFile(output));
    for (std::string_view type : {"LUMBRA", "SUPPORT", "ORVET", "MENUS"}) {
        EXPECT_FALSE(resources.find(type, "OLD")) << type;
        EXPECT_NE(run.output.find(std::string(type) + "/OLD"), std::string::npos) << run.output;
    }
    EXPECT_EQ(readResource(resources, "#14", "#128"), Bytes(20, 1));
}

TEST_F(PackTool, WrongFilesAreRefusedNamingTheManifestLine)
{
    test::writeFile(project / "notes.swf", "just some notes\n");
    ToolRun notMovie = build("[package]\nidentity = A\n[movies]\nmovie = notes.swf\n");
    EXPECT_EQ(notMovie.status, 1);
    EXPECT_NE(notMovie.output.find("lumbra.manifest:4: notes.swf: not a Flash movie"), std::string::npos)
        << notMovie.output;
    EXPECT_FALSE(std::filesystem::exists(output));

    Bytes cut = intro;
    cut.resize(cut.size() - 2);
    test::writeFile(project / "cut.swf", cut);
    ToolRun shortMovie = build("[package]\nidentity = A\n[movies]\nmovie = cut.swf\n");
    EXPECT_NE(shortMovie.output.find("cut.swf: the movie is cut short"), std::string::npos) << shortMovie.output;

    // Plug-ins and other files are not movies and are not checked as such.
    EXPECT_EQ(build("[package]\nidentity = A\n[movies]\nfile = notes.swf\n").status, 0);

    Bytes badMask = star;
    storeU32(&badMask[12], 5); // five rectangles announced, one present
    test::writeFile(project / "bad.msk", badMask);
    ToolRun mask = build("[package]\nidentity = A\n[masks]\nstar = masks/star.msk\nbad = bad.msk\n");
    EXPECT_EQ(mask.status, 1);
    EXPECT_NE(mask.output.find(":5: bad.msk: not a mask"), std::string::npos) << mask.output;

    ToolRun control = build("[package]\nidentity = A\nflashControl = plug.dll\n");
    EXPECT_EQ(control.status, 1);
    EXPECT_NE(control.output.find(":3: plug.dll: not a control library"), std::string::npos) << control.output;
    test::writeFile(project / "program.ocx", test::minimalPlayer());
    ToolRun program = build("[package]\nidentity = A\nflashControl = program.ocx\n");
    EXPECT_NE(program.output.find("a program, not a DLL"), std::string::npos) << program.output;

    test::writeFile(project / "broken.ovs", "var x = 1;\nvar y = ;\n");
    ToolRun script = build("[package]\nidentity = A\n[scripts]\nInitialize = broken.ovs\n");
    EXPECT_EQ(script.status, 1);
    EXPECT_NE(script.output.find("lumbra.manifest:4: "), std::string::npos) << script.output;
    EXPECT_NE(script.output.find("broken.ovs: error: line 1"), std::string::npos) << script.output;
}

TEST_F(PackTool, InspectionIsAManifestThatRebuildsTheSameProgram)
{
    ASSERT_EQ(build(fullManifest()).status, 0);
    Bytes original = test::readFile(output);
    std::filesystem::path copy = work / "copy";
    ToolRun inspected = lumbraPack("inspect " + quoted(output) + " --extract " + quoted(copy));
    ASSERT_EQ(inspected.status, 0) << inspected.output;
    EXPECT_EQ(test::readText(copy / "lumbra.manifest"), inspected.output);
    for (std::string_view line : {"borderStyle = 0x1000\n", "behaviourFlags = 0x1113\n", "compression = 6\n",
                                  "MENUS/MAIN = raw ", "24/1 = raw ", "flashControl = flashControl.ocx\n", "folder = archive\n", "movie = intro.swf\n",
                                  "plugin = plugins/plug.dll\n", "helpFile = help.chm\n"})
        EXPECT_NE(inspected.output.find(line), std::string::npos) << line << "\n" << inspected.output;

    std::filesystem::path rebuilt = work / "Rebuilt.exe";
    ToolRun again = lumbraPack("build --player " + quoted(player) + " --project " + quoted(copy) + " --output " +
                               quoted(rebuilt));
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(test::readFile(rebuilt), original);
}

TEST_F(PackTool, ManifestWithoutSettingsShowsEveryDefault)
{
    ASSERT_EQ(build("[package]\nidentity = Solo\n").status, 0);
    ToolRun inspected = lumbraPack("inspect " + quoted(output));
    ASSERT_EQ(inspected.status, 0) << inspected.output;
    auto settings = settingsOf(inspected.output);
    // The defaults as MANIFEST.md gives them.
    const std::map<std::string, std::string> defaults = {
        {"windowShape", "0"}, {"borderStyle", "0x100"}, {"borderIcons", "0x111"}, {"scaleMode", "0x1"},
        {"shapeMaskFile", "\"\""}, {"caption", "\"\""}, {"windowSize", "0"}, {"customWidth", "0"},
        {"customHeight", "0"}, {"pos", "4"}, {"customX", "0"}, {"customY", "0"}, {"bKeepRatio", "0"},
        {"lBtnClk", "0"}, {"rBtnClk", "1"}, {"keyPress", "0x1"}, {"exitKeys", "0x1"}, {"interactionFlags", "0x0"},
        {"hotKeyCode", "0"}, {"hotKeyModifiers", "0x0"}, {"contextMenuFlags", "0x111"}, {"behaviourFlags", "0x1"},
        {"miscFlags", "0x0"}, {"backgroundColor", "0xFFFFFF"}, {"linkColor1", "0xFF0000"},
        {"linkColor2", "0xFF0000"}, {"linkFont1.height", "-11"}, {"linkFont1.width", "0"},
        {"linkFont1.weight", "400"}, {"linkFont1.italic", "0"}, {"linkFont1.faceName", "Tahoma"},
        {"linkFont2.height", "-11"}, {"linkFont2.weight", "400"}, {"linkFont2.faceName", "Tahoma"},
        {"aboutFlags", "0x1"}, {"reservedFlags", "0x0"}, {"reservedPath", "\"\""}, {"trailer.value1", "0"},
        {"trailer.systemTime", "00000000000000000000000000000000"}, {"trailer.word2", "0"}};
    for (const auto& [key, value] : defaults)
        EXPECT_EQ(settings[key], value) << key;
    for (std::string_view absent : {"# productName is absent", "# helpFile: none", "# aboutImage: none"})
        EXPECT_NE(inspected.output.find(absent), std::string::npos) << absent;
}

TEST_F(PackTool, HelpAndUsage)
{
    for (std::string_view arguments : {"--help", "build --help", "inspect --help", "build --player x --help"}) {
        ToolRun help = lumbraPack(std::string(arguments) + " 2>/dev/null");
        EXPECT_EQ(help.status, 0) << arguments;
        EXPECT_NE(help.output.find("usage: lumbra-pack"), std::string::npos) << arguments;
    }
    for (std::string_view arguments : {"", "pack", "build --colour red", "inspect"}) {
        ToolRun wrong = lumbraPack(std::string(arguments));
        EXPECT_EQ(wrong.status, 2) << arguments;
        EXPECT_NE(wrong.output.find("(see lumbra-pack --help)"), std::string::npos) << wrong.output;
        EXPECT_EQ(std::ranges::count(wrong.output, '\n'), 1) << wrong.output;
    }
}

TEST_F(PackTool, WrittenProgramIsExecutable)
{
    ASSERT_EQ(build("[package]\nidentity = A\n").status, 0);
    auto permissions = std::filesystem::status(output).permissions();
    EXPECT_NE(permissions & std::filesystem::perms::owner_exec, std::filesystem::perms::none);
}

TEST_F(PackTool, DamagedArchiveIsTold)
{
    ASSERT_EQ(build(fullManifest()).status, 0);
    Bytes program = test::readFile(output);
    // The first child of the archive's root is the folder "docs": make its
    // content size run past the root's end.
    std::string_view magic("SAF\0", 4);
    auto at = std::search(program.begin(), program.end(), magic.begin(), magic.end());
    ASSERT_NE(at, program.end());
    std::size_t root = std::size_t(at - program.begin()) + 4;
    std::size_t child = root + 8 + 2 * 12 + 4; // root flag, name count, "Application" and its 0, content size
    storeU32(&program[child + 8 + 2 * 5], 0x00FFFFFF); // "docs" and its 0, then the size
    std::filesystem::path damaged = work / "damaged.exe";
    test::writeFile(damaged, program);
    ToolRun inspected = lumbraPack("inspect " + quoted(damaged));
    EXPECT_EQ(inspected.status, 1) << inspected.output;
    EXPECT_NE(inspected.output.find("The archive is damaged"), std::string::npos) << inspected.output;
}

TEST_F(PackTool, MalformedPlayersAreRefusedNotWrittenFrom)
{
    const char* data = std::getenv("LUMBRA_TEST_DATA");
    ASSERT_TRUE(data);
    std::filesystem::path corpus = std::filesystem::path(data).parent_path() / "package" / "corpus" / "fuzz_pe_resources";
    for (std::string_view name : {"resource-section-inside-headers", "new-section-rva-wraps"}) {
        std::filesystem::copy_file(corpus / name, player, std::filesystem::copy_options::overwrite_existing);
        ToolRun run = build("[package]\nidentity = A\n");
        EXPECT_EQ(run.status, 1) << name << run.output;
        EXPECT_EQ(run.output.find("wrote"), std::string::npos) << run.output;
        EXPECT_NE(run.output.find(player.string()), std::string::npos) << run.output;
        EXPECT_FALSE(std::filesystem::exists(output));
    }
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
    EXPECT_EQ(test::readFile(working / "star.msk"), test::readFile(project / "masks" / "star.msk"))
        << "mask files are stored as they are";

    test::writeFile(project / "masks" / "ramp.png", "\x89PNG\r\n\x1a\n broken");
    ToolRun broken = build("[package]\nidentity = A\n[masks]\nramp = masks/ramp.png\n");
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.output.find("lumbra.manifest:4: cannot read the PNG picture"), std::string::npos)
        << broken.output;
}

} // namespace
} // namespace lumbra

namespace lumbra {
namespace {

// The menus of the [menus] section, read back from the packaged program.
MenuRecord packagedMenu(const std::filesystem::path& program, std::string_view name)
{
    ResourceTable table = readPeResources(test::readFile(program));
    auto block = table.find(menuResourceType, name);
    if (!block)
        throw PlayerException("no menu");
    return readMenuRecord(unpackBlockOrThrow(*block));
}

const std::string menuManifest = "[package]\nidentity = Acme/Menus\\1.0\ncompression = 5\n\n[menus]\n"
                                 "menu = Main\n"
                                 "popup = &File | default\n"
                                 "item = open | &Open...\\tCtrl+O | icon=icons/open.ico\n"
                                 "separator =\n"
                                 "popup = Recent | grayed\n"
                                 "item = recent1 | a\\|b \\\\ c | checked | disabled\n"
                                 "end =\n"
                                 "end =\n"
                                 "item = quit |\n"
                                 "menu = Tiny\n"
                                 "item = a | A\n";

TEST_F(PackTool, MenusOfTheManifestArePackagedAndRebuiltFromTheInspection)
{
    ToolRun built = build(menuManifest);
    ASSERT_EQ(built.status, 0) << built.output;

    // Header: three zeros, three absent texts; one item "a" / "A", no icon.
    const Bytes tiny = test::fromHex("000000000000000000000000000000000000000000000000"
                                     "01000000" "00000000" "0000000000000000"
                                     "02000000" "61000000" "02000000" "41000000" "00000000");
    ResourceTable table = readPeResources(test::readFile(output));
    EXPECT_EQ(unpackBlockOrThrow(*table.find("MENUS", "tiny")), tiny);

    const MenuRecord menu = packagedMenu(output, "main");
    ASSERT_EQ(menu.items.size(), 2u);
    const MenuItemRecord& file = menu.items[0];
    EXPECT_EQ(file.flags, kMenuSubMenu | kMenuDefault);
    EXPECT_FALSE(file.name);
    EXPECT_EQ(file.caption, "&File");
    ASSERT_EQ(file.items.size(), 3u);
    EXPECT_EQ(file.items[0].flags, 0u);
    EXPECT_EQ(file.items[0].name, "open");
    EXPECT_EQ(file.items[0].caption, "&Open...\tCtrl+O");
    EXPECT_EQ(file.items[0].icon, "icons/open.ico");
    EXPECT_EQ(file.items[1].flags, kMenuSeparator);
    EXPECT_FALSE(file.items[1].caption);
    EXPECT_EQ(file.items[2].flags, kMenuSubMenu | kMenuGrayed);
    ASSERT_EQ(file.items[2].items.size(), 1u);
    EXPECT_EQ(file.items[2].items[0].caption, "a|b \\ c");
    EXPECT_EQ(file.items[2].items[0].flags, kMenuChecked | kMenuDisabled);
    EXPECT_EQ(menu.items[1].name, "quit");
    EXPECT_EQ(menu.items[1].caption, "") << "an empty caption is present, not absent";

    std::filesystem::path copy = work / "copy";
    ToolRun inspected = lumbraPack("inspect " + quoted(output) + " --extract " + quoted(copy));
    ASSERT_EQ(inspected.status, 0) << inspected.output;
    EXPECT_NE(inspected.output.find("[menus]\nmenu = MAIN\npopup = &File | default\n"
                                    "item = open | &Open...\\tCtrl+O | icon=icons/open.ico\n"),
              std::string::npos)
        << inspected.output;
    std::filesystem::path rebuilt = work / "Rebuilt.exe";
    ToolRun again = lumbraPack("build --player " + quoted(player) + " --project " + quoted(copy) + " --output " +
                               quoted(rebuilt));
    ASSERT_EQ(again.status, 0) << again.output;
    EXPECT_EQ(test::readFile(rebuilt), test::readFile(output));
}

// Blocks the packager did not write: decoded by inspection, carried raw
// when the manifest lines cannot say them, named when damaged.
TEST_F(PackTool, InspectionDecodesHandAssembledMenus)
{
    ASSERT_EQ(build("[package]\nidentity = A\n").status, 0);
    ResourceTable table = readPeResources(test::readFile(output));
    // Header values 1, 2, 3; one command item with carried values 5 and 6.
    const Bytes hand = test::fromHex("010000000200000003000000000000000000000000000000"
                                     "01000000" "00000000" "0500000006000000"
                                     "02000000" "78000000" "02000000" "58000000" "00000000");
    table.put(ResourceId::fromText("MENUS"), ResourceId::fromText("HAND"), packBlock(hand));
    Bytes cut(hand.begin(), hand.end() - 6);
    table.put(ResourceId::fromText("MENUS"), ResourceId::fromText("CUT"), packBlock(cut));
    test::writeFile(output, writePeResources(test::readFile(output), table));

    ToolRun json = lumbraPack("inspect --json " + quoted(output));
    EXPECT_EQ(json.status, 1) << "damage is told";
    EXPECT_NE(json.output.find("MENUS/CUT: Unexpected end of package data"), std::string::npos) << json.output;
    std::string compact = json.output;
    std::erase_if(compact, [](char c) { return c == ' ' || c == '\n'; });
    EXPECT_NE(compact.find("\"values\":[1,2,3]"), std::string::npos) << json.output;
    EXPECT_NE(compact.find("\"flags\":0,\"values\":[5,6],\"name\":\"x\",\"caption\":\"X\",\"icon\":null"),
              std::string::npos)
        << json.output;
    ToolRun text = lumbraPack("inspect " + quoted(output));
    EXPECT_NE(text.output.find("MENUS/HAND = raw resources/MENUS.HAND"), std::string::npos) << text.output;
}

TEST_F(PackTool, MenuMistakesNameTheManifestLine)
{
    const std::string head = "[package]\nidentity = A\n[menus]\n"; // the menus start on line 4
    const std::pair<std::string, std::string> cases[] = {
        {"item = a | A\n", ":4: 'item' before the first 'menu ='"},
        {"menu = M\npopup = P\nitem = a | A\n", ":5: popup without 'end'"},
        {"menu = M\nend =\n", ":5: 'end' without a popup"},
        {"menu = M\nitem = a | A | bold\n", ":5: unknown option 'bold'"},
        {"menu = M\nitem = a\n", ":5: an item is 'name | caption'"},
        {"menu = M\nitem = a | A\\n\n", ":5: unknown escape"},
        {"menu = M\nbutton = a\n", ":5: unknown key 'button'"},
        {"menu = M\nmenu = m\n", ":5: a second menu named 'm'"},
    };
    for (const auto& [lines, message] : cases) {
        ToolRun run = build(head + lines);
        EXPECT_EQ(run.status, 1) << lines;
        EXPECT_NE(run.output.find(message), std::string::npos) << lines << run.output;
        EXPECT_FALSE(std::filesystem::exists(output));
    }

    std::string deep = head + "menu = M\n";
    for (int level = 1; level <= 16; ++level)
        deep += "popup = P\n";
    ToolRun tooDeep = build(deep);
    EXPECT_NE(tooDeep.output.find(":20: popups nested deeper than 16 levels"), std::string::npos) << tooDeep.output;

    std::string many = head + "menu = M\n";
    for (int item = 0; item <= 10000; ++item)
        many += "item = a | A\n";
    ToolRun tooMany = build(many);
    EXPECT_NE(tooMany.output.find(":10005: more than 10000 items in the menus"), std::string::npos);
}

} // namespace
} // namespace lumbra
