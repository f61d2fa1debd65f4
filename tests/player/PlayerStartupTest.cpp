// Start-up and shutdown of packaged players: identity, working folder,
// installer switches.
#include "PlayerProcess.h"

#include "package/PackageResources.h"
#include "package/PeResources.h"
#include "package/win32/ModuleResources.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lumbra::test {
namespace {

const std::string kManifest = packageSection("Acme/Viewer\\1.0");

class PlayerStartup : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder_ = scratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
        temp_ = folder_ / "temp";
        std::filesystem::create_directories(temp_);
        log_ = folder_ / "messages.log";
    }

    std::filesystem::path packaged(const std::string& manifest = kManifest)
    {
        const auto project = folder_ / "project";
        std::filesystem::create_directories(project);
        const auto exe = folder_ / "App.exe";
        packageProject(project, manifest, exe);
        return exe;
    }

    std::map<std::string, std::string> environment() const
    {
        return {{"TMP", temp_.string()}, {"TEMP", temp_.string()}, {"LUMBRA_REPORT_LOG", log_.string()}};
    }

    static std::size_t entriesIn(const std::filesystem::path& folder)
    {
        return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
    }

    // Replaces the identity block of `exe` with `block`.
    static void replaceIdentity(const std::filesystem::path& exe, Bytes block)
    {
        Bytes image = readFile(exe);
        ResourceTable table = readPeResources(image);
        table.put(ResourceId::fromText("LUMBRA"), ResourceId::fromText("ID"), std::move(block));
        writeFile(exe, writePeResources(image, table));
    }

    static Bytes identityOf(const std::filesystem::path& exe)
    {
        HMODULE module = LoadLibraryExA(exe.string().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        EXPECT_NE(module, nullptr);
        Bytes block = readResource(ModuleResources(module), "LUMBRA", "ID");
        FreeLibrary(module);
        return block;
    }

    void expectRejected(const std::filesystem::path& exe)
    {
        PlayerProcess player(exe, "", environment());
        EXPECT_EQ(player.waitForExit(), 0u);
        EXPECT_EQ(readLines(log_), std::vector<std::string>{"Invalid application data"});
        EXPECT_EQ(entriesIn(temp_), 0u) << "no working folder is made";
    }

    std::filesystem::path folder_, temp_, log_;
};

TEST_F(PlayerStartup, GoodIdentityShowsWindowAndLeavesNoWorkingFolder)
{
    PlayerProcess player(packaged(), "", environment());
    const HWND window = player.waitForMainWindow();
    ASSERT_NE(window, nullptr);

    ASSERT_EQ(entriesIn(temp_), 1u);
    const auto folder = std::filesystem::directory_iterator(temp_)->path();
    const std::string name = folder.filename().string();
    EXPECT_EQ(name.size(), 38u);
    EXPECT_EQ(name.front(), '{');
    EXPECT_EQ(name.back(), '}');
    // Files a script leaves behind, read-only ones included, go with the folder.
    std::filesystem::create_directories(folder / "nested" / "deeper");
    std::ofstream(folder / "nested" / "deeper" / "left.txt") << "x";
    std::ofstream(folder / "locked.txt") << "x";
    SetFileAttributesA((folder / "locked.txt").string().c_str(), FILE_ATTRIBUTE_READONLY);

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_EQ(entriesIn(temp_), 0u);
    EXPECT_TRUE(readLines(log_).empty());
}

TEST_F(PlayerStartup, PlayerWithoutPackageIsInvalidApplicationData)
{
    expectRejected(builtPlayer());
}

TEST_F(PlayerStartup, DamagedDigestIsInvalidApplicationData)
{
    const auto exe = packaged();
    Bytes block = identityOf(exe);
    block[0] ^= 0x20; // the text changes, the digest no longer holds
    replaceIdentity(exe, block);
    expectRejected(exe);
}

TEST_F(PlayerStartup, IdentityOf32BytesIsInvalidApplicationData)
{
    const auto exe = packaged();
    replaceIdentity(exe, Bytes(32, 0));
    expectRejected(exe);
}

TEST_F(PlayerStartup, WithoutAnyMovieControlThePlayerSaysSoAndEnds)
{
    PlayerProcess player(packaged("[package]\nidentity = Acme/Viewer\n"), "", environment());
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_EQ(readLines(log_), std::vector<std::string>{"Failed to load the Macromedia Flash Player!"});
    EXPECT_EQ(entriesIn(temp_), 0u);
}

TEST_F(PlayerStartup, InstallerSwitchInAnyCaseEndsWithoutWindowOrFolder)
{
    const auto exe = packaged();
    for (const char* arguments : {"/AfterInstall", "/afterinstall second", "/BEFOREUNINST"}) {
        PlayerProcess player(exe, arguments, environment());
        EXPECT_EQ(player.waitForExit(), 0u) << arguments;
        EXPECT_EQ(entriesIn(temp_), 0u) << arguments;
    }
}

TEST_F(PlayerStartup, OtherFirstArgumentStartsNormally)
{
    PlayerProcess player(packaged(), "/Install", environment());
    const HWND window = player.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.waitForExit(), 0u);
}

TEST_F(PlayerStartup, OverlongTmpFallsBackToTemp)
{
    auto env = environment();
    env["TMP"] = "C:\\" + std::string(260, 'x');
    PlayerProcess player(packaged(), "", env);
    const HWND window = player.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(entriesIn(temp_), 1u);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_EQ(entriesIn(temp_), 0u);
}

} // namespace
} // namespace lumbra::test
