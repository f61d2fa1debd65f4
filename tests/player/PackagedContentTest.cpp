// What a packaged player unpacks at start-up, what it serves from the
// appended archive, and that nothing of it stays behind after exit.
#include "PlayerProcess.h"

#include "control/movie/MovieDescription.h"
#include "package/AttachedArchive.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>

namespace lumbra::test {
namespace {

class CollectingReporter : public ErrorReporter {
public:
    void report(std::string_view message) override { messages.emplace_back(message); }
    std::vector<std::string> messages;
};

std::set<std::string> filesBelow(const std::filesystem::path& folder)
{
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files.insert(std::filesystem::relative(entry.path(), folder).string());
    return files;
}

void write(const std::filesystem::path& file, std::string_view text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

TEST(PackagedContent, StartUpUnpacksTheDocumentedFilesAndExitRemovesThem)
{
    const auto folder = scratchFolder("PackagedContent");
    const auto project = folder / "project", temp = folder / "temp";
    std::filesystem::create_directories(temp);
    std::filesystem::create_directories(project);
    writeFile(project / "one.swf", movie::buildMovie("movie 300 200\nframe\n"));
    writeFile(project / "two.swf", movie::buildMovie("movie 200 50 compress\nframe\n"));
    write(project / "extra.dat", "plug-in");
    write(project / "notes.txt", "notes");
    // A mask: its byte count, then a region of one 10 x 10 rectangle.
    const char round[52] = {48, 0, 0, 0, 32, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            0,  0, 10, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0, 10, 0, 0, 0};
    write(project / "round.rgn", std::string_view(round, sizeof round));
    write(project / "extras" / "docs" / "readme.txt", "Read me.");
    write(project / "extras" / "docs" / "more" / "deep.txt", "Deep.");
    const auto exe = folder / "App.exe";
    packageProject(project,
                   packageSection("Acme/Content") +
                   "[movies]\nmovie = one.swf\nmovie = two.swf\nplugin = extra.dat\nfile = notes.txt\n"
                   "[masks]\nround = round.rgn\n"
                   "[archive]\nfolder = extras\n",
                   exe);

    PlayerProcess player(exe, "", {{"TMP", temp.string()}, {"LUMBRA_REPORT_LOG", (folder / "log").string()}});
    const HWND window = player.waitForMainWindow();
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(filesBelow(temp).size(), 6u);
    const auto working = std::filesystem::directory_iterator(temp)->path();
    EXPECT_EQ(filesBelow(working), (std::set<std::string>{"one.swf", "two.swf", "Plug_Ins\\extra.dat", "notes.txt",
                                                          "round.msk", "flash.ocx"}));
    // The first movie plays, and the window takes its size.
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 300);
    EXPECT_EQ(client.bottom, 200);
    EXPECT_EQ(readFile(working / "two.swf"), readFile(project / "two.swf"));

    CollectingReporter reporter;
    const auto working_ = working.string() + "\\";
    const auto forward = extractAdditionalFile(exe, "docs/readme.txt", working_, reporter);
    const auto backward = extractAdditionalFile(exe, "DOCS\\ReadMe.txt", working_, reporter);
    EXPECT_FALSE(forward.empty());
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(readLines(forward), std::vector<std::string>{"Read me."});
    EXPECT_TRUE(reporter.messages.empty());

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(player.waitForExit(), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(temp));
    EXPECT_TRUE(readLines(folder / "log").empty());
}

} // namespace
} // namespace lumbra::test
